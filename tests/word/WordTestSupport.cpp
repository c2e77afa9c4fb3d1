// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "WordTestSupport.h"
#include <QFile>
#include <QStringList>
#include <QTemporaryFile>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>
#include <stdexcept>
#include <zip.h>
#include <zlib.h>

namespace wt {

namespace {

void appendU16(QByteArray &b, uint16_t v)
{
    b.append(static_cast<char>(v & 0xFF));
    b.append(static_cast<char>(v >> 8));
}
void appendU32(QByteArray &b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void appendU64(QByteArray &b, uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void pad4(QByteArray &b)
{
    while (b.size() % 4)
        b.append('\0');
}
QByteArray fromHex(const char *hex) { return QByteArray::fromHex(hex); }

} // namespace

void putU32(QByteArray &b, qint64 offset, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[offset + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &data)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size())
        throw std::runtime_error("cannot write test file");
    return path;
}

// ---------------------------------------------------------------- zip

QByteArray makeZip(const QList<ZipEntry> &entries)
{
    QTemporaryFile tmp;
    if (!tmp.open())
        throw std::runtime_error("no temp file");
    const QByteArray path = QFile::encodeName(tmp.fileName());
    tmp.close();
    int error = 0;
    zip_t *z = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z)
        throw std::runtime_error("zip_open");
    QList<QByteArray> keep; // libzip reads the buffers when the archive is closed
    for (const ZipEntry &e : entries) {
        keep.append(e.data);
        zip_source_t *src =
            zip_source_buffer(z, keep.last().constData(), static_cast<zip_uint64_t>(keep.last().size()), 0);
        const zip_int64_t idx = zip_file_add(z, e.name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
        if (idx < 0)
            throw std::runtime_error("zip_file_add");
        zip_set_file_compression(z, static_cast<zip_uint64_t>(idx), e.store ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    }
    if (zip_close(z) != 0)
        throw std::runtime_error("zip_close");
    QFile f(tmp.fileName());
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

QByteArray rawDeflate(const QByteArray &data)
{
    z_stream s{};
    deflateInit2(&s, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(static_cast<qsizetype>(deflateBound(&s, static_cast<uLong>(data.size()))) + 16, '\0');
    s.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = reinterpret_cast<Bytef *>(out.data());
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.truncate(static_cast<qsizetype>(s.total_out));
    deflateEnd(&s);
    return out;
}

uint32_t crc32Of(const QByteArray &data)
{
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef *>(data.constData()), static_cast<uInt>(data.size())));
}

QByteArray deflatedZeros(uint64_t bytes, uint32_t &crc)
{
    constexpr qsizetype kChunk = 1 << 20;
    const QByteArray zeros(kChunk, '\0');
    // One chunk, flushed so that it stands alone: the same bytes can follow each other any number of times.
    z_stream s{};
    deflateInit2(&s, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    QByteArray block(kChunk, '\0');
    s.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.constData()));
    s.avail_in = static_cast<uInt>(zeros.size());
    s.next_out = reinterpret_cast<Bytef *>(block.data());
    s.avail_out = static_cast<uInt>(block.size());
    deflate(&s, Z_FULL_FLUSH);
    block.truncate(static_cast<qsizetype>(s.total_out));
    deflateEnd(&s);
    const uint64_t chunks = bytes / kChunk;
    QByteArray out;
    out.reserve(static_cast<qsizetype>(block.size() * chunks + 8));
    const uLong chunkCrc = crc32(0, reinterpret_cast<const Bytef *>(zeros.constData()), static_cast<uInt>(kChunk));
    uLong total = 0;
    for (uint64_t i = 0; i < chunks; ++i) {
        out.append(block);
        total = crc32_combine(total, chunkCrc, kChunk);
    }
    out.append("\x03\x00", 2); // a final, empty block
    crc = static_cast<uint32_t>(total);
    return out;
}

QByteArray makeRawZip(const QList<RawZipEntry> &entries)
{
    QByteArray file, central;
    for (const RawZipEntry &e : entries) {
        const uint32_t offset = static_cast<uint32_t>(file.size());
        const uint32_t stated = e.statedSize > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(e.statedSize);
        appendU32(file, 0x04034b50);
        appendU16(file, 20);
        appendU16(file, 0);
        appendU16(file, e.method);
        appendU16(file, 0);
        appendU16(file, 0x21);
        appendU32(file, e.crc);
        appendU32(file, static_cast<uint32_t>(e.compressed.size()));
        appendU32(file, stated);
        appendU16(file, static_cast<uint16_t>(e.name.size()));
        appendU16(file, 0);
        file.append(e.name);
        file.append(e.compressed);

        appendU32(central, 0x02014b50);
        appendU16(central, 20);
        appendU16(central, 20);
        appendU16(central, 0);
        appendU16(central, e.method);
        appendU16(central, 0);
        appendU16(central, 0x21);
        appendU32(central, e.crc);
        appendU32(central, static_cast<uint32_t>(e.compressed.size()));
        appendU32(central, stated);
        appendU16(central, static_cast<uint16_t>(e.name.size()));
        appendU16(central, 0);
        appendU16(central, 0);
        appendU16(central, 0);
        appendU16(central, 0);
        appendU32(central, 0);
        appendU32(central, offset);
        central.append(e.name);
    }
    const uint32_t cdOffset = static_cast<uint32_t>(file.size());
    file.append(central);
    appendU32(file, 0x06054b50);
    appendU16(file, 0);
    appendU16(file, 0);
    appendU16(file, static_cast<uint16_t>(entries.size()));
    appendU16(file, static_cast<uint16_t>(entries.size()));
    appendU32(file, static_cast<uint32_t>(central.size()));
    appendU32(file, cdOffset);
    appendU16(file, 0);
    return file;
}

// ---------------------------------------------------------------- OOXML and ODF

QByteArray coreXml(const QList<QPair<QString, QString>> &elements)
{
    QByteArray x =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
        "xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">";
    for (const auto &[name, value] : elements) {
        const bool date = name.startsWith(QLatin1String("dcterms:"));
        x += "<" + name.toUtf8() + (date ? " xsi:type=\"dcterms:W3CDTF\"" : "") + ">" + value.toHtmlEscaped().toUtf8()
             + "</" + name.toUtf8() + ">";
    }
    x += "</cp:coreProperties>";
    return x;
}

QByteArray appXml(const QList<QPair<QString, QString>> &elements)
{
    QByteArray x = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                   "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
                   "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">";
    for (const auto &[name, value] : elements)
        x += "<" + name.toUtf8() + ">" + value.toHtmlEscaped().toUtf8() + "</" + name.toUtf8() + ">";
    x += "</Properties>";
    return x;
}

QByteArray packageRels(bool withCore, bool withApp, const DocxParts &p)
{
    QByteArray rels = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    rels += "<Relationship Id=\"rId1\" Type=\"" + p.officeDocRelType.toUtf8() + "\" Target=\"" + p.mainPart.toUtf8()
            + "\"/>";
    if (withCore)
        rels += "<Relationship Id=\"rId2\" Type=\"" + p.coreRelType.toUtf8() + "\" Target=\"" + p.corePath.toUtf8()
                + "\"/>";
    if (withApp)
        rels += "<Relationship Id=\"rId3\" Type=\"" + p.appRelType.toUtf8() + "\" Target=\"docProps/app.xml\"/>";
    return rels + "</Relationships>";
}

QByteArray makeDocx(const DocxParts &p)
{
    const QByteArray rels = packageRels(!p.core.isEmpty(), !p.app.isEmpty(), p);
    const QByteArray types =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/"
        + p.mainPart.toUtf8() + "\" ContentType=\"" + p.mainContentType.toUtf8()
        + "\"/>"
          "<Override PartName=\"/docProps/core.xml\" "
          "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
          "<Override PartName=\"/docProps/app.xml\" "
          "ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>"
          "</Types>";
    QList<ZipEntry> entries{
        {QStringLiteral("[Content_Types].xml"), types},
        {QStringLiteral("_rels/.rels"), rels},
        {p.mainPart,
         !p.document.isEmpty()
             ? p.document
             : QByteArray(
                 "<w:document "
                 "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body/></w:document>")}};
    if (!p.core.isEmpty())
        entries.append({p.corePath, p.core});
    if (!p.app.isEmpty())
        entries.append({QStringLiteral("docProps/app.xml"), p.app});
    return makeZip(entries);
}

QByteArray wordDocumentXml(const QByteArray &body)
{
    return "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
           "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\"><w:body>"
           + body + "</w:body></w:document>";
}

QByteArray odtContentXml(const QByteArray &text)
{
    return "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:text>"
           + text + "</office:text></office:body></office:document-content>";
}

QByteArray makeOdt(const QByteArray &metaXml, const QString &mimeType, const QByteArray &contentXml)
{
    QList<ZipEntry> entries{
        {QStringLiteral("mimetype"), mimeType.toUtf8(), true},
        {QStringLiteral("content.xml"), contentXml.isEmpty() ? QByteArray("<office:document-content/>") : contentXml}};
    if (!metaXml.isEmpty())
        entries.append({QStringLiteral("meta.xml"), metaXml});
    entries.append({QStringLiteral("META-INF/manifest.xml"), "<manifest:manifest/>"});
    return makeZip(entries);
}

// ---------------------------------------------------------------- property sets

QByteArray fmtidSummary() { return fromHex("E0859FF2F94F6810AB9108002B27B3D9"); }
QByteArray fmtidDocSummary() { return fromHex("02D5CDD59C2E1B10939708002B2CF9AE"); }
QByteArray fmtidUserDefined() { return fromHex("05D5CDD59C2E1B10939708002B2CF9AE"); }

uint64_t fileTimeOf(const QDateTime &utc)
{
    return static_cast<uint64_t>(utc.toMSecsSinceEpoch() + 11644473600000ll) * 10000ull;
}

PropertySection::PropertySection(QByteArray fmtid, int codePage) : m_fmtid(std::move(fmtid)), m_codePage(codePage)
{
    if (codePage >= 0) {
        QByteArray v;
        appendU16(v, 2);
        appendU16(v, 0);
        appendU16(v, static_cast<uint16_t>(static_cast<int16_t>(codePage > 32767 ? codePage - 65536 : codePage)));
        appendU16(v, 0);
        m_values.append({1, v});
    }
}

QByteArray PropertySection::encode(const QString &text) const
{
    switch (m_codePage) {
    case 1200: {
        QByteArray b;
        for (const QChar c : text)
            appendU16(b, c.unicode());
        appendU16(b, 0);
        return b;
    }
    case 65001:
        return text.toUtf8() + QByteArray(1, '\0');
    default:
        return text.toLatin1() + QByteArray(1, '\0'); // tests give other code pages bytes through rawString
    }
}

PropertySection &PropertySection::string(uint32_t pid, const QString &text)
{
    const QByteArray bytes = encode(text);
    return rawString(pid, bytes, static_cast<uint32_t>(bytes.size()));
}

PropertySection &PropertySection::rawString(uint32_t pid, const QByteArray &bytes, uint32_t statedSize)
{
    QByteArray v;
    appendU16(v, 30);
    appendU16(v, 0);
    appendU32(v, statedSize);
    v.append(bytes);
    pad4(v);
    m_values.append({pid, v});
    return *this;
}

PropertySection &PropertySection::wideString(uint32_t pid, const QString &text)
{
    QByteArray v;
    appendU16(v, 31);
    appendU16(v, 0);
    appendU32(v, static_cast<uint32_t>(text.size() + 1));
    for (const QChar c : text)
        appendU16(v, c.unicode());
    appendU16(v, 0);
    pad4(v);
    m_values.append({pid, v});
    return *this;
}

PropertySection &PropertySection::int32(uint32_t pid, int32_t n)
{
    QByteArray v;
    appendU16(v, 3);
    appendU16(v, 0);
    appendU32(v, static_cast<uint32_t>(n));
    m_values.append({pid, v});
    return *this;
}

PropertySection &PropertySection::int16(uint32_t pid, int16_t n)
{
    QByteArray v;
    appendU16(v, 2);
    appendU16(v, 0);
    appendU16(v, static_cast<uint16_t>(n));
    appendU16(v, 0);
    m_values.append({pid, v});
    return *this;
}

PropertySection &PropertySection::fileTime(uint32_t pid, uint64_t ticks)
{
    QByteArray v;
    appendU16(v, 64);
    appendU16(v, 0);
    appendU64(v, ticks);
    m_values.append({pid, v});
    return *this;
}

PropertySection &PropertySection::blob(uint32_t pid, const QByteArray &bytes)
{
    QByteArray v;
    appendU16(v, 65);
    appendU16(v, 0);
    appendU32(v, static_cast<uint32_t>(bytes.size()));
    v.append(bytes);
    pad4(v);
    m_values.append({pid, v});
    return *this;
}

PropertySection &PropertySection::dictionary(const QList<QPair<uint32_t, QString>> &names)
{
    QByteArray v;
    appendU32(v, static_cast<uint32_t>(names.size()));
    for (const auto &[id, name] : names) {
        appendU32(v, id);
        if (m_codePage == 1200) {
            appendU32(v, static_cast<uint32_t>(name.size() + 1));
            for (const QChar c : name)
                appendU16(v, c.unicode());
            appendU16(v, 0);
            pad4(v);
        } else {
            const QByteArray b = name.toLatin1() + QByteArray(1, '\0');
            appendU32(v, static_cast<uint32_t>(b.size()));
            v.append(b);
        }
    }
    pad4(v);
    m_values.append({0, v});
    return *this;
}

PropertySection &PropertySection::raw(uint32_t pid, const QByteArray &typedValue)
{
    QByteArray v = typedValue;
    pad4(v);
    m_values.append({pid, v});
    return *this;
}

QByteArray PropertySection::build() const
{
    QByteArray body;
    QByteArray table;
    const uint32_t headerSize = 8 + 8 * static_cast<uint32_t>(m_values.size());
    for (const auto &[pid, value] : m_values) {
        appendU32(table, pid);
        appendU32(table, headerSize + static_cast<uint32_t>(body.size()));
        body.append(value);
    }
    QByteArray s;
    appendU32(s, headerSize + static_cast<uint32_t>(body.size()));
    appendU32(s, static_cast<uint32_t>(m_values.size()));
    s.append(table);
    s.append(body);
    return s;
}

QByteArray propertySetStream(const QList<PropertySection> &sections)
{
    QByteArray s;
    appendU16(s, 0xFFFE);
    appendU16(s, 0);
    appendU32(s, 0x00020006);
    s.append(QByteArray(16, '\0'));
    appendU32(s, static_cast<uint32_t>(sections.size()));
    QList<QByteArray> built;
    for (const PropertySection &sec : sections)
        built.append(sec.build());
    uint32_t offset = 28 + 20 * static_cast<uint32_t>(sections.size());
    for (int i = 0; i < sections.size(); ++i) {
        s.append(sections[i].fmtid());
        appendU32(s, offset);
        offset += static_cast<uint32_t>(built[i].size());
    }
    for (const QByteArray &b : built)
        s.append(b);
    return s;
}

// ---------------------------------------------------------------- compound files

QByteArray makeOle(const QList<QPair<QString, QByteArray>> &streams)
{
    gsf_init();
    GsfOutput *mem = gsf_output_memory_new();
    GsfOutfile *ole = gsf_outfile_msole_new(mem);
    // "Storage/Stream" names a stream inside a storage (an embedded object's, say).
    QList<QPair<QString, GsfOutfile *>> storages;
    for (const auto &[name, data] : streams) {
        GsfOutfile *parent = ole;
        const QStringList parts = name.split(QLatin1Char('/'));
        for (int i = 0; i + 1 < parts.size(); ++i) {
            GsfOutfile *found = nullptr;
            for (const auto &s : storages)
                if (s.first == parts[i])
                    found = s.second;
            if (!found) {
                found = GSF_OUTFILE(gsf_outfile_new_child(parent, parts[i].toUtf8().constData(), TRUE));
                storages.append({parts[i], found});
            }
            parent = found;
        }
        GsfOutput *child = gsf_outfile_new_child(parent, parts.last().toUtf8().constData(), FALSE);
        gsf_output_write(child, static_cast<size_t>(data.size()), reinterpret_cast<const guint8 *>(data.constData()));
        gsf_output_close(child);
        g_object_unref(child);
    }
    for (auto it = storages.rbegin(); it != storages.rend(); ++it) {
        gsf_output_close(GSF_OUTPUT(it->second));
        g_object_unref(it->second);
    }
    gsf_output_close(GSF_OUTPUT(ole));
    g_object_unref(ole);
    const QByteArray bytes(reinterpret_cast<const char *>(gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(mem))),
                           static_cast<qsizetype>(gsf_output_size(mem)));
    g_object_unref(mem);
    return bytes;
}

qint64 cfbSectorOffset(int sector) { return 512 + static_cast<qint64>(sector) * 512; }
qint64 cfbFatEntryOffset(const RawCfbLayout &l, int sector) { return cfbSectorOffset(l.fatSector) + sector * 4; }
qint64 cfbDirectoryEntryOffset(const RawCfbLayout &l, int entry)
{
    return cfbSectorOffset(l.directorySector) + entry * 128;
}

QByteArray makeRawCfb(const QList<QPair<QString, QByteArray>> &streams, RawCfbLayout *layoutOut)
{
    constexpr uint32_t kFree = 0xFFFFFFFF, kEnd = 0xFFFFFFFE, kFatSect = 0xFFFFFFFD;
    RawCfbLayout layout;
    // Sector 0: the FAT; sector 1: the directory (root + up to 3 streams); then the streams.
    if (streams.size() > 3)
        throw std::runtime_error("raw CFB holds at most three streams");
    QList<QByteArray> padded;
    int next = 2;
    for (const auto &s : streams) {
        QByteArray d = s.second;
        if (d.size() < 4096)
            d.append(QByteArray(4096 - d.size(), '\0'));
        while (d.size() % 512)
            d.append('\0');
        padded.append(d);
        layout.streamFirstSector.append(next);
        layout.streamSectorCount.append(static_cast<int>(d.size() / 512));
        next += static_cast<int>(d.size() / 512);
    }
    if (next > 128)
        throw std::runtime_error("raw CFB too large for one FAT sector");

    QByteArray header;
    header.append(fromHex("D0CF11E0A1B11AE1"));
    header.append(QByteArray(16, '\0'));
    appendU16(header, 0x3E);
    appendU16(header, 3);
    appendU16(header, 0xFFFE);
    appendU16(header, 9);
    appendU16(header, 6);
    header.append(QByteArray(6, '\0'));
    appendU32(header, 0);    // directory sectors (v3: 0)
    appendU32(header, 1);    // FAT sectors
    appendU32(header, 1);    // first directory sector
    appendU32(header, 0);    // transaction
    appendU32(header, 4096); // mini stream cutoff
    appendU32(header, kEnd); // first mini FAT sector
    appendU32(header, 0);    // mini FAT sectors
    appendU32(header, kEnd); // first DIFAT sector
    appendU32(header, 0);    // DIFAT sectors
    appendU32(header, 0);    // DIFAT[0] = the FAT in sector 0
    for (int i = 1; i < 109; ++i)
        appendU32(header, kFree);

    QByteArray fat;
    for (int s = 0; s < 128; ++s) {
        uint32_t v = kFree;
        if (s == 0)
            v = kFatSect;
        else if (s == 1)
            v = kEnd;
        else
            for (int k = 0; k < padded.size(); ++k) {
                const int first = layout.streamFirstSector[k], count = layout.streamSectorCount[k];
                if (s >= first && s < first + count)
                    v = (s == first + count - 1) ? kEnd : static_cast<uint32_t>(s + 1);
            }
        appendU32(fat, v);
    }

    auto dirEntry = [&](const QString &name, uint8_t type, uint32_t left, uint32_t right, uint32_t child,
                        uint32_t start, uint32_t size) {
        QByteArray e;
        for (const QChar c : name)
            appendU16(e, c.unicode());
        appendU16(e, 0);
        e.append(QByteArray(64 - e.size(), '\0'));
        appendU16(e, static_cast<uint16_t>((name.size() + 1) * 2));
        e.append(static_cast<char>(type));
        e.append(static_cast<char>(1)); // black
        appendU32(e, left);
        appendU32(e, right);
        appendU32(e, child);
        e.append(QByteArray(16 + 4 + 8 + 8, '\0'));
        appendU32(e, start);
        appendU32(e, size);
        appendU32(e, 0);
        return e;
    };
    QByteArray dir;
    dir.append(dirEntry(QStringLiteral("Root Entry"), 5, kFree, kFree, streams.isEmpty() ? kFree : 1, kEnd, 0));
    for (int k = 0; k < streams.size(); ++k)
        dir.append(dirEntry(streams[k].first, 2, kFree, k + 1 < streams.size() ? static_cast<uint32_t>(k + 2) : kFree,
                            kFree, static_cast<uint32_t>(layout.streamFirstSector[k]),
                            static_cast<uint32_t>(padded[k].size())));
    while (dir.size() < 512)
        dir.append(dirEntry(QString(), 0, kFree, kFree, kFree, kEnd, 0));

    QByteArray file = header;
    file.append(fat);
    file.append(dir);
    for (const QByteArray &d : padded)
        file.append(d);
    if (layoutOut)
        *layoutOut = layout;
    return file;
}

QByteArray makeCfbDirectory(const QList<CfbEntry> &entries)
{
    constexpr uint32_t kFree = 0xFFFFFFFF, kEnd = 0xFFFFFFFE, kFatSect = 0xFFFFFFFD;
    const int dirSectors = static_cast<int>((entries.size() + 3) / 4);
    QList<QByteArray> data;
    int dataSectors = 0;
    for (const CfbEntry &e : entries) {
        QByteArray d = e.data;
        if (!d.isEmpty() && d.size() < 4096)
            d.append(QByteArray(4096 - d.size(), '\0'));
        while (d.size() % 512)
            d.append('\0');
        data.append(d);
        dataSectors += static_cast<int>(d.size() / 512);
    }
    int fatSectors = 1;
    while (fatSectors * 128 < fatSectors + dirSectors + dataSectors)
        ++fatSectors;
    if (fatSectors > 109)
        throw std::runtime_error("directory too large for the header's FAT slots");
    const int total = fatSectors + dirSectors + dataSectors;

    QByteArray file;
    file.append(fromHex("D0CF11E0A1B11AE1"));
    file.append(QByteArray(16, '\0'));
    appendU16(file, 0x3E);
    appendU16(file, 3);
    appendU16(file, 0xFFFE);
    appendU16(file, 9);
    appendU16(file, 6);
    file.append(QByteArray(6, '\0'));
    appendU32(file, 0);
    appendU32(file, static_cast<uint32_t>(fatSectors));
    appendU32(file, static_cast<uint32_t>(fatSectors)); // the directory follows the FAT
    appendU32(file, 0);
    appendU32(file, 4096);
    appendU32(file, kEnd);
    appendU32(file, 0);
    appendU32(file, kEnd);
    appendU32(file, 0);
    for (int i = 0; i < 109; ++i)
        appendU32(file, i < fatSectors ? static_cast<uint32_t>(i) : kFree);

    QList<uint32_t> fat(fatSectors * 128, kFree);
    for (int s = 0; s < fatSectors; ++s)
        fat[s] = kFatSect;
    auto chain = [&](int first, int count) {
        for (int k = 0; k < count; ++k)
            fat[first + k] = k + 1 < count ? static_cast<uint32_t>(first + k + 1) : kEnd;
    };
    chain(fatSectors, dirSectors);
    QByteArray dir;
    int next = fatSectors + dirSectors;
    for (int k = 0; k < entries.size(); ++k) {
        const CfbEntry &e = entries[k];
        const int sectors = static_cast<int>(data[k].size() / 512);
        QByteArray b;
        for (const QChar c : e.name.left(31))
            appendU16(b, c.unicode());
        appendU16(b, 0);
        b.append(QByteArray(64 - b.size(), '\0'));
        appendU16(b, static_cast<uint16_t>((qMin<qsizetype>(e.name.size(), 31) + 1) * 2));
        b.append(static_cast<char>(e.type));
        b.append(static_cast<char>(1));
        appendU32(b, e.left);
        appendU32(b, e.right);
        appendU32(b, e.child);
        b.append(QByteArray(16 + 4 + 16, '\0'));
        appendU32(b, sectors ? static_cast<uint32_t>(next) : kEnd);
        appendU32(b, static_cast<uint32_t>(data[k].size()));
        appendU32(b, 0);
        dir.append(b);
        if (sectors)
            chain(next, sectors);
        next += sectors;
    }
    while (dir.size() < dirSectors * 512) {
        QByteArray unused(64 + 2 + 2, '\0');
        appendU32(unused, kFree);
        appendU32(unused, kFree);
        appendU32(unused, kFree);
        unused.append(QByteArray(128 - unused.size(), '\0'));
        dir.append(unused);
    }
    for (const uint32_t v : fat)
        appendU32(file, v);
    file.append(dir);
    for (const QByteArray &d : data)
        file.append(d);
    Q_ASSERT(file.size() == 512 + static_cast<qsizetype>(total) * 512);
    return file;
}

namespace {

// Links entries `ids` (in name order) of `e` as a balanced binary tree; returns the index of its root.
uint32_t balance(QList<CfbEntry> &e, const QList<int> &ids)
{
    constexpr uint32_t kNone = 0xFFFFFFFF;
    if (ids.isEmpty())
        return kNone;
    auto mid = [](int lo, int hi) { return lo + (hi - lo) / 2; };
    QList<QPair<int, int>> ranges{{0, static_cast<int>(ids.size()) - 1}};
    while (!ranges.isEmpty()) {
        const auto [lo, hi] = ranges.takeLast();
        const int m = mid(lo, hi);
        if (lo < m) {
            e[ids[m]].left = static_cast<uint32_t>(ids[mid(lo, m - 1)]);
            ranges.append({lo, m - 1});
        }
        if (m < hi) {
            e[ids[m]].right = static_cast<uint32_t>(ids[mid(m + 1, hi)]);
            ranges.append({m + 1, hi});
        }
    }
    return static_cast<uint32_t>(ids[mid(0, static_cast<int>(ids.size()) - 1)]);
}

} // namespace

QByteArray wordBinaryWithDirectory(DirectoryShape shape, int extra)
{
    constexpr uint32_t kNone = 0xFFFFFFFF;
    PropertySection summary(fmtidSummary(), 1252);
    summary.string(2, QStringLiteral("Title")).string(4, QStringLiteral("Author")).int32(14, 2);
    QList<CfbEntry> e;
    e.append({QStringLiteral("Root Entry"), 5, kNone, kNone, 1, {}});
    e.append({QStringLiteral("WordDocument"), 2, kNone, kNone, kNone, QByteArray(600, '\0')});
    e.append({QStringLiteral("\x05SummaryInformation"), 2, kNone, kNone, kNone, propertySetStream({summary})});
    QList<int> rootChildren{1, 2};
    switch (shape) {
    case DirectoryShape::SiblingChain:
    case DirectoryShape::BalancedSiblings:
        for (int k = 0; k < extra; ++k) {
            e.append({QStringLiteral("s%1").arg(k, 6, 10, QLatin1Char('0')), 2, kNone, kNone, kNone, {}});
            rootChildren << static_cast<int>(e.size()) - 1;
        }
        if (shape == DirectoryShape::SiblingChain) {
            for (qsizetype k = 0; k + 1 < rootChildren.size(); ++k)
                e[rootChildren[k]].right = static_cast<uint32_t>(rootChildren[k + 1]);
            return makeCfbDirectory(e);
        }
        break;
    case DirectoryShape::NestedStorages:
        for (int k = 0; k < extra; ++k) {
            e.append({QStringLiteral("d%1").arg(k), 1, kNone, kNone, kNone, {}});
            if (k == 0)
                rootChildren << static_cast<int>(e.size()) - 1;
            else
                e[e.size() - 2].child = static_cast<uint32_t>(e.size() - 1);
        }
        break;
    case DirectoryShape::StoragesOf4000:
        for (int k = 0; k < extra; k += 4000) {
            e.append({QStringLiteral("d%1").arg(k, 6, 10, QLatin1Char('0')), 1, kNone, kNone, kNone, {}});
            const int storage = static_cast<int>(e.size()) - 1;
            rootChildren << storage;
            QList<int> streams;
            for (int j = k; j < qMin(extra, k + 4000); ++j) {
                e.append({QStringLiteral("s%1").arg(j, 6, 10, QLatin1Char('0')), 2, kNone, kNone, kNone, {}});
                streams << static_cast<int>(e.size()) - 1;
            }
            e[storage].child = balance(e, streams);
        }
        break;
    }
    e[0].child = balance(e, rootChildren);
    return makeCfbDirectory(e);
}

QByteArray propertySetPointingInto(int codePage, const QList<QPair<uint32_t, uint32_t>> &entries,
                                   const QByteArray &area, int records)
{
    const uint32_t listEnd = 8 + 8 * static_cast<uint32_t>(entries.size() + 1);
    QByteArray section;
    appendU32(section, 0); // the size, set below
    appendU32(section, static_cast<uint32_t>(entries.size() + 1));
    appendU32(section, 1);
    appendU32(section, listEnd);
    for (const auto &[pid, offset] : entries) {
        appendU32(section, pid);
        appendU32(section, listEnd + 8 + offset);
    }
    appendU16(section, 2); // VT_I2
    appendU16(section, 0);
    appendU16(section, static_cast<uint16_t>(codePage));
    appendU16(section, 0);
    section += area;
    putU32(section, 0, static_cast<uint32_t>(section.size()));
    QByteArray stream;
    appendU16(stream, 0xFFFE);
    appendU16(stream, 0);
    appendU32(stream, 0x00020006);
    stream += QByteArray(16, '\0');
    appendU32(stream, static_cast<uint32_t>(records));
    for (int r = 0; r < records; ++r) {
        stream += fmtidSummary();
        appendU32(stream, static_cast<uint32_t>(28 + 20 * records));
    }
    return stream + section;
}

QByteArray makeWordBinary(const QByteArray &summary, const QByteArray &docSummary, const QString &summaryName,
                          const QString &docSummaryName)
{
    QList<QPair<QString, QByteArray>> streams{{QStringLiteral("WordDocument"), QByteArray(600, '\0')}};
    if (!summary.isEmpty())
        streams.append({summaryName, summary});
    if (!docSummary.isEmpty())
        streams.append({docSummaryName, docSummary});
    return makeOle(streams);
}

} // namespace wt

