// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/WindowPointer.h"
#include "core/MainWindowState.h"
#include <QWidget>

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
