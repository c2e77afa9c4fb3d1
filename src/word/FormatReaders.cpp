// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/FormatReaders.h"
#include "word/Errors.h"
#include "word/toolkit/ByteReader.h"
#include <QStringList>
#include <cstring>

namespace word {

namespace {

bool startsWith(const QByteArray &b, const char *magic, qsizetype n, qsizetype at = 0)
{
    return b.size() >= at + n && memcmp(b.constData() + at, magic, static_cast<size_t>(n)) == 0;
}

// The head without a UTF-8 byte order mark and leading blanks.
QByteArray trimmedStart(const QByteArray &head)
{
    qsizetype i = startsWith(head, "\xEF\xBB\xBF", 3) ? 3 : 0;
    while (i < head.size() && (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n'))
        ++i;
    return QByteArray::fromRawData(head.constData() + i, head.size() - i);
}

struct Known {
    const char *magic;
    qsizetype length;
    qsizetype offset;
    const char *format;
    const char *what;
    bool weak = false; // short signatures a text could begin with: only believed for binary content
};

// Formats recognised only to say what a file is when it is not a document.
const Known kKnown[] = {
    {"%PDF", 4, 0, "PDF", "it is a PDF document"},
    {"\xDB\xA5", 2, 0, "WORD2", "it is a Word 2 document, older than the Word 6 to 2003 documents this program reads"},
    {"\x31\xBE\x00\x00", 4, 0, "WRITE",
     "it is a Word for DOS or Windows Write document, a format this program does not read"},
    {"\x32\xBE\x00\x00", 4, 0, "WRITE",
     "it is a Word for DOS or Windows Write document, a format this program does not read"},
    {"\xFFWPC", 4, 0, "WPD", "it is a WordPerfect document"},
    {"\x89PNG\r\n\x1A\n", 8, 0, "PNG", "it is a PNG image"},
    {"\xFF\xD8\xFF", 3, 0, "JPEG", "it is a JPEG image"},
    {"GIF87a", 6, 0, "GIF", "it is a GIF image"},
    {"GIF89a", 6, 0, "GIF", "it is a GIF image"},
    {"II*\0", 4, 0, "TIFF", "it is a TIFF image"},
    {"MM\0*", 4, 0, "TIFF", "it is a TIFF image"},
    {"\x1F\x8B", 2, 0, "GZIP", "it is a gzip-compressed file"},
    {"BZh", 3, 0, "BZIP2", "it is a bzip2-compressed file", true},
    {"\xFD"
     "7zXZ\0",
     6, 0, "XZ", "it is an xz-compressed file"},
    {"7z\xBC\xAF\x27\x1C", 6, 0, "7Z", "it is a 7-Zip archive"},
    {"Rar!\x1A\x07", 6, 0, "RAR", "it is a RAR archive"},
    {"MSCF", 4, 0, "CAB", "it is a cabinet archive", true},
    {"\x7F"
     "ELF",
     4, 0, "ELF", "it is a program (an ELF executable)"},
    {"MZ", 2, 0, "EXE", "it is a Windows program or library", true},
    {"SQLite format 3\0", 16, 0, "SQLITE", "it is an SQLite database"},
    {"ID3", 3, 0, "MP3", "it is an MP3 audio file", true},
    {"OggS", 4, 0, "OGG", "it is an Ogg media file", true},
    {"fLaC", 4, 0, "FLAC", "it is a FLAC audio file", true},
    {"ftyp", 4, 4, "MP4", "it is an MP4/QuickTime media file"},
    {"wOFF", 4, 0, "WOFF", "it is a web font", true},
    {"ITSF", 4, 0, "CHM", "it is a compiled HTML help file", true},
    {"\0\0\1\0", 4, 0, "ICO", "it is an icon file"},
};

// The RIFF container (WAVE, AVI, WEBP).
const char *riffKind(const QByteArray &head)
{
    if (!startsWith(head, "RIFF", 4) || head.size() < 12)
        return nullptr;
    if (startsWith(head, "WAVE", 4, 8))
        return "it is a WAV audio file";
    if (startsWith(head, "AVI ", 4, 8))
        return "it is an AVI video";
    if (startsWith(head, "WEBP", 4, 8))
        return "it is a WebP image";
    return "it is a RIFF media file";
}

bool isWordXml(const QByteArray &head)
{
    const QByteArray t = trimmedStart(head);
    if (!t.startsWith('<'))
        return false;
    const QByteArray probe = t.left(4096);
    return probe.contains("progid=\"Word.Document\"") || probe.contains("progid='Word.Document'")
           || probe.contains("schemas.microsoft.com/office/word/2003/wordml");
}

// Text as a word processor opens it: a UTF-16 text with its byte order mark, or bytes without NULs and
// with no control characters other than blanks, line and page breaks.
bool looksLikeText(const QByteArray &head)
{
    if (startsWith(head, "\xFF\xFE", 2) || startsWith(head, "\xFE\xFF", 2))
        return true;
    for (const char ch : head) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v' && c != 0x1A && c != 0x1B)
            return false;
    }
    return true;
}

QString firstBytesHex(const QByteArray &head)
{
    QStringList bytes;
    for (qsizetype i = 0; i < head.size() && i < 8; ++i)
        bytes << QStringLiteral("%1").arg(static_cast<unsigned char>(head[i]), 2, 16, QLatin1Char('0')).toUpper();
    return bytes.join(QLatin1Char(' '));
}

// What a zip whose directory cannot be read most likely was, from the name of its first part.
QString zipFormatGuess(const QByteArray &head)
{
    if (!startsWith(head, "PK\x03\x04", 4) || head.size() < 30)
        return QStringLiteral("ZIP");
    const int nameLength = ByteReader(head).u16(26);
    const QByteArray name = head.mid(30, nameLength);
    if (name == "mimetype")
        return QStringLiteral("ODT");
    if (name == "[Content_Types].xml" || name.startsWith("_rels/") || name.startsWith("word/")
        || name.startsWith("docProps/"))
        return QStringLiteral("OOXML");
    return QStringLiteral("ZIP");
}

// Whether a head that looks like text is in fact a known format that is not a document; short
// signatures a text could begin with only count for binary content.
const Known *knownNonDocument(const QByteArray &head, bool text)
{
    for (const Known &k : kKnown)
        if ((!k.weak || !text) && startsWith(head, k.magic, k.length, k.offset))
            return &k;
    return nullptr;
}

bool isCompoundFile(const QByteArray &head) { return startsWith(head, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8); }

bool isZip(const QByteArray &head)
{
    return startsWith(head, "PK\x03\x04", 4) || startsWith(head, "PK\x05\x06", 4) || startsWith(head, "PK\x07\x08", 4);
}

bool isRtf(const QByteArray &head) { return trimmedStart(head).startsWith("{\\rtf"); }

// An empty file, or text that is not some other known format.
bool isPlainText(const QByteArray &head)
{
    if (head.isEmpty())
        return true;
    const bool text = looksLikeText(head);
    return text && !knownNonDocument(head, text) && !riffKind(head);
}

QString named(const char *code) { return QLatin1String(code); }

const FormatReader kReaders[] = {
    {isCompoundFile, [](const QByteArray &) { return named("OLE"); }, readOleDocument},
    {isZip, zipFormatGuess, readZipDocument}, // OOXML and ODF text
    {isRtf, [](const QByteArray &) { return named("RTF"); }, readRtfDocument},
    {isWordXml, [](const QByteArray &) { return named("WORDML"); }, readWordXmlDocument},
    {isPlainText, [](const QByteArray &) { return QString(); }, readPlainText},
};

} // namespace

const FormatReader *readerFor(const QByteArray &head)
{
    for (const FormatReader &r : kReaders)
        if (r.recognise(head))
            return &r;
    return nullptr;
}

void refuseUnrecognised(const QString &path, const QByteArray &head)
{
    const bool text = looksLikeText(head);
    if (const Known *k = knownNonDocument(head, text))
        throwUnknownFormat(path, QLatin1String(k->format), QLatin1String(k->what));
    if (const char *riff = riffKind(head))
        throwUnknownFormat(path, QStringLiteral("RIFF"), QLatin1String(riff));
    throwUnknownFormat(path, QStringLiteral("UNKNOWN"),
                       QStringLiteral("its content is not a known document format (it begins with the bytes %1)")
                           .arg(firstBytesHex(head)));
}

} // namespace word
