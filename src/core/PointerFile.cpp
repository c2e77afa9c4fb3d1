// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/PointerFile.h"
#include "word/toolkit/ByteReader.h"
#include <QFile>
#include <QPixmap>

namespace {

struct Hotspot {
    bool present = false;
    int x = 0;
    int y = 0;
};

// Icon and cursor files share one header: reserved (2 bytes), type (1 icon, 2 cursor), count, then
// 16-byte directory entries whose bytes 4..7 hold the hotspot in a cursor file.
Hotspot readHotspot(const word::ByteReader &bytes)
{
    Hotspot h;
    if (!bytes.has(0, 6 + 16) || bytes.u16(0) != 0 || bytes.u16(2) != 2 || bytes.u16(4) < 1)
        return h;
    h.present = true;
    h.x = bytes.u16(6 + 4);
    h.y = bytes.u16(6 + 6);
    return h;
}

// An icon or cursor file's directory must describe pictures that lie inside the file; the image
// reader is not handed a header that points elsewhere.
enum class Container { Other, Valid, Broken };
Container checkContainer(const word::ByteReader &bytes)
{
    if (!bytes.has(0, 6) || bytes.u16(0) != 0 || (bytes.u16(2) != 1 && bytes.u16(2) != 2))
        return Container::Other;
    const qint64 count = bytes.u16(4);
    if (count == 0 || !bytes.has(6, 16 * count))
        return Container::Broken;
    for (qint64 i = 0; i < count; ++i) {
        const qint64 entry = 6 + 16 * i;
        if (bytes.u32(entry + 8) == 0 || !bytes.has(bytes.u32(entry + 12), bytes.u32(entry + 8)))
            return Container::Broken;
    }
    return Container::Valid;
}

} // namespace

std::optional<QCursor> loadPointerFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxPointerFileBytes)
        return std::nullopt;
    const QByteArray content = file.readAll();
    file.close();
    const word::ByteReader bytes(content);
    const Container container = checkContainer(bytes);
    if (container == Container::Broken)
        return std::nullopt;
    QPixmap picture;
    const bool loaded =
        container == Container::Valid ? picture.loadFromData(content, "ICO") : picture.loadFromData(content);
    if (!loaded)
        return std::nullopt;
    if (picture.isNull())
        return std::nullopt;
    const Hotspot h = readHotspot(bytes);
    if (h.present && h.x < picture.width() && h.y < picture.height())
        return QCursor(picture, h.x, h.y);
    return QCursor(picture); // centred
}
