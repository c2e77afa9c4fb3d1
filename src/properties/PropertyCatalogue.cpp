#include "properties/PropertyCatalogue.h"
#include "app/SettingsStore.h"
#include "platform/RuntimeError.h"
#include <QRegularExpression>

namespace catalogue {

const std::array<CatalogueRow, RowCount> &rows()
{
    static const std::array<CatalogueRow, RowCount> table{{
        {1, u"Check1", u"Title", u"Column1", u"Title", u"Title"},
        {2, u"Check2", u"Subject", u"Column2", u"Subject", u"Subject"},
        {3, u"Check3", u"Author", u"Column3", u"Author", u"Author"},
        {4, u"Check4", u"Manager", u"Column4", u"Manager", u"Manager"},
        {5, u"Check5", u"Company", u"Column5", u"Company", u"Company"},
        {6, u"Check6", u"Category", u"Column6", u"Category", u"Category"},
        {7, u"Check7", u"Keywords", u"Column7", u"Keywords", u"Keywords"},
        {8, u"Check8", u"Comments", u"Column8", u"Comments", u"Comments"},
        {9, u"Check9", u"Hyperlink Base", u"Column9", u"Hyperlink Base", u"Hyperlink Base"},
        {10, u"Check10", u"Template", u"Column10", u"Template", u"Template"},
        {11, u"Check11", u"Date Created", u"Column11", u"Created", u"Creation Date"},
        {12, u"Check12", u"Date Modified", u"Column12", u"Modified", u"Last Save Time"},
        {13, u"Check13", u"Date Accessed", u"Column13", u"Accessed", u"Last Save Time"},
        {14, u"Check14", u"Date Printed", u"Column14", u"Printed", u"Last Print Date"},
        {15, u"Check15", u"Last Saved By", u"Column15", u"Last Saved By", u"Last Author"},
        {16, u"Check16", u"Revision Number", u"Column16", u"Revision Number", u"Revision Number"},
        {17, u"Check17", u"Total Editing Time", u"Column17", u"Total Editing Time", u"Total Editing Time"},
        {18, u"Check18", u"Number Of Pages", u"Column18", u"Pages", u"Number of Pages"},
        {19, u"Check19", u"Number Of Paragraphs", u"Column19", u"Paragraphs", u"Number of Paragraphs"},
        {20, u"Check20", u"Number Of Lines", u"Column20", u"Lines", u"Number of Lines"},
        {21, u"Check21", u"Number Of Words", u"Column21", u"Words", u"Number of Words"},
        {22, u"Check22", u"Number Of Characters", u"Column22", u"Characters", u"Number of Characters"},
        {23, u"Check23", u"No. Of Characters (with spaces)", u"Column23", u"Characters (with spaces)",
         u"Number of Characters (with spaces)"},
        {24, u"Check24", u"Bytes", u"Column24", u"Bytes", u"Number of Bytes"},
    }};
    return table;
}

const CatalogueRow &row(int number)
{
    if (number < 1 || number > RowCount)
        throw RuntimeError(RuntimeError::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    return rows()[static_cast<size_t>(number - 1)];
}

QString readSelection(const SettingsStore &settings, int number)
{
    return settings.read(QString::fromUtf16(row(number).settingsKey), QStringLiteral("1"));
}

void writeSelection(SettingsStore &settings, int number, bool selected)
{
    settings.write(QString::fromUtf16(row(number).settingsKey), selected ? QStringLiteral("1") : QStringLiteral("0"));
}

bool tickedInChooser(const QString &stored) { return stored == QLatin1String("1"); }

bool selectedForRun(const QString &stored)
{
    // A numeric text as the classic run-time reads it: blanks around it, sign, decimals, exponent.
    static const QRegularExpression number(QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$)"));
    if (!number.match(stored).hasMatch())
        throw RuntimeError(RuntimeError::TypeMismatch, QStringLiteral("Type mismatch"));
    return stored.trimmed().toDouble() == 1.0;
}

} // namespace catalogue
