// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "extract/PauseSeconds.h"
#include "core/UiContext.h"
#include "platform/Clock.h"
#include <algorithm>
#include <cmath>

void PauseSeconds(double seconds, IClock &clock, const MainWindowState *window)
{
    constexpr double Day = 86400.0;
    // The clock is read again at least this often, so a clock that is set or jumps meanwhile, or a
    // scripted one, ends the pause on time.
    constexpr int MaxSleepMs = 100;
    const double start = clock.secondsSinceMidnight();
    int sleepMs = 0; // the first round only processes what is already waiting
    for (;;) {
        if (!waitForEvents(window, sleepMs))
            return;
        double elapsed = clock.secondsSinceMidnight() - start;
        if (elapsed < 0)
            elapsed += Day; // the clock went past midnight
        if (elapsed >= seconds)
            return;
        sleepMs = static_cast<int>(std::clamp(std::ceil((seconds - elapsed) * 1000.0), 1.0, double(MaxSleepMs)));
    }
}
