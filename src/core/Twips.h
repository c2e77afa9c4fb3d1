// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Positions and sizes are kept in twips, as the windows were laid out; 15 twips make a pixel at 96 dpi.
// Every conversion rounds to the nearest pixel, so controls laid out side by side meet where they should.
constexpr int TwipsPerPixel = 15;
constexpr int twipsToPixels(int twips) { return (twips + TwipsPerPixel / 2) / TwipsPerPixel; }
