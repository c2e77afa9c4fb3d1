// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class IClock;
class MainWindowState;

// Waits the given seconds while the window keeps processing events, sleeping while none arrive. The
// clock counts seconds since midnight, so a wait that spans midnight still ends. Returns early when the
// program has ended.
void PauseSeconds(double seconds, IClock &clock, const MainWindowState *window);
