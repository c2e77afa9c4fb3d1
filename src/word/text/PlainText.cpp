// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Plain text: no stored properties; its statistics are counted from the text, decoded as a word processor
// opens it: UTF-16 or UTF-8 by their byte order marks, UTF-8 when the bytes are valid UTF-8, otherwise
// Windows-1252. Every line is a paragraph.
#include "word/Errors.h"
#include "word/Formats.h"
#include "word/MainText.h"
#include "word/toolkit/CodePage.h"
#include "word/toolkit/Limits.h"
#include <QStringDecoder>
#include <optional>

namespace word {

namespace {

// The file's bytes from `from`, in bounded chunks, so that memory does not grow with the text, until
// `consume` returns false.
template <typename Consumer> void forEachChunk(const FileContent &content, qint64 from, qint64 size, Consumer &&consume)
{
    if (content.headIsWhole) {
        consume(QByteArrayView(content.head).sliced(qMin<qint64>(from, content.head.size())));
        return;
    }
    for (qint64 offset = from; offset < size; offset += limits::kTextReadChunkBytes)
        if (!consume(QByteArrayView(content.file.read(offset, qMin(limits::kTextReadChunkBytes, size - offset)))))
            return;
}

// The length of `bytes` without a UTF-8 sequence that the chunk's end cuts short (its last one to three
// bytes), which is checked with the next chunk instead.
qsizetype lengthOfWholeSequences(QByteArrayView bytes)
{
    for (qsizetype back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto b = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if (b < 0x80)
            return bytes.size();
        if (b >= 0xC0) { // the first byte of a sequence: how long it says the sequence is
            const qsizetype length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
            return length > back ? bytes.size() - back : bytes.size();
        }
    }
    return bytes.size();
}

// Whether the bytes from `from` on are valid UTF-8: checked before the text is decoded, so that it is
// decoded once, in the encoding it turns out to have.
bool isUtf8(const FileContent &content, qint64 from, qint64 size)
{
    bool valid = true;
    QByteArray carried;
    forEachChunk(content, from, size, [&](QByteArrayView chunk) {
        QByteArray joined;
        if (!carried.isEmpty()) {
            joined = carried + chunk.toByteArray();
            chunk = joined;
        }
        const qsizetype whole = lengthOfWholeSequences(chunk);
        valid = chunk.first(whole).isValidUtf8();
        carried = chunk.sliced(whole).toByteArray();
        return valid;
    });
    return valid && carried.isEmpty();
}

// Every line end (CR, LF, or CR LF as one) ends a paragraph, also where it falls between two chunks.
class LineCounter {
public:
    explicit LineCounter(TextCounter &counter) : m_counter(counter) {}

    void add(QStringView text)
    {
        qsizetype lineStart = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (m_afterCr) {
                m_afterCr = false;
                if (c == u'\n') { // the second half of a CR LF
                    lineStart = i + 1;
                    continue;
                }
            }
            if (c != u'\r' && c != u'\n')
                continue;
            m_counter.add(text.mid(lineStart, i - lineStart)); // tabs and page breaks count as blanks there
            m_counter.paragraphMark();
            m_afterCr = c == u'\r';
            lineStart = i + 1;
        }
        m_counter.add(text.mid(lineStart));
    }
    void finish() { m_counter.paragraphMark(); } // the last line needs no line end

private:
    TextCounter &m_counter;
    bool m_afterCr = false;
};

} // namespace

void countPlainText(const FileContent &content, TextCounter &counter)
{
    const qint64 size = content.headIsWhole ? content.head.size() : content.file.size();
    if (size > limits::kMaxPartBytes)
        throw DamagedContent(QStringLiteral("it is larger than the 64 MiB whose text this program counts"));
    const QByteArray &head = content.head;
    qint64 from = 0;
    std::optional<QStringDecoder::Encoding> encoding;
    if (head.startsWith("\xFF\xFE")) {
        encoding = QStringDecoder::Utf16LE;
        from = 2;
    } else if (head.startsWith("\xFE\xFF")) {
        encoding = QStringDecoder::Utf16BE;
        from = 2;
    } else {
        // A UTF-8 byte order mark is stepped over; bytes that are not valid UTF-8 after it make the whole
        // file Windows-1252 all the same.
        const qint64 mark = head.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        if (isUtf8(content, mark, size)) {
            encoding = QStringDecoder::Utf8;
            from = mark;
        }
    }
    LineCounter lines(counter);
    if (encoding) {
        // Stateful: a character whose bytes two chunks share is decoded whole.
        QStringDecoder decoder(*encoding);
        forEachChunk(content, from, size, [&](QByteArrayView chunk) {
            const QString text = decoder.decode(chunk);
            lines.add(text);
            return true;
        });
        // A UTF-16 text of an odd number of bytes ends in half a character, which reads as U+FFFD.
        if (*encoding != QStringDecoder::Utf8 && (size - from) % 2 != 0)
            lines.add(u"\uFFFD");
    } else {
        forEachChunk(content, from, size, [&](QByteArrayView chunk) {
            lines.add(decodeCodePage(1252, chunk.constData(), chunk.size()));
            return true;
        });
    }
    lines.finish();
}

DocumentData readPlainText(const FileContent &content)
{
    DocumentData d;
    d.format = QStringLiteral("TEXT");
    computeMissingStatistics(d, content, [&](TextCounter &c) { countPlainText(content, c); });
    return d;
}

} // namespace word
