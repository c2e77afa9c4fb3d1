// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/toolkit/CodePage.h"
#include <QByteArray>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <unordered_map>

namespace word {

namespace {

// Windows-1252 0x80..0x9F (the rest of the page is Latin-1).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

QString decode1252(const char *data, qsizetype size)
{
    QString out(size, Qt::Uninitialized);
    QChar *o = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        o[i] = (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return out;
}

const char *iconvName(int codePage)
{
    switch (codePage) {
    case 10000:
        return "MACINTOSH";
    case 10007:
        return "MAC-CYRILLIC";
    case 20127:
        return "ASCII";
    case 20866:
        return "KOI8-R";
    case 21866:
        return "KOI8-U";
    case 28591:
        return "ISO-8859-1";
    case 28592:
        return "ISO-8859-2";
    case 28595:
        return "ISO-8859-5";
    case 28597:
        return "ISO-8859-7";
    case 28599:
        return "ISO-8859-9";
    case 28605:
        return "ISO-8859-15";
    case 932:
    case 936:
    case 949:
    case 950:
    case 1361:
    case 437:
    case 850:
    case 852:
    case 866:
    case 874:
    case 1250:
    case 1251:
    case 1253:
    case 1254:
    case 1255:
    case 1256:
    case 1257:
    case 1258:
        return nullptr; // "CP<n>"
    default:
        return ""; // unknown: fall back to 1252
    }
}

// One converter per code page and thread (iconv descriptors are not thread-safe), closed at thread exit.
class ConverterCache {
public:
    ~ConverterCache()
    {
        for (auto &[cp, cd] : m_converters)
            if (cd != reinterpret_cast<iconv_t>(-1))
                iconv_close(cd);
    }
    iconv_t get(int codePage)
    {
        auto it = m_converters.find(codePage);
        if (it != m_converters.end())
            return it->second;
        const char *name = iconvName(codePage);
        iconv_t cd = reinterpret_cast<iconv_t>(-1);
        if (name == nullptr) {
            const QByteArray cpName = "CP" + QByteArray::number(codePage);
            cd = iconv_open("UTF-16LE", cpName.constData());
        } else if (*name != '\0') {
            cd = iconv_open("UTF-16LE", name);
        }
        m_converters.emplace(codePage, cd);
        return cd;
    }

private:
    std::unordered_map<int, iconv_t> m_converters;
};

QString decodeIconv(iconv_t cd, const char *data, qsizetype size)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr); // reset the shift state
    // UTF-16 never needs more code units than input bytes, plus room for U+FFFD replacements.
    QString out(size + 1, Qt::Uninitialized);
    char *in = const_cast<char *>(data);
    size_t inLeft = static_cast<size_t>(size);
    char *outStart = reinterpret_cast<char *>(out.data());
    char *o = outStart;
    size_t outLeft = static_cast<size_t>(size + 1) * 2;
    while (inLeft > 0) {
        const size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
        if (r != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            const qsizetype used = (o - outStart) / 2;
            out.resize(out.size() * 2);
            outStart = reinterpret_cast<char *>(out.data());
            o = outStart + used * 2;
            outLeft = static_cast<size_t>(out.size() - used) * 2;
            continue;
        }
        // EILSEQ or EINVAL (a cut multi-byte sequence): one replacement character, skip one byte.
        if (outLeft < 2) {
            const qsizetype used = (o - outStart) / 2;
            out.resize(out.size() + 16);
            outStart = reinterpret_cast<char *>(out.data());
            o = outStart + used * 2;
            outLeft = static_cast<size_t>(out.size() - used) * 2;
        }
        const char16_t repl = 0xFFFD;
        memcpy(o, &repl, 2);
        o += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // Stateful converters (1255 and 1258 combine a letter with a following accent) hold back the last
    // character until they are told the input has ended.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (iconv(cd, nullptr, nullptr, &o, &outLeft) != static_cast<size_t>(-1) || errno != E2BIG)
            break;
        const qsizetype used = (o - outStart) / 2;
        out.resize(out.size() + 16);
        outStart = reinterpret_cast<char *>(out.data());
        o = outStart + used * 2;
        outLeft = static_cast<size_t>(out.size() - used) * 2;
    }
    out.resize((o - outStart) / 2);
    return out;
}

} // namespace

QString decodeCodePage(int codePage, const char *data, qsizetype size)
{
    if (size <= 0)
        return {};
    switch (codePage) {
    case 1200: {
        QString s(size / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < size / 2; ++i)
            s[i] = QChar(static_cast<char16_t>(static_cast<unsigned char>(data[2 * i])
                                               | (static_cast<unsigned char>(data[2 * i + 1]) << 8)));
        return s;
    }
    case 1201: {
        QString s(size / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < size / 2; ++i)
            s[i] = QChar(static_cast<char16_t>((static_cast<unsigned char>(data[2 * i]) << 8)
                                               | static_cast<unsigned char>(data[2 * i + 1])));
        return s;
    }
    case 65001:
        return QString::fromUtf8(data, size);
    case 1252:
        return decode1252(data, size);
    default:
        break;
    }
    thread_local ConverterCache cache;
    iconv_t cd = cache.get(codePage);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return decode1252(data, size);
    return decodeIconv(cd, data, size);
}

bool isAsciiCompatible(int codePage)
{
    switch (codePage) {
    case 437:
    case 737:
    case 775:
    case 850:
    case 852:
    case 855:
    case 857:
    case 858:
    case 860:
    case 861:
    case 862:
    case 863:
    case 865:
    case 866:
    case 869:
    case 874:
    case 932:
    case 936:
    case 949:
    case 950:
    case 1361:
    case 10000:
    case 20127:
    case 20866:
    case 21866:
    case 65001:
        return true;
    default:
        return (codePage >= 1250 && codePage <= 1258) || (codePage >= 28591 && codePage <= 28605);
    }
}

} // namespace word
