#pragma once
#include <QCursor>
#include <QString>
#include <optional>

class QWidget;

// Reads a Windows cursor or icon file; the hotspot comes from the file's own directory entry
// (cursor files keep it there; icons point at their top-left corner).
std::optional<QCursor> loadCursorFile(const QString &path);

// A window's pointer value (0 arrow, 11 busy, 99 custom) shown as the matching cursor.
class WindowPointer {
public:
    explicit WindowPointer(QWidget *window) : m_window(window) {}
    int value() const { return m_value; }
    void set(int value);
    // The picture for value 99; without one the custom pointer shows the arrow.
    void setCustomCursor(const QCursor &cursor);
    bool hasCustomCursor() const { return m_custom.has_value(); }

private:
    QWidget *m_window;
    int m_value = 0;
    std::optional<QCursor> m_custom;
};
