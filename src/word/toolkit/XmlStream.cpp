// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/toolkit/XmlStream.h"
#include "word/Errors.h"
#include "word/toolkit/InputFile.h"
#include "word/toolkit/XmlTree.h"
#include "word/toolkit/ZipArchive.h"

namespace word {

namespace {

// The piece of a part unpacked and parsed at a time: large enough that the per-piece costs vanish, small
// enough to stay in the processor's cache.
constexpr qint64 kStreamChunkBytes = 64 * 1024;

// The unpacked part, reused from part to part; given back when a large one has grown it.
QByteArray &wholePartBuffer()
{
    thread_local QByteArray whole;
    if (whole.capacity() > 1024 * 1024)
        whole = QByteArray();
    whole.resize(0);
    return whole;
}

} // namespace

void streamZipPart(const ZipArchive &zip, qint64 index, qint64 limit, XmlParser &parser)
{
    // A part small enough to be read as a tree is unpacked straight into one buffer.
    if (const std::optional<QByteArray> whole = zip.readWithin(index, limit, xmltree::kMaxTreeBytes)) {
        parser.parse(*whole);
        return;
    }
    thread_local QByteArray buffer; // reused from document to document
    QByteArray &whole = wholePartBuffer();
    bool streaming = false;
    zip.stream(index, limit, buffer, kStreamChunkBytes, [&](const char *bytes, qint64 n) {
        if (parser.stopped())
            return;
        if (!streaming && whole.size() + n <= xmltree::kMaxTreeBytes) {
            whole.append(bytes, n);
            return;
        }
        if (!streaming) {
            streaming = true;
            parser.feed(whole.constData(), whole.size());
            whole.resize(0);
        }
        parser.feed(bytes, n);
    });
    if (streaming)
        parser.finish();
    else
        parser.parse(whole);
}

void streamFile(const InputFile &file, qint64 limit, XmlParser &parser)
{
    if (file.size() > limit)
        throw DamagedContent(QStringLiteral("its text (%1 MiB) is longer than the %2 MiB counted")
                                 .arg(file.size() / (1024 * 1024))
                                 .arg(limit / (1024 * 1024)));
    if (file.size() <= xmltree::kMaxTreeBytes) {
        const QByteArray whole = file.read(0, file.size());
        if (whole.size() != file.size())
            throwFileAccess(file.path(), QStringLiteral("it changed while it was being read"));
        parser.parse(whole);
        return;
    }
    qint64 offset = 0;
    while (offset < file.size() && !parser.stopped()) {
        const QByteArray piece = file.read(offset, qMin(kStreamChunkBytes * 4, file.size() - offset));
        if (piece.isEmpty())
            throwFileAccess(file.path(), QStringLiteral("it changed while it was being read"));
        parser.feed(piece.constData(), piece.size());
        offset += piece.size();
    }
    parser.finish();
}

} // namespace word
