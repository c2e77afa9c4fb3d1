// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main text of Word binaries. Word 97 to 2003 keep it in pieces listed by the piece table (the CLX in
// the table stream that the FIB names); each piece is either UTF-16 or "compressed" Windows-1252 bytes.
// Word 6 and 95 keep it as single bytes, in one run from fcMin or in pieces of their own piece table in
// the WordDocument stream. The main document is the first ccpText characters; notes, headers, comments
// and text boxes follow it and are not counted.
#include "word/EngineLog.h"
#include "word/Errors.h"
#include "word/MainText.h"
#include "word/ole/WordBinaryFib.h"
#include "word/ole/WordBinaryHidden.h"
#include "word/ole/WordBinaryLists.h"
#include "word/toolkit/ByteReader.h"
#include "word/toolkit/CodePage.h"
#include "word/toolkit/Limits.h"
#include <QtEndian>
#include <array>
#include <map>
#include <optional>
#include <vector>

namespace word {

namespace {

// The code units of a run of text as the sink reads them: UTF-16, or the bytes of a single-byte code page
// through the table of the characters they stand for (counted without being turned into UTF-16 first).
struct Utf16Text {
    QStringView text;
    qsizetype size() const { return text.size(); }
    char16_t operator[](qsizetype i) const { return text[i].unicode(); }
    qsizetype countUntilControl(TextCounter &counter, qsizetype from, qsizetype to) const
    {
        return counter.addUntilControl(text.sliced(from, to - from));
    }
};

struct CodePageText {
    const unsigned char *bytes;
    qsizetype length;
    const SingleByteCodePage &codePage;
    qsizetype size() const { return length; }
    char16_t operator[](qsizetype i) const { return codePage.characters[bytes[i]]; }
    qsizetype countUntilControl(TextCounter &counter, qsizetype from, qsizetype to) const
    {
        return counter.addUntilControl(bytes + from, to - from, codePage);
    }
};

// The characters of the main text, with Word's marks turned into paragraph ends and blanks, field
// instructions (between a field's begin and separator marks) and hidden text left out, and each numbered
// paragraph's list label counted with it.
class MainTextSink {
public:
    MainTextSink(TextCounter &counter, WordBinaryLists *lists, WordBinaryHiddenText *hidden = nullptr)
        : m_counter(counter), m_lists(lists), m_hidden(hidden)
    {
    }

    // `text` begins at byte `fc` of the WordDocument stream, `width` bytes a character: where a paragraph
    // mark lies says which paragraph properties (and so which list) are its, and where a character lies
    // whether it is hidden.
    void add(QStringView text, qint64 fc, int width) { addText(Utf16Text{text}, fc, width); }
    // Text in a single-byte code page, a byte a character.
    void add(const unsigned char *bytes, qsizetype length, const SingleByteCodePage &codePage, qint64 fc)
    {
        addText(CodePageText{bytes, length, codePage}, fc, 1);
    }

private:
    template <typename Text> void addText(const Text &text, qint64 fc, int width)
    {
        if (m_hidden)
            addCharacters<true>(text, fc, width);
        else
            addCharacters<false>(text, fc, width); // most documents: no character looked up
    }

    // A character that is text and nothing else: no mark, no half of a surrogate pair.
    static bool isPlain(char16_t c) { return c >= 0x20 && (c < 0xD800 || c > 0xDFFF); }

    // The run of plain characters at `from` (up to `to` at most) goes to the counter, which finds its end as
    // it counts (or nowhere, in a field's instruction): most of a text is such runs between marks. Returns
    // where the run ends.
    template <typename Text> qsizetype addPlainRun(const Text &text, qsizetype from, qsizetype to)
    {
        if (m_instructions == 0)
            return from + text.countUntilControl(m_counter, from, to);
        qsizetype end = from;
        while (end < to && isPlain(text[end]))
            ++end;
        return end;
    }

