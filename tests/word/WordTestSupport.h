// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builders for the documents the engine's tests make themselves: zip packages (OOXML, ODF), compound
// files (through libgsf, or byte by byte when the test needs a broken one), property-set streams, and
// raw zip archives whose stated sizes and checksums the test chooses.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>

namespace wt {

// Writes `data` to `name` inside `dir` and returns the full path.
QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &data);

// ---- zip (through libzip)
struct ZipEntry {
    QString name;
    QByteArray data;
    bool store = false; // stored instead of deflated
};
QByteArray makeZip(const QList<ZipEntry> &entries);

// ---- raw zip: each entry deflated (or stored), with the stated size and checksum the test wants
struct RawZipEntry {
    QByteArray name;
    QByteArray compressed; // the member's data as stored
    uint16_t method = 8;   // 0 stored, 8 deflate
    uint32_t crc = 0;
    uint64_t statedSize = 0; // uncompressed size written in the headers
};
QByteArray makeRawZip(const QList<RawZipEntry> &entries);
QByteArray rawDeflate(const QByteArray &data);
uint32_t crc32Of(const QByteArray &data);
// A deflate stream of `gib` GiB of zeros (built from one repeated block, so it is small and quick to
// make) and its CRC.
QByteArray deflatedZeros(uint64_t bytes, uint32_t &crc);

// ---- OOXML
struct DocxParts {
    QByteArray core; // docProps/core.xml (empty: no part and no relationship)
    QByteArray app;  // docProps/app.xml
    QString mainContentType =
        QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
    QString mainPart = QStringLiteral("word/document.xml");
    QString coreRelType =
        QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties");
    QString appRelType =
        QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties");
    QString officeDocRelType =
        QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument");
    QString corePath = QStringLiteral("docProps/core.xml");
    QByteArray document; // the main part (empty: a document with an empty body)
};
QByteArray makeDocx(const DocxParts &parts);
// The package's relationships (_rels/.rels): the main part, and the core and app properties where asked,
// with the types and paths of `names`.
QByteArray packageRels(bool withCore, bool withApp, const DocxParts &names = {});
// A main part holding `body` inside w:body (the w: and mc: prefixes declared).
QByteArray wordDocumentXml(const QByteArray &body);
QByteArray coreXml(const QList<QPair<QString, QString>> &elements); // prefixed names, e.g. "dc:title"
QByteArray appXml(const QList<QPair<QString, QString>> &elements);

// ---- ODF text
QByteArray makeOdt(const QByteArray &metaXml,
                   const QString &mimeType = QStringLiteral("application/vnd.oasis.opendocument.text"),
                   const QByteArray &contentXml = {}); // empty: an empty content.xml
// A content.xml holding `text` inside office:text (the office: and text: prefixes declared).
QByteArray odtContentXml(const QByteArray &text);

// ---- property-set streams
QByteArray fmtidSummary();
QByteArray fmtidDocSummary();
QByteArray fmtidUserDefined();
uint64_t fileTimeOf(const QDateTime &utc);

class PropertySection {
public:
    PropertySection(QByteArray fmtid, int codePage);            // codePage < 0: no code page property
    PropertySection &string(uint32_t pid, const QString &text); // VT_LPSTR in the section's code page
    PropertySection &rawString(uint32_t pid, const QByteArray &bytes, uint32_t statedSize); // VT_LPSTR as given
    PropertySection &wideString(uint32_t pid, const QString &text);                         // VT_LPWSTR
    PropertySection &int32(uint32_t pid, int32_t v);
    PropertySection &int16(uint32_t pid, int16_t v);
    PropertySection &fileTime(uint32_t pid, uint64_t ticks);
    PropertySection &blob(uint32_t pid, const QByteArray &bytes);
    PropertySection &dictionary(const QList<QPair<uint32_t, QString>> &names);
    PropertySection &raw(uint32_t pid, const QByteArray &typedValue); // a typed value written verbatim
    QByteArray build() const;
    const QByteArray &fmtid() const { return m_fmtid; }

private:
    QByteArray encode(const QString &text) const;
    QByteArray m_fmtid;
    int m_codePage;
    QList<QPair<uint32_t, QByteArray>> m_values;
};
QByteArray propertySetStream(const QList<PropertySection> &sections);

// ---- compound files
// Through libgsf's writer: a well-formed file with these streams (names as stored, e.g. "\x05SummaryInformation").
QByteArray makeOle(const QList<QPair<QString, QByteArray>> &streams);
// Byte by byte (version 3, 512-byte sectors, no mini stream: every stream is padded to 4096 bytes),
// for tests that break the structure on purpose. `tamper` may edit the file after it is laid out; the
// positions of the pieces are given to it.
struct RawCfbLayout {
    int fatSector = 0;
    int directorySector = 1;
    QList<int> streamFirstSector; // per stream, in order
    QList<int> streamSectorCount;
};
QByteArray makeRawCfb(const QList<QPair<QString, QByteArray>> &streams, RawCfbLayout *layout = nullptr);
// Offsets inside a raw CFB file.
qint64 cfbSectorOffset(int sector);
qint64 cfbFatEntryOffset(const RawCfbLayout &layout, int sector);
qint64 cfbDirectoryEntryOffset(const RawCfbLayout &layout, int entry);
void putU32(QByteArray &b, qint64 offset, uint32_t v);

// A compound file whose directory the test lays out entry by entry (version 3, 512-byte sectors, the FAT
// in the header's 109 slots: up to about 50,000 entries). Entry 0 is the root. A stream's data is padded
// to 4096 bytes, so no mini stream is needed.
struct CfbEntry {
    QString name;
    uint8_t type = 2; // 1 storage, 2 stream, 5 root
    uint32_t left = 0xFFFFFFFF;
    uint32_t right = 0xFFFFFFFF;
    uint32_t child = 0xFFFFFFFF;
    QByteArray data;
};
QByteArray makeCfbDirectory(const QList<CfbEntry> &entries);

// A Word document (its summary stream says Title "Title", Author "Author", 2 pages) whose root storage
// also holds `extra` more entries, linked as the shape says: one right-sibling chain; a balanced sibling
// tree; storages nested each in the one before; or storages of 4,000 streams each (balanced trees).
enum class DirectoryShape { SiblingChain, BalancedSiblings, NestedStorages, StoragesOf4000 };
QByteArray wordBinaryWithDirectory(DirectoryShape shape, int extra);

// A summary property set whose header lists its one section `records` times, and whose entries
// (pid, offset) point into `area`, which follows the entry list (offsets count from the area's start).
// The section's code page property comes first.
QByteArray propertySetPointingInto(int codePage, const QList<QPair<uint32_t, uint32_t>> &entries,
                                   const QByteArray &area, int records);

// A sparse Word 97 document of about `bytes` (version 4 sectors, mostly holes) whose three streams,
// WordDocument, 0Table and 1Table, share one chain as long as the file; its main text is `text`
// (single bytes, paragraphs ended by \r).
void writeSparseWordBinary(const QString &path, qint64 bytes, const QByteArray &text);

// A small Word 97-2003 document: WordDocument stream plus the given summary streams.
QByteArray makeWordBinary(const QByteArray &summary, const QByteArray &docSummary,
                          const QString &summaryName = QStringLiteral("\x05SummaryInformation"),
                          const QString &docSummaryName = QStringLiteral("\x05"
                                                                         "DocumentSummaryInformation"));

} // namespace wt
