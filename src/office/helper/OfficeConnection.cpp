// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/helper/OfficeConnection.h"
#include <QRegularExpression>
#include <QUrl>
#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/document/XDocumentProperties.hpp>
#include <com/sun/star/document/XDocumentPropertiesSupplier.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <mutex>
#include <vector>

namespace office::helper {

namespace uno = ::com::sun::star::uno;
namespace beans = ::com::sun::star::beans;
namespace frame = ::com::sun::star::frame;
namespace lang = ::com::sun::star::lang;
using ::rtl::OUString;
using uno::Reference;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

namespace {

// Reading the counts lays the document out, but the first reads can return figures cached in the file
// or left half-way by the office's background counter. Changing the styles makes it count afresh (a
// document loaded read-only ignores being marked modified); two equal reads in a row are taken as
// settled. Real documents settle on the second read; the bound covers one that never does.
constexpr int kMaxCountRounds = 6;

OUString toOUString(const QString &s)
{
    return OUString(reinterpret_cast<const sal_Unicode *>(s.utf16()), sal_Int32(s.size()));
}

QString toQString(const OUString &s) { return QString(reinterpret_cast<const QChar *>(s.getStr()), s.getLength()); }

// A file URL naming the file by its exact bytes: every byte outside the unreserved characters is
// percent-encoded, so a name that is not valid UTF-8 reaches the office's file layer unchanged.
QString fileUrl(const QByteArray &nativePath)
{
    return QStringLiteral("file://") + QString::fromLatin1(nativePath.toPercentEncoding("/"));
}

beans::PropertyValue property(const char *name, const uno::Any &value)
{
    beans::PropertyValue p;
    p.Name = OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

// The office's messages carry the document's URL and its own source locations, e.g. 'Unsupported URL
// <file:///x.docx>: "type detection aborted" at ./framework/source/loadenv/loadenv.cxx:189'. The
// caller already names the file, so only the office's reason is kept.
QString describe(const uno::Exception &e)
{
    QString message = toQString(e.Message);
    static const QRegularExpression url(QStringLiteral("^[^<]*<[^>]*>:\\s*"));
    static const QRegularExpression location(QStringLiteral("\\s+at\\s+\\S+:\\d+\\s*$"));
    message.remove(url).remove(location);
    message = message.simplified();
    if (message.size() > 2 && message.startsWith(QLatin1Char('"')) && message.endsWith(QLatin1Char('"')))
        message = message.mid(1, message.size() - 2);
    return message.isEmpty() ? QStringLiteral("the office gave no reason") : message.left(300);
}

std::mutex g_runtimeMutex;
Reference<uno::XComponentContext> g_localContext; // lives until the program ends: see prepareRuntime
QString g_runtimeDir;

} // namespace

struct OfficeConnection::Impl {
    Reference<frame::XDesktop2> desktop;
    int styleSerial = 0;

    // Adds a paragraph style nobody uses and removes it again: a change that alters nothing in the
    // document but makes the office recount it.
    void nudge(const Reference<lang::XComponent> &doc)
    {
        Reference<::com::sun::star::style::XStyleFamiliesSupplier> families(doc, UNO_QUERY_THROW);
        Reference<::com::sun::star::container::XNameContainer> paragraphStyles(
            families->getStyleFamilies()->getByName(OUString("ParagraphStyles")), UNO_QUERY_THROW);
        Reference<lang::XMultiServiceFactory> factory(doc, UNO_QUERY_THROW);
        OUString name;
        do // a document could hold a style of that name already
            name = OUString("QvRecount") + OUString::number(++styleSerial);
        while (paragraphStyles->hasByName(name));
        paragraphStyles->insertByName(name,
                                      uno::Any(factory->createInstance(OUString("com.sun.star.style.ParagraphStyle"))));
        paragraphStyles->removeByName(name);
    }

    static LayoutCounts read(const Reference<beans::XPropertySet> &view)
    {
        LayoutCounts c;
        sal_Int32 v = 0;
        if (view->getPropertyValue(OUString("PageCount")) >>= v)
            c.pages = v;
        // The office keeps the line count in 16 bits: past 65,535 lines it starts again from zero. The
        // lost multiples of 65,536 cannot be recovered from anything else it tells us, so the figure is
        // reported as given; only documents of well over a thousand pages reach it.
        v = 0;
        if (view->getPropertyValue(OUString("LineCount")) >>= v)
            c.lines = v;
        return c;
    }

