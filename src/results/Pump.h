// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>

namespace results {

// Lets the window process pending events between cells; false once the program has ended, and the
// export then stops where it stands. Other handlers run inside it and may change the results table, so
// the exports work on a copy of its content (ResultsTable::content()), never on the live table.
using Pump = std::function<bool()>;

// Whether a loop may go on after offering the window its events (a missing pump always may).
inline bool keepGoing(const Pump &pump) { return !pump || pump(); }

} // namespace results