    template <bool kMayHide, typename Text> void addCharacters(const Text &text, qint64 fc, int width)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            // Where text may be hidden, a run goes on only while its characters are shown.
            qsizetype shownEnd = text.size();
            if constexpr (kMayHide) {
                const qint64 at = fc + i * width;
                shownEnd = m_hidden->isHidden(at)
                               ? i
                               : i + qMin<qint64>(text.size() - i, (m_hidden->sameUntil() - at - 1) / width + 1);
            }
            if (shownEnd > i) {
                if (const qsizetype end = addPlainRun(text, i, shownEnd); end > i) {
                    i = end - 1;
                    continue;
                }
            }
            const char16_t c = text[i];
            // Word 97-2003: hidden text is left out of Word's counts; its field marks still open and close
            // fields, and its paragraph marks still end paragraphs.
            const bool hidden = kMayHide && m_hidden->isHidden(fc + i * width);
            switch (c) {
            case 0x13: // field begin: its instruction follows
                if (m_fields.size() >= static_cast<size_t>(limits::kMaxFieldNesting))
                    throw DamagedContent(QStringLiteral("its fields are nested too deeply"));
                m_fields.push_back(true);
                ++m_instructions;
                if (m_instructions == 1 && !hidden)
                    m_counter.field();
                continue;
            case 0x14: // field separator: the result follows
                if (!m_fields.empty() && m_fields.back()) {
                    m_fields.back() = false;
                    --m_instructions;
                }
                continue;
            case 0x15: // field end
                if (!m_fields.empty()) {
                    m_instructions -= m_fields.back() ? 1 : 0;
                    m_fields.pop_back();
                }
                continue;
            default:
                break;
            }
            if (m_instructions > 0)
                continue;
            if (c == 0x0D || c == 0x07) { // paragraph mark; end of a table cell or row
                // Word 97-2003: a numbered paragraph's generated label counts as text of the paragraph,
                // unless the mark, whose properties the label takes, is hidden.
                if (m_lists) {
                    const QString label = m_lists->labelOfParagraphEndingAt(fc + i * width);
                    if (!hidden)
                        m_counter.label(label);
                }
                m_counter.paragraphMark();
            } else if (hidden && c != 0x01 && c != 0x08) {
                // A hidden picture or object still counts for Word: the counts it stores for a document
                // that keeps its picture bullets as a hidden inline picture include that picture.
                continue;
            } else if (c == 0x09 || c == 0x0B || c == 0x0C || c == 0x0E) // tab, line, page or column break
                m_counter.space();
            else if (c == 0x1E) // non-breaking hyphen
                m_counter.add(u'\u2011');
            else if (c == 0x1F) // optional hyphen
                m_counter.softHyphen();
            else if (c == 0x01 || c == 0x08) // an inline picture or object; a drawn object anchored here
                m_counter.object();
            else
                m_counter.add(c); // the counter passes over the other marks (pictures, note references)
        }
    }

    TextCounter &m_counter;
    WordBinaryLists *m_lists;
    WordBinaryHiddenText *m_hidden; // null when the document hides no text
    std::vector<bool> m_fields;     // open fields: true while their instruction is being read
    int m_instructions = 0;         // open fields whose instruction is being read
};

// Whether `byte` begins a two-byte character in an East Asian code page.
bool isLeadByte(int codePage, unsigned char byte)
{
    if (codePage == 932) // Shift-JIS: single-byte katakana lie between its two lead ranges
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    return (codePage == 936 || codePage == 949 || codePage == 950) && byte >= 0x81 && byte <= 0xFE;
}

// The characters of a single-byte code page, one for each byte value: the decoder fills the table once per
// code page, and the text, which may be megabytes, is then looked up byte by byte as it is counted
// instead of passed through the decoder.
const SingleByteCodePage &singleByteTable(int codePage)
{
    thread_local std::map<int, SingleByteCodePage> tables; // the few code pages Word 6 and 95 use
    const auto found = tables.find(codePage);
    if (found != tables.end())
        return found->second;
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const QString c = decodeCodePage(codePage, &byte, 1);
        table[size_t(b)] = c.size() == 1 ? c[0].unicode() : u'\uFFFD';
    }
    return tables.emplace(codePage, SingleByteCodePage(table)).first->second;
}

// A run of the main text's characters at `offset` of the WordDocument stream, in UTF-16 (code page 1200)
// or in bytes of a Windows code page, read and fed on in bounded chunks so that memory does not grow with
// the text. In a double-byte code page `chars` counts bytes, as Word 6 and 95 count their positions.
void addText(const RandomAccessStream &wd, qint64 offset, qint64 chars, int codePage, MainTextSink &sink)
{
    const qint64 width = codePage == 1200 ? 2 : 1;
    if (offset < 0 || chars < 0 || offset > wd.size() || chars > (wd.size() - offset) / width)
        throw DamagedContent(QStringLiteral("its text lies outside the WordDocument stream"));
    constexpr qint64 kChunkChars = 256 * 1024;
    QString decoded;
    for (qint64 done = 0; done < chars;) {
        qint64 n = qMin(kChunkChars, chars - done);
        const ByteReader b = wd.view(offset + done * width, n * width);
        const qint64 fc = offset + done * width;
        if (width == 1 && isLeadByte(codePage, 0x81)) {
            // A two-byte character stays whole for the decoder: a chunk never ends on its first byte.
            if (done + n < chars) {
                qint64 i = 0;
                while (i < n)
                    i += isLeadByte(codePage, b.u8(i)) ? 2 : 1;
                if (i > n)
                    --n;
            }
            sink.add(decodeCodePage(codePage, b.at(0), n), fc, 1);
        } else if (width == 1) {
            sink.add(reinterpret_cast<const unsigned char *>(b.at(0)), n, singleByteTable(codePage), fc);
        } else {
            decoded.resize(n);
            qFromLittleEndian<char16_t>(b.at(0), n, decoded.data());
            // A character written as two code units stays whole for the counter.
            if (n > 1 && done + n < chars && decoded[n - 1].isHighSurrogate())
                --n;
            sink.add(QStringView(decoded).first(n), fc, 2);
        }
        done += n;
    }
}