    // The text counts as the model gives them; characters without white space only the document
    // statistics have.
    static OfficeTextCounts readText(const Reference<lang::XComponent> &doc)
    {
        OfficeTextCounts c;
        const auto take = [](const uno::Any &value, qint64 &into) {
            sal_Int32 v = 0;
            if (value >>= v)
                into = v;
        };
        if (Reference<beans::XPropertySet> model(doc, UNO_QUERY); model.is()) {
            take(model->getPropertyValue(OUString("WordCount")), c.words);
            take(model->getPropertyValue(OUString("CharacterCount")), c.charactersWithSpaces);
            take(model->getPropertyValue(OUString("ParagraphCount")), c.paragraphs);
        }
        namespace document = ::com::sun::star::document;
        if (Reference<document::XDocumentPropertiesSupplier> supplier(doc, UNO_QUERY); supplier.is()) {
            const uno::Sequence<beans::NamedValue> statistics =
                supplier->getDocumentProperties()->getDocumentStatistics();
            for (const beans::NamedValue &v : statistics)
                if (v.Name == "NonWhitespaceCharacterCount")
                    take(v.Value, c.characters);
        }
        return c;
    }

    static void close(const Reference<lang::XComponent> &doc) noexcept
    {
        try {
            Reference<::com::sun::star::util::XCloseable> closeable(doc, UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
            else
                doc->dispose();
        } catch (const uno::Exception &) {
            // A refused or failed close leaves the document to the office's next restart.
        }
    }
};

void OfficeConnection::prepareRuntime(const QString &programDir)
{
    std::lock_guard lock(g_runtimeMutex);
    if (g_localContext.is()) {
        if (programDir != g_runtimeDir)
            throw OfficeError{QStringLiteral("the UNO runtime was already set up from %1").arg(g_runtimeDir)};
        return;
    }
    // The runtime finds its libraries and type data through URE_BOOTSTRAP, which main() sets before any
    // thread starts (changing the environment later would race with threads that read it).
    try {
        // Kept for the life of the program and never disposed: tearing the runtime down while bridge
        // threads may still be winding down is not safe, and one runtime serves every session.
        g_localContext = ::cppu::defaultBootstrap_InitialComponentContext();
        g_runtimeDir = programDir;
    } catch (const uno::Exception &e) {
        throw OfficeError{QStringLiteral("the UNO runtime could not be started: %1").arg(describe(e))};
    } catch (const ::cppu::BootstrapException &e) {
        throw OfficeError{QStringLiteral("the UNO runtime could not be started: %1").arg(toQString(e.getMessage()))};
    }
}

std::unique_ptr<OfficeConnection> OfficeConnection::tryConnect(const QString &pipeName)
{
    Reference<uno::XComponentContext> local;
    {
        std::lock_guard lock(g_runtimeMutex);
        local = g_localContext;
    }
    if (!local.is())
        throw OfficeError{QStringLiteral("the UNO runtime is not set up")};
    try {
        auto resolver = ::com::sun::star::bridge::UnoUrlResolver::create(local);
        Reference<uno::XComponentContext> remote(
            resolver->resolve(toOUString(QStringLiteral("uno:") + officeAcceptString(pipeName))), UNO_QUERY_THROW);
        auto impl = std::make_unique<Impl>();
        impl->desktop = frame::Desktop::create(remote);
        return std::unique_ptr<OfficeConnection>(new OfficeConnection(std::move(impl)));
    } catch (const ::com::sun::star::connection::NoConnectException &) {
        return nullptr;
    } catch (const uno::Exception &e) {
        throw OfficeError{QStringLiteral("no connection to the office: %1").arg(describe(e))};
    }
}

OfficeConnection::OfficeConnection(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}

OfficeConnection::~OfficeConnection()
{
    try {
        d->desktop.clear();
    } catch (...) {
        // Releasing a reference over a broken bridge has nothing left to release.
    }
}

namespace {

// Opens a document for layout, hidden and read-only, with no macro run and no link updated. The filter is
// named, never left to the office's type detection: a file is read only as the format this program
// recognised in it (an HTML page named .doc is not fetched as a web page). A format with several filters
// (the versions of the binary Word format) has them tried in turn.
Reference<lang::XComponent> loadForLayout(const Reference<frame::XDesktop2> &desktop, const OUString &url,
                                          const QStringList &filters, const QString &filterOptions)
{
    namespace document = ::com::sun::star::document;
    OfficeError refused{
        QStringLiteral("LibreOffice cannot open it (damaged, protected with a password or not a document)")};
    for (const QString &filter : filters) {
        std::vector<beans::PropertyValue> options{
            property("Hidden", uno::Any(true)),
            property("ReadOnly", uno::Any(true)),
            property("AsTemplate", uno::Any(false)),
            property("MacroExecutionMode", uno::Any(document::MacroExecMode::NEVER_EXECUTE)),
            property("UpdateDocMode", uno::Any(document::UpdateDocMode::NO_UPDATE)),
            property("FilterName", uno::Any(toOUString(filter))),
        };
        if (!filterOptions.isEmpty())
            options.push_back(property("FilterOptions", uno::Any(toOUString(filterOptions))));
        const uno::Sequence<beans::PropertyValue> args(options.data(), sal_Int32(options.size()));
        // No interaction handler is passed, so a password, a repair question or a filter choice ends the
        // load with an error instead of waiting for an answer nobody can give.
        try {
            Reference<lang::XComponent> doc = desktop->loadComponentFromURL(url, OUString("_blank"), 0, args);
            if (doc.is())
                return doc;
        } catch (const lang::DisposedException &) {
            throw OfficeError{QStringLiteral("the office stopped while opening it"), true};
        } catch (const uno::Exception &e) {
            refused = OfficeError{QStringLiteral("LibreOffice cannot open it (%1)").arg(describe(e))};
        }
    }
    throw refused;
}

} // namespace

LayoutCounts OfficeConnection::measure(const QByteArray &nativePath, const QStringList &filters,
                                       const QString &filterOptions)
{
    const Reference<lang::XComponent> doc =
        loadForLayout(d->desktop, toOUString(fileUrl(nativePath)), filters, filterOptions);
    try {
        Reference<lang::XServiceInfo> info(doc, UNO_QUERY);
        if (!info.is() || !info->supportsService(OUString("com.sun.star.text.TextDocument"))) {
            Impl::close(doc);
            throw OfficeError{QStringLiteral("LibreOffice does not open it as a text document")};
        }
        Reference<frame::XModel> model(doc, UNO_QUERY_THROW);
        // Only the document's view lays it out and knows its pages and lines.
        Reference<beans::XPropertySet> view(model->getCurrentController(), UNO_QUERY);
        if (!view.is()) {
            Impl::close(doc);
            throw OfficeError{QStringLiteral("LibreOffice opened it without a view")};
        }
        // The layout goes on in the background: counted until two rounds agree.
        LayoutCounts last;
        for (int round = 0; round < kMaxCountRounds; ++round) {
            d->nudge(doc);
            LayoutCounts now = Impl::read(view);
            now.text = Impl::readText(doc);
            if (round > 0 && now.pages == last.pages && now.lines == last.lines && now.text == last.text)
                break;
            last = now;
        }
        Impl::close(doc);
        return last;
    } catch (const lang::DisposedException &) {
        throw OfficeError{QStringLiteral("the office stopped while laying it out"), true};
    } catch (const uno::Exception &e) {
        Impl::close(doc);
        throw OfficeError{QStringLiteral("the office failed while laying it out (%1)").arg(describe(e))};
    }
}

NewDocumentState OfficeConnection::openAsNewDocument(const QByteArray &nativePath)
{
    namespace document = ::com::sun::star::document;
    namespace util = ::com::sun::star::util;
    const beans::PropertyValue options[] = {
        property("AsTemplate", uno::Any(true)),
        property("MacroExecutionMode", uno::Any(document::MacroExecMode::NEVER_EXECUTE)),
    };
    const uno::Sequence<beans::PropertyValue> args(options, sal_Int32(std::size(options)));
    const OUString url = toOUString(fileUrl(nativePath));
    Reference<lang::XComponent> doc;
    try {
        doc = d->desktop->loadComponentFromURL(url, OUString("_default"), 0, args);
    } catch (const lang::DisposedException &) {
        throw OfficeError{QStringLiteral("the office stopped while opening it"), true};
    } catch (const uno::Exception &e) {
        throw OfficeError{QStringLiteral("LibreOffice cannot open it (%1)").arg(describe(e))};
    }
    if (!doc.is())
        throw OfficeError{QStringLiteral("LibreOffice cannot open it")};

    // From here on the document is open in front of the user: what fails now is reported in the state
    // the office answers with, never by opening it a second time.
    NewDocumentState state;
    try {
        // A document built from a template counts as unchanged until edited, and an unchanged one closes
        // without a question: the results would be gone.
        Reference<util::XModifiable> modifiable(doc, UNO_QUERY);
        if (modifiable.is()) {
            modifiable->setModified(true);
            state.modified = modifiable->isModified();
        }
        if (Reference<frame::XTitle> title(doc, UNO_QUERY); title.is())
            state.title = toQString(title->getTitle());
        if (Reference<frame::XStorable> storable(doc, UNO_QUERY); storable.is())
            state.hasLocation = storable->hasLocation();
        Reference<frame::XModel> model(doc, UNO_QUERY);
        Reference<frame::XController> controller = model.is() ? model->getCurrentController() : nullptr;
        Reference<frame::XFrame> frame = controller.is() ? controller->getFrame() : nullptr;
        if (frame.is()) {
            Reference<::com::sun::star::awt::XTopWindow> window(frame->getContainerWindow(), UNO_QUERY);
            if (window.is())
                window->toFront();
        }
    } catch (const uno::Exception &) {
        // The state keeps what was read before the failure.
    }
    return state;
}

bool OfficeConnection::terminateOffice() noexcept
{
    try {
        return d->desktop.is() && d->desktop->terminate();
    } catch (const lang::DisposedException &) {
        return true; // the office ending drops the connection under the call
    } catch (...) {
        return false;
    }
}

} // namespace office::helper
