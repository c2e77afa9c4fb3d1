// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <array>
#include <optional>

namespace word {

// The built-in document properties the engine answers, in the order the program lists them.
enum class Builtin {
    Title,
    Subject,
    Author,
    Manager,
    Company,
    Category,
    Keywords,
    Comments,
    HyperlinkBase,
    Template,
    CreationDate,
    LastSaveTime,
    LastPrintDate,
    LastAuthor,
    RevisionNumber,
    TotalEditingTime,
    NumberOfPages,
    NumberOfParagraphs,
    NumberOfLines,
    NumberOfWords,
    NumberOfCharacters,
    NumberOfCharactersWithSpaces,
    NumberOfBytes,
};

inline constexpr int kBuiltinCount = 23;

// What kind of value a property holds; decides what an absent value means (empty text, or an error).
enum class BuiltinKind { Text, Integer, DateTime };

struct BuiltinInfo {
    Builtin id;
    int number;       // the word processor's item number in BuiltinDocumentProperties
    const char *name; // the item's name, letter for letter
    BuiltinKind kind;
};

// All 23 properties in the program's order (index = static_cast<int>(Builtin)).
const std::array<BuiltinInfo, kBuiltinCount> &builtinProperties();
inline const BuiltinInfo &builtinInfo(Builtin id) { return builtinProperties()[static_cast<int>(id)]; }
// Lookup by the exact item name or by item number; nullopt when the engine has no such item.
std::optional<Builtin> builtinByName(const QString &name);
std::optional<Builtin> builtinByNumber(int number);

} // namespace word
