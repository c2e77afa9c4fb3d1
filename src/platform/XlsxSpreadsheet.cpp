// Placeholder until the workbook writer lands.
#include "platform/XlsxSpreadsheet.h"
#include "platform/RuntimeError.h"

namespace {
class NoSpreadsheet : public ISpreadsheet {
public:
    std::unique_ptr<IWorkbook> create() override
    {
        throw RuntimeError(429, QStringLiteral("No spreadsheet program is available."));
    }
};
} // namespace

std::shared_ptr<ISpreadsheet> makeXlsxSpreadsheet(std::shared_ptr<IShell>) { return std::make_shared<NoSpreadsheet>(); }
