// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where a window of the given outer size opens: centred in the screen's available area (without its
// panels), but never with its top or left edge outside that area, so a window taller or wider than the
// screen keeps its title bar reachable for moving it.
QPoint centredPosition(const QSize &windowSize, const QRect &available);

// Moves a window that is about to be shown to its opening place on the screen it will appear on.
void centreOnScreen(QWidget &window);
