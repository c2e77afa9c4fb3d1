// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/BuiltinProperty.h"

namespace word {

const std::array<BuiltinInfo, kBuiltinCount> &builtinProperties()
{
    using K = BuiltinKind;
    static const std::array<BuiltinInfo, kBuiltinCount> table{{
        {Builtin::Title, 1, "Title", K::Text},
        {Builtin::Subject, 2, "Subject", K::Text},
        {Builtin::Author, 3, "Author", K::Text},
        {Builtin::Manager, 20, "Manager", K::Text},
        {Builtin::Company, 21, "Company", K::Text},
        {Builtin::Category, 18, "Category", K::Text},
        {Builtin::Keywords, 4, "Keywords", K::Text},
        {Builtin::Comments, 5, "Comments", K::Text},
        {Builtin::HyperlinkBase, 29, "Hyperlink Base", K::Text},
        {Builtin::Template, 6, "Template", K::Text},
        {Builtin::CreationDate, 11, "Creation Date", K::DateTime},
        {Builtin::LastSaveTime, 12, "Last Save Time", K::DateTime},
        {Builtin::LastPrintDate, 10, "Last Print Date", K::DateTime},
        {Builtin::LastAuthor, 7, "Last Author", K::Text},
        // Stored as text by every format that has it (a string in the binary property sets and in OOXML).
        {Builtin::RevisionNumber, 8, "Revision Number", K::Text},
        {Builtin::TotalEditingTime, 13, "Total Editing Time", K::Integer},
        {Builtin::NumberOfPages, 14, "Number of Pages", K::Integer},
        {Builtin::NumberOfParagraphs, 24, "Number of Paragraphs", K::Integer},
        {Builtin::NumberOfLines, 23, "Number of Lines", K::Integer},
        {Builtin::NumberOfWords, 15, "Number of Words", K::Integer},
        {Builtin::NumberOfCharacters, 16, "Number of Characters", K::Integer},
        {Builtin::NumberOfCharactersWithSpaces, 30, "Number of Characters (with spaces)", K::Integer},
        {Builtin::NumberOfBytes, 22, "Number of Bytes", K::Integer},
    }};
    return table;
}

std::optional<Builtin> builtinByName(const QString &name)
{
    for (const BuiltinInfo &p : builtinProperties())
        if (name == QLatin1String(p.name))
            return p.id;
    return std::nullopt;
}

std::optional<Builtin> builtinByNumber(int number)
{
    for (const BuiltinInfo &p : builtinProperties())
        if (p.number == number)
            return p.id;
    return std::nullopt;
}

} // namespace word
