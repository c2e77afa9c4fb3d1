// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/ole/PropertySet.h"
#include "word/EngineLog.h"
#include "word/Errors.h"
#include "word/toolkit/ByteReader.h"
#include "word/toolkit/CodePage.h"
#include "word/toolkit/Limits.h"
#include <algorithm>
#include <cstring>
#include <limits>
#include <map>

namespace word {

const std::array<unsigned char, 16> kFmtidSummaryInformation{0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10,
                                                             0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9};
const std::array<unsigned char, 16> kFmtidDocSummaryInformation{0x02, 0xD5, 0xCD, 0xD5, 0x9C, 0x2E, 0x1B, 0x10,
                                                                0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE};
const std::array<unsigned char, 16> kFmtidUserDefined{0x05, 0xD5, 0xCD, 0xD5, 0x9C, 0x2E, 0x1B, 0x10,
                                                      0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE};

namespace {

enum VarType : quint16 {
    VT_I2 = 2,
    VT_I4 = 3,
    VT_BOOL = 11,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_LPSTR = 30,
    VT_LPWSTR = 31,
    VT_FILETIME = 64,
    VT_BLOB = 65,
};

constexpr quint32 kPidDictionary = 0;
constexpr quint32 kPidCodePage = 1;

// A text up to its first NUL.
QString cutAtNul(QString s)
{
    const qsizetype nul = s.indexOf(QChar(0));
    if (nul >= 0)
        s.truncate(nul);
    return s;
}

QString utf16le(const char *p, qint64 bytes)
{
    return cutAtNul(decodeCodePage(1200, p, static_cast<qsizetype>(bytes)));
}

// A text value within the bound every format shares; a longer one marks the property set as damaged.
std::optional<OleValue> boundedText(OleValue v)
{
    if (v.text.size() > limits::kMaxTextValueChars)
        throw DamagedContent(QStringLiteral("its property set holds a value that is too long"));
    return v;
}

// The integer types, each a fixed number of bytes after the type word: one row a type.
constexpr struct {
    quint16 type;
    int bytes;
    bool isSigned;
} kIntegerTypes[] = {
    {VT_I1, 1, true},    {VT_UI1, 1, false}, {VT_I2, 2, true},   {VT_UI2, 2, false},
    {VT_BOOL, 2, false}, {VT_I4, 4, true},   {VT_INT, 4, true},  {VT_UI4, 4, false},
    {VT_UINT, 4, false}, {VT_I8, 8, true},   {VT_UI8, 8, false},
};

// An integer of `bytes` bytes at `o`; nullopt when it does not fit, or (unsigned 8 bytes) exceeds qint64.
std::optional<qint64> readInteger(const ByteReader &s, qint64 o, int bytes, bool isSigned)
{
    if (!s.has(o, bytes))
        return std::nullopt;
    switch (bytes) {
    case 1:
        return isSigned ? qint64(static_cast<signed char>(*s.at(o))) : qint64(static_cast<unsigned char>(*s.at(o)));
    case 2:
        return isSigned ? qint64(static_cast<qint16>(s.u16(o))) : qint64(s.u16(o));
    case 4:
        return isSigned ? qint64(static_cast<qint32>(s.u32(o))) : qint64(s.u32(o));
    default: {
        const quint64 n = s.u64(o);
        if (!isSigned && n > static_cast<quint64>(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return static_cast<qint64>(n);
    }
    }
}

// VT_LPSTR at `o` (its size first), in the section's code page.
std::optional<OleValue> readCodePageString(const ByteReader &s, qint64 o, int codePage, qint64 &examined)
{
    if (!s.has(o, 4))
        return std::nullopt;
    qint64 size = s.u32(o);
    o += 4;
    // Writers disagree on whether a size is counted in bytes or, for UTF-16, in characters; a size that
    // runs past the section is cut to what is there rather than refused.
    if (codePage == 1200) {
        const bool endsInBytes = size >= 2 && s.has(o, size) && s.u16(o + size - 2) == 0;
        if (!endsInBytes && size >= 1 && s.has(o, size * 2) && s.u16(o + size * 2 - 2) == 0)
            size *= 2;
    }
    if (!s.has(o, size))
        size = s.size() - o;
    if (size < 0)
        return std::nullopt;
    OleValue v;
    v.kind = OleValue::Kind::Text;
    if (codePage == 1200) {
        examined += size;
        v.text = utf16le(s.at(o), size);
    } else {
        // Some writers store a size smaller than the text they wrote; the text's own terminating NUL,
        // when it follows within the section, marks its true end.
        const char *p = s.at(o);
        qint64 len = static_cast<qint64>(strnlen(p, static_cast<size_t>(size)));
        examined += len;
        if (len == size) {
            const qint64 room = qMin<qint64>(s.size() - o, limits::kMaxTextValueChars);
            const qint64 longer = static_cast<qint64>(strnlen(p, static_cast<size_t>(room)));
            examined += longer;
            if (longer < room)
                len = longer;
        }
        v.text = decodeCodePage(codePage, p, static_cast<qsizetype>(len));
    }
    return boundedText(std::move(v));
}

// VT_LPWSTR at `o`: its length in characters, then UTF-16.
std::optional<OleValue> readUnicodeString(const ByteReader &s, qint64 o, qint64 &examined)
{
    if (!s.has(o, 4))
        return std::nullopt;
    const qint64 chars = s.u32(o);
    o += 4;
    qint64 bytes = chars * 2;
    if (!s.has(o, bytes))
        bytes = (s.size() - o) & ~qint64(1);
    examined += bytes;
    OleValue v;
    v.kind = OleValue::Kind::Text;
    v.text = utf16le(s.at(o), bytes);
    return boundedText(std::move(v));
}

// Decodes the value at `o` (type word first) within the section span; nullopt when it does not fit or is
// of a type the program has no use for. Adds the bytes it looked at to `examined`.
std::optional<OleValue> decodeValue(const ByteReader &s, qint64 o, int codePage, qint64 &examined)
{
    if (!s.has(o, 4))
        return std::nullopt;
    const quint16 type = s.u16(o);
    o += 4; // type and padding
    for (const auto &t : kIntegerTypes) {
        if (t.type != type)
            continue;
        const std::optional<qint64> n = readInteger(s, o, t.bytes, t.isSigned);
        if (!n)
            return std::nullopt;
        OleValue v;
        v.kind = OleValue::Kind::Integer;
        v.integer = *n;
        return v;
    }
    switch (type) {
    case VT_FILETIME: {
        if (!s.has(o, 8))
            return std::nullopt;
        OleValue v;
        v.kind = OleValue::Kind::FileTime;
        v.fileTime = s.u64(o);
        return v;
    }
    case VT_LPSTR:
        return readCodePageString(s, o, codePage, examined);
    case VT_LPWSTR:
        return readUnicodeString(s, o, examined);
    case VT_BLOB: {
        if (!s.has(o, 4))
            return std::nullopt;
        const qint64 size = s.u32(o);
        o += 4;
        if (!s.has(o, size))
            return std::nullopt;
        OleValue v;
        v.kind = OleValue::Kind::Blob;
        v.blob = QByteArray(s.at(o), static_cast<qsizetype>(size));
        return v;
    }
    default:
        return std::nullopt;
    }
}

// Takes `bytes` from the document's budget; refuses the document once it is spent.
void charge(PropertyBudget &budget, qint64 bytes)
{
    budget.remaining -= bytes;
    if (budget.remaining < 0)
        throw DamagedContent(QStringLiteral("its property sets decode to more than %1 MiB")
                                 .arg(limits::kMaxDecodedPropertyBytes / (1024 * 1024)));
}

qint64 decodedBytes(const OleValue &v) { return v.text.size() * 2 + v.blob.size(); }

void decodeDictionary(const ByteReader &s, qint64 o, int codePage, OleSection &section, PropertyBudget &budget)
{
    if (!s.has(o, 4))
        return;
    const quint32 count = s.u32(o);
    o += 4;
    if (count > static_cast<quint32>(limits::kMaxPropertiesPerSection))
        return;
    for (quint32 k = 0; k < count; ++k) {
        if (!s.has(o, 8))
            return;
        const quint32 id = s.u32(o);
        const quint32 length = s.u32(o + 4);
        o += 8;
        QString name;
        if (codePage == 1200) {
            const qint64 bytes = static_cast<qint64>(length) * 2;
            if (!s.has(o, bytes))
                return;
            name = utf16le(s.at(o), bytes);
            o += bytes;
            o = (o + 3) & ~qint64(3); // entries are aligned to 4 bytes in UTF-16 dictionaries
        } else {
            if (!s.has(o, length))
                return;
            const char *p = s.at(o);
            name = decodeCodePage(codePage, p, static_cast<qsizetype>(strnlen(p, length)));
            o += length;
        }
        charge(budget, name.size() * 2);
        section.dictionary.emplace_back(id, name);
    }
}

} // namespace

const OleValue *OleSection::find(quint32 id) const
{
    for (const OleProperty &p : properties)
        if (p.id == id)
            return &p.value;
    return nullptr;
}

bool OleSection::isNamed(quint32 id) const
{
    for (const auto &entry : dictionary)
        if (entry.first == id)
            return true;
    return false;
}

std::optional<quint32> OleSection::idOfName(const QString &name) const
{
    for (const auto &[id, n] : dictionary)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return id;
    return std::nullopt;
}

namespace {

// The section's code page (property 1) first: strings stored before it in the list still use it.
int codePageOf(const ByteReader &s, quint32 n)
{
    for (quint32 i = 0; i < n; ++i) {
        if (s.u32(8 + i * 8) == kPidCodePage) {
            qint64 examined = 0;
            const auto v = decodeValue(s, s.u32(8 + i * 8 + 4), 1252, examined);
            if (v && v->kind == OleValue::Kind::Integer)
                return static_cast<int>(static_cast<quint16>(v->integer)); // stored as a signed 16-bit value
            return -1;
        }
    }
    return -1;
}

// The properties of one section `s` (its size, count and entry list checked), decoded into `section`.
void decodeSection(const ByteReader &s, OleSection &section, PropertyBudget &budget)
{
    const quint32 n = s.u32(4);
    if (n > static_cast<quint32>(limits::kMaxPropertiesPerSection) || !s.has(8, static_cast<qint64>(n) * 8)) {
        noteSkipped(QStringLiteral("a property-set section claims %1 properties, more than it holds or %2; "
                                   "its values are skipped")
                        .arg(n)
                        .arg(limits::kMaxPropertiesPerSection));
        return;
    }
    const int codePage = codePageOf(s, n);
    section.codePage = codePage;
    section.properties.reserve(n);
    qint64 dictionaryOffset = -1;
    // Entries pointing at one offset share its value (the copies share their text): the value is decoded at
    // the first entry that points there, in the order of the list. Sorting the entries by offset finds each
    // one's first without a table of its own for every value.
    std::vector<std::pair<qint64, quint32>> byOffset; // (offset, entry) of the entries that hold a value
    byOffset.reserve(n);
    for (quint32 i = 0; i < n; ++i) {
        const quint32 id = s.u32(8 + i * 8);
        if (id != kPidDictionary && id != kPidCodePage)
            byOffset.emplace_back(s.u32(8 + i * 8 + 4), i);
    }
    std::sort(byOffset.begin(), byOffset.end());
    std::vector<quint32> firstAtOffset(n);
    for (size_t k = 0; k < byOffset.size(); ++k)
        firstAtOffset[byOffset[k].second] = k > 0 && byOffset[k].first == byOffset[k - 1].first
                                                ? firstAtOffset[byOffset[k - 1].second]
                                                : byOffset[k].second;
    std::vector<qint32> valueOf(n, -1); // the entry's value in section.properties; -1: none
    for (quint32 i = 0; i < n; ++i) {
        const quint32 id = s.u32(8 + i * 8);
        const qint64 offset = s.u32(8 + i * 8 + 4);
        if (id == kPidDictionary) {
            dictionaryOffset = offset;
            continue;
        }
        if (id == kPidCodePage)
            continue;
        if (const quint32 first = firstAtOffset[i]; first != i) {
            if (const qint32 at = valueOf[first]; at >= 0) {
                valueOf[i] = qint32(section.properties.size());
                OleProperty copy{id, section.properties[size_t(at)].value};
                section.properties.push_back(std::move(copy));
            }
            continue;
        }
        qint64 examined = 0;
        auto v = decodeValue(s, offset, codePage, examined);
        charge(budget, examined + (v ? decodedBytes(*v) : 0));
        if (v) {
            valueOf[i] = qint32(section.properties.size());
            section.properties.push_back({id, std::move(*v)});
        }
    }
    if (dictionaryOffset >= 0)
        decodeDictionary(s, dictionaryOffset, codePage, section, budget);
}

} // namespace

std::vector<OleSection> decodePropertySetStream(const QByteArray &stream, PropertyBudget &budget)
{
    std::vector<OleSection> sections;
    const ByteReader all(stream);
    // Header: byte order FFFE, version, system id, class id, section count; then (fmtid, offset) pairs.
    if (!all.has(0, 28) || all.u16(0) != 0xFFFE)
        return sections;
    const quint32 count = all.u32(24);
    if (count == 0 || count > static_cast<quint32>(limits::kMaxSections)) {
        if (count != 0)
            noteSkipped(QStringLiteral("a property set claims %1 sections, more than %2; it is skipped")
                            .arg(count)
                            .arg(limits::kMaxSections));
        return sections;
    }
    // Section records naming a section already decoded share its decoding (by start and size).
    std::map<std::pair<qint64, qint64>, size_t> decodedSections;
    for (quint32 k = 0; k < count; ++k) {
        const qint64 entry = 28 + static_cast<qint64>(k) * 20;
        if (!all.has(entry, 20))
            break;
        OleSection section;
        memcpy(section.fmtid.data(), all.at(entry), 16);
        const qint64 start = all.u32(entry + 16);
        if (!all.has(start, 8))
            continue;
        // The section's own size, cut to the stream when it claims more than there is.
        qint64 size = all.u32(start);
        if (!all.has(start, size))
            size = all.size() - start;
        if (const auto same = decodedSections.find({start, size}); same != decodedSections.end()) {
            OleSection copy = sections[same->second];
            copy.fmtid = section.fmtid;
            sections.push_back(std::move(copy));
            continue;
        }
        const ByteReader s = all.sub(start, size);
        if (!s.has(0, 8))
            continue;
        decodedSections[{start, size}] = sections.size();
        decodeSection(s, section, budget);
        sections.push_back(std::move(section));
    }
    return sections;
}

} // namespace word
