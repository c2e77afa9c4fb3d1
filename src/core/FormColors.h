// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
class QWidget;

// Gives the window the system's button-face colour, and the same to its check boxes, option buttons,
// frames and labels; other controls keep their own colours.
void SetFormColors(QWidget *window);
