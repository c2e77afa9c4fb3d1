#include "word/Engine.h"
#include "word/Errors.h"
#include "word/Formats.h"
#include "word/InputFile.h"
#include "word/Limits.h"
#include <QStringList>
#include <cstring>
#include <new>

namespace word {

namespace {

constexpr qint64 kHeadBytes = 64 * 1024; // what the sniffing looks at when the file is not read whole

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
    {"\x31\xBE\x00\x00", 4, 0, "WRITE", "it is a Word for DOS or Windows Write document, a format this program does not read"},
    {"\x32\xBE\x00\x00", 4, 0, "WRITE", "it is a Word for DOS or Windows Write document, a format this program does not read"},
    {"\xFFWPC", 4, 0, "WPD", "it is a WordPerfect document"},
    {"\x89PNG\r\n\x1A\n", 8, 0, "PNG", "it is a PNG image"},
    {"\xFF\xD8\xFF", 3, 0, "JPEG", "it is a JPEG image"},
    {"GIF87a", 6, 0, "GIF", "it is a GIF image"},
    {"GIF89a", 6, 0, "GIF", "it is a GIF image"},
    {"II*\0", 4, 0, "TIFF", "it is a TIFF image"},
    {"MM\0*", 4, 0, "TIFF", "it is a TIFF image"},
    {"\x1F\x8B", 2, 0, "GZIP", "it is a gzip-compressed file"},
    {"BZh", 3, 0, "BZIP2", "it is a bzip2-compressed file", true},
    {"\xFD" "7zXZ\0", 6, 0, "XZ", "it is an xz-compressed file"},
    {"7z\xBC\xAF\x27\x1C", 6, 0, "7Z", "it is a 7-Zip archive"},
    {"Rar!\x1A\x07", 6, 0, "RAR", "it is a RAR archive"},
    {"MSCF", 4, 0, "CAB", "it is a cabinet archive", true},
    {"\x7F" "ELF", 4, 0, "ELF", "it is a program (an ELF executable)"},
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
    return probe.contains("progid=\"Word.Document\"") || probe.contains("progid='Word.Document'") ||
           probe.contains("schemas.microsoft.com/office/word/2003/wordml");
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
    const int nameLength = static_cast<unsigned char>(head[26]) | (static_cast<unsigned char>(head[27]) << 8);
    const QByteArray name = head.mid(30, nameLength);
    if (name == "mimetype")
        return QStringLiteral("ODT");
    if (name == "[Content_Types].xml" || name.startsWith("_rels/") || name.startsWith("word/") ||
        name.startsWith("docProps/"))
        return QStringLiteral("OOXML");
    return QStringLiteral("ZIP");
}

} // namespace

std::optional<PropertyValue> DocumentProperties::get(Builtin id) const
{
    const std::optional<PropertyValue> &v = m_data.value(id);
    if (v)
        return v;
    if (builtinInfo(id).kind == BuiltinKind::Text)
        return PropertyValue::text(QString());
    return std::nullopt;
}

PropertyValue DocumentProperties::value(Builtin id) const
{
    if (auto v = get(id))
        return *v;
    throw RuntimeError(err::NoValue, QStringLiteral("The document \"%1\" holds no value for \"%2\".")
                                         .arg(displayPath(m_path), QLatin1String(builtinInfo(id).name)));
}

DocumentProperties readDocumentProperties(const QString &path, const ReadOptions &options)
{
    InputFile file(path);
    const bool whole = file.size() <= limits::kWholeFileReadBytes;
    const FileContent content{file, file.read(0, whole ? file.size() : kHeadBytes), whole, options};
    if (whole && content.head.size() != file.size())
        throwFileAccess(path, QStringLiteral("it changed while it was being read"));
    const QByteArray &head = content.head;

    QString format;
    DocumentData data;
    try {
        if (head.isEmpty()) {
            data = readPlainText(content);
        } else if (startsWith(head, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
            format = QStringLiteral("OLE");
            data = readOleDocument(content);
        } else if (startsWith(head, "PK\x03\x04", 4) || startsWith(head, "PK\x05\x06", 4) ||
                   startsWith(head, "PK\x07\x08", 4)) {
            format = zipFormatGuess(head);
            data = readZipDocument(content);
        } else if (trimmedStart(head).startsWith("{\\rtf")) {
            format = QStringLiteral("RTF");
            data = readRtfDocument(content);
        } else if (isWordXml(head)) {
            format = QStringLiteral("WORDML");
            data = readWordXmlDocument(content);
        } else {
            const bool text = looksLikeText(head);
            for (const Known &k : kKnown)
                if ((!k.weak || !text) && startsWith(head, k.magic, k.length, k.offset))
                    throwUnknownFormat(path, QLatin1String(k.format), QLatin1String(k.what));
            if (const char *riff = riffKind(head))
                throwUnknownFormat(path, QStringLiteral("RIFF"), QLatin1String(riff));
            if (!text)
                throwUnknownFormat(path, QStringLiteral("UNKNOWN"),
                                   QStringLiteral("its content is not a known document format (it begins with the "
                                                  "bytes %1)")
                                       .arg(firstBytesHex(head)));
            data = readPlainText(content);
        }
    } catch (const DamagedContent &e) {
        throwDamaged(path, format, e.detail());
    } catch (const std::bad_alloc &) {
        throwDamaged(path, format, QStringLiteral("it states sizes too large to read"));
    }
    data.setInteger(Builtin::NumberOfBytes, file.size());
    return DocumentProperties(path, std::move(data));
}

} // namespace word
