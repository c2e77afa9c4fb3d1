// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/WindowPlacement.h"
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

QPoint centredPosition(const QSize &windowSize, const QRect &available)
{
    const int x = available.left() + (available.width() - windowSize.width()) / 2;
    const int y = available.top() + (available.height() - windowSize.height()) / 2;
    return {std::max(x, available.left()), std::max(y, available.top())};
}

void centreOnScreen(QWidget &window)
{
    QScreen *screen = window.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Before the window is shown its frame is not known yet; frameGeometry() then equals the client
    // area, and move() places the frame's corner, so the title bar lands inside the area.
    window.move(centredPosition(window.frameGeometry().size(), screen->availableGeometry()));
}
