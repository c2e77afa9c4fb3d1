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
#include "word/ole/WordBinaryHidden.h"
#include "word/ole/WordBinaryLists.h"
#include "word/toolkit/ByteReader.h"
#include "word/toolkit/CodePage.h"
#include "word/toolkit/Limits.h"
#include <array>
#include <map>
#include <optional>
#include <vector>

namespace word {

namespace {

// Reads of the file information block and the piece table: a structure cut short is damage.
quint32 u32(const QByteArray &b, qint64 at)
{
    const ByteReader r(b);
    if (!r.has(at, 4))
        throw DamagedContent(QStringLiteral("its file information block is cut short"));
    return r.u32(at);
}

quint16 u16(const QByteArray &b, qint64 at)
{
    const ByteReader r(b);
    if (!r.has(at, 2))
        throw DamagedContent(QStringLiteral("its file information block is cut short"));
    return r.u16(at);
}

// Bytes of a stream, refused when they lie outside it; `what` names the structure in the refusal.
QByteArray rangeOf(const RandomAccessStream &stream, qint64 offset, qint64 length, const QString &what)
{
    if (offset < 0 || length < 0 || offset > stream.size() || length > stream.size() - offset)
        throw DamagedContent(what);
    return length == 0 ? QByteArray() : stream.read(offset, length);
}

quint32 u32(const RandomAccessStream &s, qint64 at)
{
    return u32(rangeOf(s, at, 4, QStringLiteral("its file information block is cut short")), 0);
}

quint16 u16(const RandomAccessStream &s, qint64 at)
{
    return u16(rangeOf(s, at, 2, QStringLiteral("its file information block is cut short")), 0);
}

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
    void add(QStringView text, qint64 fc, int width)
    {
        if (m_hidden)
            addCharacters<true>(text, fc, width);
        else
            addCharacters<false>(text, fc, width); // most documents: no character looked up
    }

private:
    template <bool kMayHide> void addCharacters(QStringView text, qint64 fc, int width)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
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
    WordBinaryLists::Places lists; // Word 97 and later
    qint64 fcPlcfBteChpx = 0, lcbPlcfBteChpx = 0;
    int codePage = 1252; // of Word 6 and 95's single- or double-byte text
};

// The text box story, from the lengths of the stories before it (footnotes, headers, macros, comments,
// endnotes) that follow ccpText at `at`; none when a length is impossible.
CpRange textBoxStory(const RandomAccessStream &wd, qint64 at)
{
    qint64 from = static_cast<qint32>(u32(wd, at - 4)); // ccpText
    for (int k = 0; k < 5; ++k) {
        const qint64 n = static_cast<qint32>(u32(wd, at + 4 * k));
        if (n < 0 || n > limits::kMaxCountedChars || from < 0 || from > limits::kMaxCountedChars)
            return {};
        from += n;
    }
    const qint64 length = static_cast<qint32>(u32(wd, at + 20));
    if (length <= 0 || length > limits::kMaxCountedChars)
        return {};
    return {from, length};
}

// Word 6 and 95 write their text in the code page of the Windows (or the Mac) they run on; the header
// names only the language of that Word (lid) and whether the text is the Mac's (chse 256). Word 97 and
// later write Unicode or Windows-1252 whatever the language.
int word6CodePage(quint16 lid, quint16 chse)
{
    if (chse == 256)
        return 10000;       // Mac Roman
    switch (lid & 0x03FF) { // the primary language
    case 0x04:              // Chinese: Simplified in China and Singapore, Traditional elsewhere
        return (lid == 0x0804 || lid == 0x1004) ? 936 : 950;
    case 0x11:
        return 932; // Japanese
    case 0x12:
        return 949; // Korean
    case 0x19:
    case 0x22:
    case 0x23:
    case 0x02:
    case 0x2F:
        return 1251; // Russian, Ukrainian, Belarusian, Bulgarian, Macedonian
    case 0x05:
    case 0x15:
    case 0x0E:
    case 0x1B:
    case 0x24:
    case 0x18:
        return 1250; // Czech, Polish, Hungarian, Slovak, Slovenian, Romanian
    case 0x08:
        return 1253; // Greek
    case 0x1F:
        return 1254; // Turkish
    case 0x0D:
        return 1255; // Hebrew
    case 0x01:
        return 1256; // Arabic
    case 0x25:
    case 0x26:
    case 0x27:
        return 1257; // Estonian, Latvian, Lithuanian
    case 0x1E:
        return 874; // Thai
    default:
        return 1252;
    }
}

FibFacts readFib(const RandomAccessStream &wd)
{
    const quint16 ident = u16(wd, 0);
    if (ident != 0xA5EC && ident != 0xA5DC)
        throw DamagedContent(QStringLiteral("its WordDocument stream does not begin with a Word header"));
    const quint16 nFib = u16(wd, 2);
    const quint16 flags = u16(wd, 0x0A);
    if (flags & 0x0100)
        throw DamagedContent(QStringLiteral("its text is encrypted"));
    FibFacts f;
    f.complex = flags & 0x0004;
    f.table1 = flags & 0x0200;
    f.word97 = nFib >= 193;
    if (f.word97) {
        // FibBase (32 bytes), then three counted arrays: 16-bit, 32-bit, and fc/lcb pairs.
        const qint64 csw = u16(wd, 32);
        const qint64 lwAt = 34 + csw * 2;
        const qint64 cslw = u16(wd, lwAt);
        if (cslw < 4)
            throw DamagedContent(QStringLiteral("its file information block has no text length"));
        f.ccpText = static_cast<qint32>(u32(wd, lwAt + 2 + 3 * 4));
        if (cslw >= 10)
            f.textBoxes = textBoxStory(wd, lwAt + 2 + 4 * 4);
        const qint64 pairsAt = lwAt + 2 + cslw * 4;
        const qint64 pairs = u16(wd, pairsAt);
        if (pairs <= 33)
            throw DamagedContent(QStringLiteral("its file information block has no piece table"));
        f.fcClx = u32(wd, pairsAt + 2 + 33 * 8);
        f.lcbClx = u32(wd, pairsAt + 2 + 33 * 8 + 4);
        // The style sheet (pair 1), the character and paragraph property pages (12, 13) and the list tables
        // (73 and 74); a header too short for the list tables comes from a writer that keeps no lists.
        const auto pair = [&](int k, qint64 &fc, qint64 &lcb) {
            if (k < pairs) {
                fc = u32(wd, pairsAt + 2 + k * 8);
                lcb = u32(wd, pairsAt + 2 + k * 8 + 4);
            }
        };
        pair(1, f.lists.fcStshf, f.lists.lcbStshf);
        pair(12, f.fcPlcfBteChpx, f.lcbPlcfBteChpx);
        pair(13, f.lists.fcPlcfBtePapx, f.lists.lcbPlcfBtePapx);
        pair(73, f.lists.fcPlfLst, f.lists.lcbPlfLst);
        pair(74, f.lists.fcPlfLfo, f.lists.lcbPlfLfo);
    } else {
        // Word 6 and 95 (nFib 101 to 105): one fixed block; the fc/lcb pairs begin at 0x58, the CLX is the
        // 34th. Word 2 and older kept no compound file: a lower nFib is another layout, not to be guessed at.
        if (nFib < 101)
            throw DamagedContent(QStringLiteral("its Word header is older than Word 6 (nFib %1)").arg(nFib));
        f.codePage = word6CodePage(u16(wd, 6), u16(wd, 0x14));
        f.fcMin = u32(wd, 0x18);
        f.ccpText = static_cast<qint32>(u32(wd, 0x34));
        f.textBoxes = textBoxStory(wd, 0x38);
        f.fcClx = u32(wd, 0x160);
        f.lcbClx = u32(wd, 0x164);
    }
    if (f.ccpText < 0 || f.ccpText > limits::kMaxCountedChars)
        throw DamagedContent(QStringLiteral("its main text states an impossible length"));
    return f;
}

// Whether `byte` begins a two-byte character in an East Asian code page.
bool isLeadByte(int codePage, unsigned char byte)
{
    if (codePage == 932) // Shift-JIS: single-byte katakana lie between its two lead ranges
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    return (codePage == 936 || codePage == 949 || codePage == 950) && byte >= 0x81 && byte <= 0xFE;
}

// The characters of a single-byte code page other than Windows-1252 (which the decoder handles itself), one
// for each byte value: the decoder fills the table once per code page, and the text, which may be
// megabytes, is then looked up byte by byte instead of passed through the decoder.
const std::array<char16_t, 256> &singleByteTable(int codePage)
{
    thread_local std::map<int, std::array<char16_t, 256>> tables; // the few code pages Word 6 and 95 use
    const auto found = tables.find(codePage);
    if (found != tables.end())
        return found->second;
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const QString c = decodeCodePage(codePage, &byte, 1);
        table[size_t(b)] = c.size() == 1 ? c[0].unicode() : u'\uFFFD';
    }
    return tables.emplace(codePage, table).first->second;
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
        const QByteArray b = wd.read(offset + done * width, n * width);
        const qint64 fc = offset + done * width;
        if (width == 1) {
            // A two-byte character stays whole for the decoder: a chunk never ends on its first byte.
            if (done + n < chars && isLeadByte(codePage, 0x81)) {
                qint64 i = 0;
                while (i < n)
                    i += isLeadByte(codePage, static_cast<unsigned char>(b[i])) ? 2 : 1;
                if (i > n)
                    --n;
            }
            if (codePage == 1252 || isLeadByte(codePage, 0x81)) {
                sink.add(decodeCodePage(codePage, b.constData(), n), fc, 1);
            } else {
                const std::array<char16_t, 256> &table = singleByteTable(codePage);
                decoded.resize(n);
                for (qint64 i = 0; i < n; ++i)
                    decoded[i] = QChar(table[static_cast<unsigned char>(b[i])]);
                sink.add(decoded, fc, 1);
            }
        } else {
            decoded.resize(n);
            for (qint64 i = 0; i < n; ++i)
                decoded[i] = QChar(static_cast<char16_t>(static_cast<unsigned char>(b[2 * i])
                                                         | (static_cast<unsigned char>(b[2 * i + 1]) << 8)));
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
            at += 3 + u16(clx, at + 1);
        } else if (clxt == 2) {
            const qint64 lcb = u32(clx, at + 1);
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
        rangeOf(table, f.fcClx, f.lcbClx, QStringLiteral("its piece table lies outside its table stream")));
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
            const qint64 cpStart = u32(plc, i * 4);
            const qint64 cpEnd = u32(plc, (i + 1) * 4);
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
            const quint32 fcRaw = u32(plc, pcd + 2);
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
        if (f.lists.hasLists()) {
            try {
                lists.emplace(wordDocument, *table, f.lists);
            } catch (const DamagedContent &e) {
                noteSkipped(QStringLiteral("its list numbering cannot be read (%1); list numbers are not counted")
                                .arg(e.detail()));
            }
        }
        // Likewise damaged character properties or styles cost the hiding of hidden text, not the count.
        std::optional<WordBinaryHiddenText> hidden;
        try {
            hidden.emplace(wordDocument, *table,
                           WordBinaryHiddenText::Places{f.lists.fcStshf, f.lists.lcbStshf, f.fcPlcfBteChpx,
                                                        f.lcbPlcfBteChpx, f.lists.fcPlcfBtePapx,
                                                        f.lists.lcbPlcfBtePapx});
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
