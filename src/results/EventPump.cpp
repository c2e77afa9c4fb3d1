// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/EventPump.h"
#include "core/UiContext.h"
#include <QElapsedTimer>
#include <memory>

namespace results {

Pump eventPump(const MainWindowState *window, int intervalMs)
{
    struct State {
        QElapsedTimer sinceLast;
        bool running = true;
    };
    auto state = std::make_shared<State>();
    return [window, intervalMs, state] {
        if (!state->running)
            return false;
        if (state->sinceLast.isValid() && state->sinceLast.elapsed() < intervalMs)
            return true;
        state->running = processPendingEvents(window);
        state->sinceLast.start();
        return state->running;
    };
}

} // namespace results
