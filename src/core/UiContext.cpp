// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/UiContext.h"
#include <QCoreApplication>
#include <QTimer>

bool processPendingEvents(const MainWindowState *window)
{
    QCoreApplication::processEvents();
    return !(window && window->hasEnded());
}

bool waitForEvents(const MainWindowState *window, int maxMs)
{
    if (maxMs <= 0)
        return processPendingEvents(window);
    // The timer only wakes the sleeping event loop; it does nothing when it fires.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(maxMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return !(window && window->hasEnded());
}
