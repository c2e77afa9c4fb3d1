// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "properties/PropertyCatalogue.h"
#include "core/SettingsStore.h"
#include "platform/RuntimeError.h"
#include <QRegularExpression>

namespace catalogue {

const std::array<CatalogueRow, RowCount> &rows()
{
    static const std::array<CatalogueRow, RowCount> table{{
        {1, u"Check1", u"Title", u"Title", u"Title"},
        {2, u"Check2", u"Subject", u"Subject", u"Subject"},
        {3, u"Check3", u"Author", u"Author", u"Author"},
        {4, u"Check4", u"Manager", u"Manager", u"Manager"},
        {5, u"Check5", u"Company", u"Company", u"Company"},
        {6, u"Check6", u"Category", u"Category", u"Category"},
        {7, u"Check7", u"Keywords", u"Keywords", u"Keywords"},
        {8, u"Check8", u"Comments", u"Comments", u"Comments"},
        {9, u"Check9", u"Hyperlink Base", u"Hyperlink Base", u"Hyperlink Base"},
        {10, u"Check10", u"Template", u"Template", u"Template"},
        {11, u"Check11", u"Date Created", u"Created", u"Creation Date"},
        {12, u"Check12", u"Date Modified", u"Modified", u"Last Save Time"},
        {13, u"Check13", u"Date Accessed", u"Accessed", u"Last Save Time"},
        {14, u"Check14", u"Date Printed", u"Printed", u"Last Print Date"},
        {15, u"Check15", u"Last Saved By", u"Last Saved By", u"Last Author"},
        {16, u"Check16", u"Revision Number", u"Revision Number", u"Revision Number"},
        {17, u"Check17", u"Total Editing Time", u"Total Editing Time", u"Total Editing Time"},
        {18, u"Check18", u"Number Of Pages", u"Pages", u"Number of Pages"},
        {19, u"Check19", u"Number Of Paragraphs", u"Paragraphs", u"Number of Paragraphs"},
        {20, u"Check20", u"Number Of Lines", u"Lines", u"Number of Lines"},
        {21, u"Check21", u"Number Of Words", u"Words", u"Number of Words"},
        {22, u"Check22", u"Number Of Characters", u"Characters", u"Number of Characters"},
        {23, u"Check23", u"No. Of Characters (with spaces)", u"Characters (with spaces)",
         u"Number of Characters (with spaces)"},
        {24, u"Check24", u"Bytes", u"Bytes", u"Number of Bytes"},
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
    return settings.read(setting::column(row(number).number));
}

void writeSelection(SettingsStore &settings, int number, bool selected)
{
    settings.write(setting::column(row(number).number), selected ? QStringLiteral("1") : QStringLiteral("0"));
}

bool tickedInChooser(const QString &stored) { return stored == QLatin1String("1"); }

bool selectedForRun(const QString &stored)
{
    // A stored value edited by hand still counts when it reads as a number: blanks around it, a sign,
    // decimals and an exponent are allowed, so "1.0" or " 1 " select the property; other text is a type
    // mismatch.
    static const QRegularExpression number(QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$)"));
    if (!number.match(stored).hasMatch())
        throw RuntimeError(RuntimeError::TypeMismatch, QStringLiteral("Type mismatch"));
    return stored.trimmed().toDouble() == 1.0;
}

} // namespace catalogue