// The PlcPcd inside a CLX: the Prc entries (formatting) that come first are stepped over.
QByteArray pieceTableOf(const QByteArray &clx)
{
    qint64 at = 0;
    while (at < clx.size()) {
        const auto clxt = static_cast<unsigned char>(clx[at]);
        if (clxt == 1) {
            at += 3 + fibU16(clx, at + 1);
        } else if (clxt == 2) {
            const qint64 lcb = fibU32(clx, at + 1);
            if (lcb > clx.size() - at - 5)
                throw DamagedContent(QStringLiteral("its piece table is cut short"));
            return clx.mid(at + 5, lcb);
        } else {
            throw DamagedContent(QStringLiteral("its piece table is damaged"));
        }
    }
    throw DamagedContent(QStringLiteral("its piece table is missing"));
}

void countPieces(const RandomAccessStream &wd, const RandomAccessStream &table, const FibFacts &f,
                 const std::vector<CpRange> &stories, MainTextSink &sink)
{
    if (f.lcbClx <= 0)
        throw DamagedContent(QStringLiteral("its piece table lies outside its table stream"));
    if (f.lcbClx > limits::kMaxClxBytes)
        throw DamagedContent(QStringLiteral("its piece table lists too many pieces"));
    const QByteArray plc = pieceTableOf(
        streamRange(table, f.fcClx, f.lcbClx, QStringLiteral("its piece table lies outside its table stream")));
    // (n + 1) character positions, then n piece descriptors of 8 bytes.
    if (plc.size() < 4 || (plc.size() - 4) % 12 != 0)
        throw DamagedContent(QStringLiteral("its piece table has a wrong size"));
    const qint64 pieces = (plc.size() - 4) / 12;
    if (pieces > limits::kMaxTextPieces)
        throw DamagedContent(QStringLiteral("its piece table lists too many pieces"));
    for (const CpRange &story : stories) {
        const qint64 end = story.from + story.length;
        qint64 counted = 0;
        for (qint64 i = 0; i < pieces && counted < story.length; ++i) {
            const qint64 cpStart = fibU32(plc, i * 4);
            const qint64 cpEnd = fibU32(plc, (i + 1) * 4);
            if (cpEnd < cpStart)
                throw DamagedContent(QStringLiteral("its piece table is out of order"));
            if (cpStart >= end)
                break;
            const qint64 from = qMax(cpStart, story.from);
            if (cpEnd <= from)
                continue;
            // Pieces are counted in order and never beyond the story's stated length, however they overlap.
            const qint64 take = qMin(qMin(cpEnd, end) - from, story.length - counted);
            const qint64 pcd = (pieces + 1) * 4 + i * 8;
            const quint32 fcRaw = fibU32(plc, pcd + 2);
            const qint64 skip = from - cpStart;
            if (!f.word97)
                addText(wd, fcRaw + skip, take, f.codePage, sink);
            else if (fcRaw & 0x40000000u)
                addText(wd, (fcRaw & 0x3FFFFFFFu) / 2 + skip, take, 1252, sink); // "compressed": Windows-1252
            else
                addText(wd, (fcRaw & 0x3FFFFFFFu) + 2 * skip, take, 1200, sink);
            counted += take;
        }
    }
}

} // namespace

void countWordBinaryText(const RandomAccessStream &wordDocument, const RandomAccessStream *table0,
                         const RandomAccessStream *table1, TextCounter &counter)
{
    const FibFacts f = readFib(wordDocument);
    std::vector<CpRange> stories{{0, f.ccpText}};
    if (f.textBoxes.length > 0)
        stories.push_back(f.textBoxes);
    if (f.word97) {
        const RandomAccessStream *table = f.table1 ? table1 : table0;
        if (!table || table->size() == 0)
            throw DamagedContent(QStringLiteral("its table stream is missing"));
        // Damaged list tables cost the labels, not the text: the count goes on without them, as it does
        // for the other formats' numbering, and the note says so.
        std::optional<WordBinaryLists> lists;
        if (f.tables.hasLists()) {
            try {
                lists.emplace(wordDocument, *table, f.tables);
            } catch (const DamagedContent &e) {
                noteSkipped(QStringLiteral("its list numbering cannot be read (%1); list numbers are not counted")
                                .arg(e.detail()));
            }
        }
        // Likewise damaged character properties or styles cost the hiding of hidden text, not the count.
        std::optional<WordBinaryHiddenText> hidden;
        try {
            hidden.emplace(wordDocument, *table, f.tables);
        } catch (const DamagedContent &e) {
            noteSkipped(
                QStringLiteral("its character properties cannot be read (%1); hidden text is counted").arg(e.detail()));
        }
        MainTextSink sink(counter, lists ? &*lists : nullptr, hidden && hidden->hidesAny() ? &*hidden : nullptr);
        countPieces(wordDocument, *table, f, stories, sink);
    } else if (f.complex) {
        MainTextSink sink(counter, nullptr);
        countPieces(wordDocument, wordDocument, f, stories, sink); // Word 6 and 95 keep the CLX in the same stream
    } else {
        MainTextSink sink(counter, nullptr);
        for (const CpRange &story : stories)
            addText(wordDocument, f.fcMin + story.from, story.length, f.codePage, sink);
    }
    counter.paragraphMark(); // text after the last paragraph mark (none in a well-formed document)
}

} // namespace word
