// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringView>

namespace results {

// Column widths are 16-bit signed counts of characters, as the text and clipboard layouts have always
// kept them: a text longer than 32,767 characters cannot be counted in.
constexpr int MaxColumnWidth = 32767;

// The width after counting `text` into `width`. Throws RuntimeError (overflow) for a text too long to
// be counted; the caller's width then stays as it was.
int widenedWidth(int width, QStringView text);

// The text padded with spaces to `width` and followed by a TAB; a text longer than the width is written
// whole, without padding.
void appendField(QString &line, QStringView text, int width);

} // namespace results
