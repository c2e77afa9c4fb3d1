// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/Formats.h"
#include "word/TextCounter.h"
#include "word/toolkit/ByteReader.h"
#include <QByteArray>
#include <QString>
#include <functional>

namespace word {

class ZipArchive;

// The text of each format, fed to a counter the way the program that wrote the document counts it (the
// counter's rules, set by the format reader from the writer the document names): the body with its
// generated list labels and without hidden text, comments, deleted revisions or field instructions; the
// headers, footers and notes too where the writer counts them. Each throws DamagedContent when the text
// cannot be read whole; a count of part of a text would be a wrong count.

// Office Open XML: the main document part (`mainPart`) of the package.
void countOoxmlText(const ZipArchive &zip, const QString &mainPart, TextCounter &counter);
// Word 2003 XML, the whole file, read in pieces when it is large.
void countWordXmlText(const FileContent &content, TextCounter &counter);
// OpenDocument text: content.xml of the package.
void countOdfText(const ZipArchive &zip, TextCounter &counter);
// RTF: the body, outside the header's tables and every other destination.
void countRtfText(const FileContent &content, TextCounter &counter);
// A stream of a compound file, read by ranges: a binary document's text streams may be as large as the
// file, and counting needs only the few places its header and piece table point at.
class RandomAccessStream {
public:
    virtual ~RandomAccessStream() = default;
    virtual qint64 size() const = 0;
    // Exactly `length` bytes from `offset`, which lie inside the stream; throws DamagedContent when they
    // cannot be read.
    virtual QByteArray read(qint64 offset, qint64 length) const = 0;
    // The same bytes without a copy where the stream holds them already; they stay valid until the next
    // call on this stream. For bytes that are read at once and not kept (property pages, runs of text).
    virtual ByteReader view(qint64 offset, qint64 length) const = 0;
};

// Word 6 to 2003 binaries: the main document's characters through the piece table. `table0` and `table1`
// are the streams 0Table and 1Table (null when absent).
void countWordBinaryText(const RandomAccessStream &wordDocument, const RandomAccessStream *table0,
                         const RandomAccessStream *table1, TextCounter &counter);
// Plain text in its encoding: UTF-16 or UTF-8 with a byte order mark, UTF-8, or else Windows-1252.
void countPlainText(const FileContent &content, TextCounter &counter);

// Sets the words, characters, characters with spaces and paragraphs that the caller asks for and `d`
// lacks (all asked ones when `content.options.recount`) from the text `extract` feeds to a counter, and records them as
// computed. A text that cannot be read leaves them unset, with a note saying why: the stored properties are still worth
// reporting.
void computeMissingStatistics(DocumentData &d, const FileContent &content,
                              const std::function<void(TextCounter &)> &extract);

} // namespace word
