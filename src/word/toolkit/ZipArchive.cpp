// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/toolkit/ZipArchive.h"
#include "word/Errors.h"
#include "word/toolkit/Limits.h"
#include <QScopeGuard>
#include <libdeflate.h>
#include <memory>
#include <zip.h>

namespace word {

namespace {

QString zipErrorText(int code)
{
    zip_error_t e;
    zip_error_init_with_code(&e, code);
    QString s = QString::fromUtf8(zip_error_strerror(&e));
    zip_error_fini(&e);
    return s;
}

QString sizeText(qint64 bytes)
{
    if (bytes >= 1024 * 1024)
        return QStringLiteral("%1 MiB").arg(bytes / (1024 * 1024));
    if (bytes >= 1024)
        return QStringLiteral("%1 KiB").arg(bytes / 1024);
    return QStringLiteral("%1 bytes").arg(bytes);
}

// Deflated parts up to this size are unpacked whole by libdeflate from the packed bytes libzip reads:
// it unpacks the small property parts in about half what zlib behind libzip takes, set-up included.
// Larger parts, other methods and every part that does not unpack cleanly take libzip's own way, whose
// verdict then stands.
constexpr qint64 kWholeUnpackBytes = 8 * 1024 * 1024;

// Deflate cannot pack a part into much more than its own size (stored blocks add five bytes in 65,535);
// packed data larger than this is left to libzip, which streams it.
qint64 packedSizeBound(qint64 size) { return size + size / 1024 + 1024; }

libdeflate_decompressor *threadDecompressor()
{
    struct Free {
        void operator()(libdeflate_decompressor *d) const { libdeflate_free_decompressor(d); }
    };
    thread_local std::unique_ptr<libdeflate_decompressor, Free> decompressor(libdeflate_alloc_decompressor());
    return decompressor.get();
}

// The packed bytes of a part, reused from small part to small part.
QByteArray &packedBuffer()
{
    thread_local QByteArray packed;
    return packed;
}

} // namespace

ZipArchive::ZipArchive(const FileContent &content)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = nullptr;
    if (content.headIsWhole) {
        source = zip_source_buffer_create(content.head.constData(), static_cast<zip_uint64_t>(content.head.size()), 0,
                                          &error);
    } else {
        FILE *f = content.file.openStream();
        source = zip_source_filep_create(f, 0, -1, &error);
        if (!source)
            fclose(f);
    }
    if (!source) {
        zip_error_fini(&error);
        throw DamagedContent(QStringLiteral("its zip archive cannot be read"));
    }
    m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!m_zip) {
        const int code = zip_error_code_zip(&error);
        zip_source_free(source);
        zip_error_fini(&error);
        switch (code) {
        case ZIP_ER_NOZIP:
            throw DamagedContent(QStringLiteral("its zip archive has no directory (the file is cut short or "
                                                "overwritten at its end)"));
        case ZIP_ER_INCONS:
        case ZIP_ER_NOENT: // a directory entry promising zip64 sizes it does not carry
            throw DamagedContent(QStringLiteral("its zip directory is inconsistent"));
        case ZIP_ER_MEMORY:
            throw DamagedContent(QStringLiteral("its zip directory is too large to read"));
        default:
            throw DamagedContent(QStringLiteral("its zip archive cannot be read (%1)").arg(zipErrorText(code)));
        }
    }
    zip_error_fini(&error);
    if (zip_get_num_entries(m_zip, 0) > limits::kMaxZipEntries) {
        zip_discard(m_zip);
        m_zip = nullptr;
        throw DamagedContent(QStringLiteral("its zip archive lists more parts than any document has"));
    }
}

ZipArchive::~ZipArchive()
{
    if (m_zip)
        zip_discard(m_zip);
}

qint64 ZipArchive::entryCount() const { return zip_get_num_entries(m_zip, 0); }

std::optional<qint64> ZipArchive::find(const QString &name) const
{
    const QByteArray utf8 = name.toUtf8();
    const zip_int64_t i = zip_name_locate(m_zip, utf8.constData(), ZIP_FL_NOCASE | ZIP_FL_ENC_GUESS);
    if (i < 0)
        return std::nullopt;
    return i;
}

QString ZipArchive::nameAt(qint64 index) const
{
    const char *n = zip_get_name(m_zip, static_cast<zip_uint64_t>(index), ZIP_FL_ENC_GUESS);
    return n ? QString::fromUtf8(n) : QString();
}

namespace {

// Why libzip could not unpack a part, as the document's error.
[[noreturn]] void throwUnpackFailure(const QString &name, int failure)
{
    if (failure == ZIP_ER_CRC)
        throw DamagedContent(QStringLiteral("its part %1 fails its checksum").arg(name));
    if (failure == ZIP_ER_INCONS)
        throw DamagedContent(QStringLiteral("its part %1 unpacks to more than its stated size").arg(name));
    throw DamagedContent(QStringLiteral("its part %1 cannot be unpacked (%2)").arg(name, zipErrorText(failure)));
}

} // namespace

