// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QCursor>
#include <QString>
#include <optional>

class QWidget;

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
