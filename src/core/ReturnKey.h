// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
class QPushButton;

// Return (or Enter) on a push button that has the keyboard focus presses that button, as Space does.
// The button is made neither default nor auto-default, so Return pressed anywhere else in its window
// never presses it.
void pressOnReturn(QPushButton *button);