// A part's stated size, refused before anything is unpacked when it is encrypted or larger than `limit`.
qint64 ZipArchive::statedSize(qint64 index, qint64 limit, const QString &name, zip_stat_t &st) const
{
    zip_stat_init(&st);
    if (zip_stat_index(m_zip, static_cast<zip_uint64_t>(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        throw DamagedContent(QStringLiteral("its part %1 cannot be found in the zip directory").arg(name));
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
        throw DamagedContent(QStringLiteral("its part %1 is encrypted inside the zip archive").arg(name));
    if (st.size > static_cast<zip_uint64_t>(limit))
        throw DamagedContent(
            QStringLiteral("its part %1 would unpack to %2, more than the %3 allowed")
                .arg(name, sizeText(static_cast<qint64>(qMin<zip_uint64_t>(st.size, 1ull << 62))), sizeText(limit)));
    return static_cast<qint64>(st.size);
}

zip_file_t *ZipArchive::open(qint64 index, bool packed, const QString &name) const
{
    zip_file_t *f = zip_fopen_index(m_zip, static_cast<zip_uint64_t>(index), packed ? ZIP_FL_COMPRESSED : 0);
    if (!f) {
        const int code = zip_error_code_zip(zip_get_error(m_zip));
        if (code == ZIP_ER_COMPNOTSUPP)
            throw DamagedContent(QStringLiteral("its part %1 is packed with a method this program does not "
                                                "know")
                                     .arg(name));
        throw DamagedContent(QStringLiteral("its part %1 cannot be opened (%2)").arg(name, zipErrorText(code)));
    }
    return f;
}

bool ZipArchive::unpackWhole(qint64 index, const zip_stat_t &st, const QString &name, char *to) const
{
    const qint64 size = static_cast<qint64>(st.size);
    const bool eligible = (st.valid & ZIP_STAT_COMP_METHOD) && st.comp_method == ZIP_CM_DEFLATE
                          && (st.valid & ZIP_STAT_COMP_SIZE) && (st.valid & ZIP_STAT_CRC) && size <= kWholeUnpackBytes
                          && st.comp_size <= static_cast<zip_uint64_t>(packedSizeBound(size));
    if (!eligible)
        return false;
    QByteArray &packed = packedBuffer();
    const auto packedSize = static_cast<qint64>(st.comp_size);
    packed.resize(static_cast<qsizetype>(packedSize));
    const auto release = qScopeGuard([&packed] {
        if (packed.capacity() > 1024 * 1024)
            packed = QByteArray(); // a large part's room is not kept for the small ones
    });
    zip_file_t *f = open(index, true, name);
    const auto closeFile = qScopeGuard([f] { zip_fclose(f); });
    qint64 got = 0;
    while (got < packedSize) {
        const zip_int64_t n = zip_fread(f, packed.data() + got, static_cast<zip_uint64_t>(packedSize - got));
        if (n <= 0)
            return false;
        got += n;
    }
    size_t unpacked = 0;
    const libdeflate_result result =
        libdeflate_deflate_decompress(threadDecompressor(), packed.constData(), static_cast<size_t>(packedSize), to,
                                      static_cast<size_t>(size), &unpacked);
    return result == LIBDEFLATE_SUCCESS && unpacked == static_cast<size_t>(size)
           && libdeflate_crc32(0, to, unpacked) == st.crc;
}

QByteArray ZipArchive::read(qint64 index, qint64 limit) const
{
    const QString name = nameAt(index);
    zip_stat_t st;
    statedSize(index, limit, name, st);
    return readStated(index, st, name);
}

std::optional<QByteArray> ZipArchive::readWithin(qint64 index, qint64 limit, qint64 most) const
{
    const QString name = nameAt(index);
    zip_stat_t st;
    if (statedSize(index, limit, name, st) > most)
        return std::nullopt;
    return readStated(index, st, name);
}

QByteArray ZipArchive::readStated(qint64 index, const zip_stat_t &st, const QString &name) const
{
    const auto size = static_cast<qint64>(st.size);
    QByteArray data(static_cast<qsizetype>(size), Qt::Uninitialized);
    if (unpackWhole(index, st, name, data.data()))
        return data;
    data.resize(0);
    QByteArray piece;
    streamWithLibzip(index, size, name, piece, 64 * 1024, [&](const char *bytes, qint64 n) { data.append(bytes, n); });
    return data;
}

void ZipArchive::stream(qint64 index, qint64 limit, QByteArray &buffer, qint64 chunk,
                        const std::function<void(const char *, qint64)> &sink) const
{
    const QString name = nameAt(index);
    zip_stat_t st;
    const qint64 size = statedSize(index, limit, name, st);
    streamWithLibzip(index, size, name, buffer, chunk, sink);
}

void ZipArchive::streamWithLibzip(qint64 index, qint64 size, const QString &name, QByteArray &buffer, qint64 chunk,
                                  const std::function<void(const char *, qint64)> &sink) const
{
    zip_file_t *f = open(index, false, name);
    const auto closeFile = qScopeGuard([f] { zip_fclose(f); });
    // A whole read (chunk 0) unpacks the part in one piece of its stated size.
    const qint64 piece = chunk > 0 ? qMin(chunk, qMax<qint64>(size, 1)) : size;
    if (buffer.size() < piece + 1)
        buffer.resize(static_cast<qsizetype>(piece + 1));
    qint64 done = 0;
    // Read to the end so that libzip verifies the checksum; a part that unpacks to more than its stated
    // size is refused without unpacking the rest (one byte past it shows it).
    for (;;) {
        const qint64 want = done < size ? qMin(piece, size - done) : 1;
        const zip_int64_t n = zip_fread(f, buffer.data(), static_cast<zip_uint64_t>(want));
        if (n < 0)
            throwUnpackFailure(name, zip_error_code_zip(zip_file_get_error(f)));
        if (n == 0)
            break;
        if (done >= size)
            throwUnpackFailure(name, ZIP_ER_INCONS);
        done += n;
        sink(buffer.constData(), n);
    }
    if (done != size)
        throw DamagedContent(QStringLiteral("its part %1 is cut short").arg(name));
}

} // namespace word
