// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/DocumentData.h"
#include "word/ReadOptions.h"
#include "word/toolkit/InputFile.h"
#include <QByteArray>

namespace word {

// What every format reader gets: the open file and its first bytes (the whole file when it is small).
struct FileContent {
    InputFile &file;
    QByteArray head;  // the first bytes of the file
    bool headIsWhole; // head holds the entire file
    ReadOptions options{};
};

// The format readers. Each reads only what it needs, fills the values it finds and sets `format`.
// They throw Error for what they can name themselves (not a Word document, password) and
// DamagedContent for broken content.
DocumentData readOleDocument(const FileContent &content);
DocumentData readZipDocument(const FileContent &content); // OOXML and ODF text
DocumentData readRtfDocument(const FileContent &content);
DocumentData readWordXmlDocument(const FileContent &content); // Word 2003 XML
DocumentData readPlainText(const FileContent &content);

} // namespace word
