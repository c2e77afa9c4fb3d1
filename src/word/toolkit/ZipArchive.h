// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/Formats.h"
#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

struct zip;
struct zip_file;
struct zip_stat;

namespace word {

// A zip archive read through libzip, with every part size bounded before it is unpacked and every
// part's checksum verified. Failures are DamagedContent naming the part.
class ZipArchive {
public:
    explicit ZipArchive(const FileContent &content); // throws DamagedContent when the archive is unreadable
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    qint64 entryCount() const;
    // Index of the part with this name (compared case-insensitively, as package part names are).
    std::optional<qint64> find(const QString &name) const;
    QString nameAt(qint64 index) const;
    // The part unpacked; refuses (DamagedContent) a part larger than `limit`, one that fails its
    // checksum, is encrypted or cut short.
    QByteArray read(qint64 index, qint64 limit) const;
    // read(), for a part whose stated size is at most `most`; nothing for a larger one (to be streamed).
    std::optional<QByteArray> readWithin(qint64 index, qint64 limit, qint64 most) const;
    // The part unpacked piece by piece into `sink` (pieces of at most `chunk` bytes, in `buffer`), with the
    // same refusals as read(): for parts too large to hold whole. A refusal can come after pieces were
    // given, so whatever the sink made of them must be discarded then.
    void stream(qint64 index, qint64 limit, QByteArray &buffer, qint64 chunk,
                const std::function<void(const char *, qint64)> &sink) const;

private:
    qint64 statedSize(qint64 index, qint64 limit, const QString &name, struct zip_stat &st) const;
    struct zip_file *open(qint64 index, bool packed, const QString &name) const;
    // Unpacks a deflated part of a bounded size whole into `to` (its stated size), with its size and
    // checksum verified; false, with nothing decided, for any part that does not unpack so.
    bool unpackWhole(qint64 index, const struct zip_stat &st, const QString &name, char *to) const;
    QByteArray readStated(qint64 index, const struct zip_stat &st, const QString &name) const;
    void streamWithLibzip(qint64 index, qint64 size, const QString &name, QByteArray &buffer, qint64 chunk,
                          const std::function<void(const char *, qint64)> &sink) const;

    zip *m_zip = nullptr;
};

} // namespace word
