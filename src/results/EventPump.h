#pragma once
#include "results/ColumnWidths.h"

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

// Whether a loop may go on after offering the window its events (a missing pump always may).
inline bool keepGoing(const Pump &pump) { return !pump || pump(); }

} // namespace results
