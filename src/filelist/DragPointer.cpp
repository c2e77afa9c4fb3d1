#include "filelist/DragPointer.h"
#include <QFile>
#include <QPixmap>

namespace filelist {
namespace {

struct Hotspot {
    bool present = false;
    int x = 0;
    int y = 0;
};

// Icon and cursor files share one header: reserved (2 bytes), type (1 icon, 2 cursor), count, then
// 16-byte directory entries whose bytes 4..7 hold the hotspot in a cursor file.
Hotspot readHotspot(const QByteArray &head)
{
    Hotspot h;
    if (head.size() < 6 + 16)
        return h;
    const auto u16 = [&](int at) {
        return static_cast<int>(static_cast<unsigned char>(head[at]) | (static_cast<unsigned char>(head[at + 1]) << 8));
    };
    if (u16(0) != 0 || u16(2) != 2 || u16(4) < 1)
        return h;
    h.present = true;
    h.x = u16(6 + 4);
    h.y = u16(6 + 6);
    return h;
}

} // namespace

std::optional<QCursor> LoadPointerFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxPointerFileBytes)
        return std::nullopt;
    const QByteArray content = file.readAll();
    file.close();
    QPixmap picture;
    if (!picture.loadFromData(content, "ICO") && !picture.loadFromData(content))
        return std::nullopt;
    if (picture.isNull())
        return std::nullopt;
    const Hotspot h = readHotspot(content.left(6 + 16));
    if (h.present && h.x < picture.width() && h.y < picture.height())
        return QCursor(picture, h.x, h.y);
    return QCursor(picture); // centred
}

} // namespace filelist
