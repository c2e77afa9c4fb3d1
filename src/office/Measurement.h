// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QtGlobal>
#include <optional>

namespace office {

// Pages and lines of one document as LibreOffice's layout gives them: what one layout answer of the
// helper carries, on both sides of the line protocol. Where they are missing, `error` says why (the
// helper leaves the file's name out; the programs add it).
struct Measurement {
    std::optional<int> pages;
    std::optional<int> lines;
    QString error;
    bool timedOut = false; // the time limit ended the office; the next document gets a new one
    // The office's own count of the text after its recount, to compare with the engine's (benchmarks);
    // -1 where it gave none.
    qint64 officeWords = -1;
    qint64 officeCharacters = -1; // without white space
    qint64 officeCharactersWithSpaces = -1;
    qint64 officeParagraphs = -1;
};

} // namespace office