namespace wt {

// ---------------------------------------------------------------- a sparse compound file

namespace {

void putU16At(QByteArray &b, qint64 at, uint16_t v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}

// A Word 97 header with a piece table of one compressed piece holding `text`, which is the main text.
QByteArray wordHeadWithText(const QByteArray &text)
{
    QByteArray head(4096, '\0');
    putU16At(head, 0, 0xA5EC);
    putU16At(head, 2, 0x00C1);
    putU16At(head, 0x0A, 0x0200 | 0x0004); // 1Table, complex
    putU16At(head, 32, 14);                // csw
    putU16At(head, 62, 22);                // cslw
    putU32(head, 76, static_cast<uint32_t>(text.size()));
    putU16At(head, 152, 93); // cbRgFcLcb
    constexpr qint64 kClxAt = 1024, kTextAt = 2048;
    QByteArray clx("\x02", 1);
    QByteArray plc(4 + 4 + 8, '\0');
    putU32(plc, 4, static_cast<uint32_t>(text.size()));
    putU32(plc, 10, static_cast<uint32_t>(kTextAt * 2) | 0x40000000u);
    QByteArray lcb(4, '\0');
    putU32(lcb, 0, static_cast<uint32_t>(plc.size()));
    clx += lcb + plc;
    head.replace(kClxAt, clx.size(), clx);
    head.replace(kTextAt, text.size(), text);
    putU32(head, 154 + 33 * 8, kClxAt);
    putU32(head, 154 + 33 * 8 + 4, static_cast<uint32_t>(clx.size()));
    return head;
}

} // namespace

void writeSparseWordBinary(const QString &path, qint64 bytes, const QByteArray &text)
{
    constexpr uint32_t kFree = 0xFFFFFFFF, kEnd = 0xFFFFFFFE, kFatSect = 0xFFFFFFFD, kDifSect = 0xFFFFFFFC;
    constexpr qint64 kSector = 4096, kPerSector = kSector / 4;
    const qint64 data = qMax<qint64>(1, bytes / kSector);
    // Sectors: the FAT, then one DIFAT sector when the header's 109 slots are not enough, the directory,
    // then the data that all three streams share.
    qint64 fatSectors = 1;
    while (fatSectors * kPerSector < fatSectors + 2 + data)
        ++fatSectors;
    if (fatSectors > 109 + kPerSector - 1)
        throw std::runtime_error("sparse compound file too large");
    const qint64 difat = fatSectors, directory = fatSectors + 1, first = fatSectors + 2;

    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write test file");
    auto writeAt = [&](qint64 sector, const QByteArray &b) {
        if (!f.seek((sector + 1) * kSector) || f.write(b) != b.size())
            throw std::runtime_error("cannot write test file");
    };
    QByteArray header(static_cast<qsizetype>(kSector), '\0');
    header.replace(0, 8, fromHex("D0CF11E0A1B11AE1"));
    putU16At(header, 0x18, 0x3E);
    putU16At(header, 0x1A, 4);
    putU16At(header, 0x1C, 0xFFFE);
    putU16At(header, 0x1E, 12);
    putU16At(header, 0x20, 6);
    putU32(header, 0x28, 1);
    putU32(header, 0x2C, static_cast<uint32_t>(fatSectors));
    putU32(header, 0x30, static_cast<uint32_t>(directory));
    putU32(header, 0x38, 4096);
    putU32(header, 0x3C, kEnd);
    putU32(header, 0x44, fatSectors > 109 ? static_cast<uint32_t>(difat) : kEnd);
    putU32(header, 0x48, fatSectors > 109 ? 1 : 0);
    QByteArray difatSector(static_cast<qsizetype>(kSector), '\xFF');
    for (qint64 s = 0; s < 109; ++s)
        putU32(header, 0x4C + s * 4, s < fatSectors ? static_cast<uint32_t>(s) : kFree);
    for (qint64 s = 109; s < fatSectors; ++s)
        putU32(difatSector, (s - 109) * 4, static_cast<uint32_t>(s));
    putU32(difatSector, kSector - 4, kEnd);
    if (!f.write(header))
        throw std::runtime_error("cannot write test file");

    QByteArray fat(static_cast<qsizetype>(fatSectors * kSector), '\xFF');
    for (qint64 s = 0; s < fatSectors * kPerSector; ++s) {
        uint32_t v = kFree;
        if (s < fatSectors)
            v = kFatSect;
        else if (s == difat)
            v = fatSectors > 109 ? kDifSect : kFree;
        else if (s == directory)
            v = kEnd;
        else if (s >= first && s < first + data)
            v = s == first + data - 1 ? kEnd : static_cast<uint32_t>(s + 1);
        putU32(fat, s * 4, v);
    }
    writeAt(0, fat);
    if (fatSectors > 109)
        writeAt(difat, difatSector);

    QByteArray dir(static_cast<qsizetype>(kSector), '\0');
    auto entry = [&](int index, const QString &name, uint8_t type, uint32_t left, uint32_t right, uint32_t child,
                     uint32_t start, quint64 size) {
        const qint64 at = index * 128;
        for (int k = 0; k < name.size(); ++k)
            putU16At(dir, at + k * 2, name[k].unicode());
        putU16At(dir, at + 0x40, static_cast<uint16_t>((name.size() + 1) * 2));
        dir[at + 0x42] = static_cast<char>(type);
        dir[at + 0x43] = 1;
        putU32(dir, at + 0x44, left);
        putU32(dir, at + 0x48, right);
        putU32(dir, at + 0x4C, child);
        putU32(dir, at + 0x74, start);
        putU32(dir, at + 0x78, static_cast<uint32_t>(size));
        putU32(dir, at + 0x7C, static_cast<uint32_t>(size >> 32));
    };
    for (int k = 4; k < 32; ++k) { // unused entries
        putU32(dir, k * 128 + 0x44, kFree);
        putU32(dir, k * 128 + 0x48, kFree);
        putU32(dir, k * 128 + 0x4C, kFree);
    }
    const quint64 streamBytes = static_cast<quint64>(data * kSector);
    entry(0, QStringLiteral("Root Entry"), 5, kFree, kFree, 2, kEnd, 0);
    entry(1, QStringLiteral("0Table"), 2, kFree, kFree, kFree, static_cast<uint32_t>(first), streamBytes);
    entry(2, QStringLiteral("1Table"), 2, 1, 3, kFree, static_cast<uint32_t>(first), streamBytes);
    entry(3, QStringLiteral("WordDocument"), 2, kFree, kFree, kFree, static_cast<uint32_t>(first), streamBytes);
    writeAt(directory, dir);
    writeAt(first, wordHeadWithText(text));
    if (!f.resize((first + data + 1) * kSector))
        throw std::runtime_error("cannot write test file");
}

} // namespace wt
