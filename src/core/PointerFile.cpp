#include "core/PointerFile.h"
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

// An icon or cursor file's directory must describe pictures that lie inside the file; the image
// reader is not handed a header that points elsewhere.
enum class Container { Other, Valid, Broken };
Container checkContainer(const QByteArray &content)
{
    if (content.size() < 6)
        return Container::Other;
    const auto u16 = [&](qsizetype at) {
        return static_cast<quint32>(static_cast<unsigned char>(content[at]) | (static_cast<unsigned char>(content[at + 1]) << 8));
    };
    const auto u32 = [&](qsizetype at) { return u16(at) | (u16(at + 2) << 16); };
    if (u16(0) != 0 || (u16(2) != 1 && u16(2) != 2))
        return Container::Other;
    const quint32 count = u16(4);
    if (count == 0 || 6 + 16 * static_cast<qsizetype>(count) > content.size())
        return Container::Broken;
    for (quint32 i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * static_cast<qsizetype>(i);
        const quint64 size = u32(entry + 8);
        const quint64 offset = u32(entry + 12);
        if (size == 0 || offset + size > static_cast<quint64>(content.size()))
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
    const Container container = checkContainer(content);
    if (container == Container::Broken)
        return std::nullopt;
    QPixmap picture;
    const bool loaded = container == Container::Valid ? picture.loadFromData(content, "ICO") : picture.loadFromData(content);
    if (!loaded)
        return std::nullopt;
    if (picture.isNull())
        return std::nullopt;
    const Hotspot h = readHotspot(content.left(6 + 16));
    if (h.present && h.x < picture.width() && h.y < picture.height())
        return QCursor(picture, h.x, h.y);
    return QCursor(picture); // centred
}
