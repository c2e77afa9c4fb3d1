// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/MainText.h"
#include "word/ole/WordBinaryProperties.h"
#include <QByteArray>
#include <QString>

// The file information block (FIB) of a Word binary: where its text, piece table, list tables and
// character properties are, and how long its stories are.
namespace word {

// A run of character positions: a story of the document.
struct CpRange {
    qint64 from = 0;
    qint64 length = 0;
};

// Where the FIB states the CLX and the main text's length.
struct FibFacts {
    bool word97 = false;
    bool complex = false;
    qint64 ccpText = 0;
    // Word counts the text in text boxes with the body: their story follows the main text, the notes,
    // the headers, the comments and the endnotes.
    CpRange textBoxes;
    qint64 fcMin = 0;
    qint64 fcClx = 0;
    qint64 lcbClx = 0;
    bool table1 = false;
    wordbinary::Tables tables; // Word 97 and later
    int codePage = 1252;       // of Word 6 and 95's single- or double-byte text
};

// The facts of the FIB at the start of the WordDocument stream; throws DamagedContent when it is cut
// short or states what cannot be.
FibFacts readFib(const RandomAccessStream &wd);

// Reads of the file information block and the piece table: a structure cut short is damage.
quint32 fibU32(const QByteArray &b, qint64 at);
quint16 fibU16(const QByteArray &b, qint64 at);
quint32 fibU32(const RandomAccessStream &s, qint64 at);
quint16 fibU16(const RandomAccessStream &s, qint64 at);
// Bytes of a stream, refused when they lie outside it; `what` names the structure in the refusal.
QByteArray streamRange(const RandomAccessStream &stream, qint64 offset, qint64 length, const QString &what);

} // namespace word
