#include "app/WindowPointer.h"
#include "app/MainWindowState.h"
#include <QFile>
#include <QPixmap>
#include <QWidget>
#include <QtEndian>

std::optional<QCursor> loadCursorFile(const QString &path)
{
    QFile file(path);
    // Pointer pictures are tiny; anything large is not one.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 1024 * 1024)
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    // ICONDIR (6 bytes) then the first ICONDIRENTRY (16 bytes).
    if (bytes.size() < 22)
        return std::nullopt;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const quint16 reserved = qFromLittleEndian<quint16>(p);
    const quint16 type = qFromLittleEndian<quint16>(p + 2);
    const quint16 count = qFromLittleEndian<quint16>(p + 4);
    if (reserved != 0 || (type != 1 && type != 2) || count == 0)
        return std::nullopt;
    int hotX = 0, hotY = 0;
    if (type == 2) {
        hotX = qFromLittleEndian<quint16>(p + 10);
        hotY = qFromLittleEndian<quint16>(p + 12);
    }
    QPixmap picture;
    // Qt's icon plugin reads both kinds; it registers the "cur" format for cursor files.
    if (!picture.loadFromData(bytes, type == 2 ? "cur" : "ico") && !picture.loadFromData(bytes, "ico"))
        return std::nullopt;
    hotX = qBound(0, hotX, picture.width() - 1);
    hotY = qBound(0, hotY, picture.height() - 1);
    return QCursor(picture, hotX, hotY);
}

void WindowPointer::set(int value)
{
    m_value = value;
    if (!m_window)
        return;
    switch (value) {
    case pointer::Busy:
        m_window->setCursor(Qt::WaitCursor);
        break;
    case pointer::Custom:
        if (m_custom)
            m_window->setCursor(*m_custom);
        else
            m_window->setCursor(Qt::ArrowCursor);
        break;
    default:
        m_window->unsetCursor();
        break;
    }
}

void WindowPointer::setCustomCursor(const QCursor &cursor)
{
    m_custom = cursor;
    if (m_value == pointer::Custom)
        set(m_value);
}
