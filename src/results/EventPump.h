// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "results/Pump.h"

class MainWindowState;

namespace results {

// How often a long export lets the window process pending events. Processing them costs about half a
// microsecond even when none are waiting, which over 2.5 million cells would double an export's time;
// fifty times a second keeps the window just as responsive.
constexpr int EventIntervalMs = 20;

// A Pump for the exports' cell loops: the first call and then any call at least `intervalMs` after the
// last processing lets the window process its events; in between it only answers. False once the program
// has ended (which can only happen while events are processed).
Pump eventPump(const MainWindowState *window, int intervalMs = EventIntervalMs);

} // namespace results
