// Built when the office's SDK was missing at configure time: the layout is never available.
#include "layout/OfficeConnection.h"

namespace layout {

struct OfficeConnection::Impl {};

bool OfficeConnection::supported() { return false; }

void OfficeConnection::prepareRuntime(const QString &)
{
    throw OfficeError{QStringLiteral("this program was built without LibreOffice support")};
}

std::unique_ptr<OfficeConnection> OfficeConnection::tryConnect(const QString &)
{
    throw OfficeError{QStringLiteral("this program was built without LibreOffice support")};
}

OfficeConnection::OfficeConnection(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
OfficeConnection::~OfficeConnection() = default;

LayoutCounts OfficeConnection::measure(const QString &)
{
    throw OfficeError{QStringLiteral("this program was built without LibreOffice support")};
}

NewDocumentState OfficeConnection::openAsNewDocument(const QString &)
{
    throw OfficeError{QStringLiteral("this program was built without LibreOffice support")};
}

bool OfficeConnection::terminateOffice() noexcept { return false; }

} // namespace layout
