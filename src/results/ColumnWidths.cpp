// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ColumnWidths.h"
#include "platform/RuntimeError.h"
#include <QString>

namespace results {

int widenedWidth(int width, QStringView text)
{
    if (text.size() <= width)
        return width;
    if (text.size() > MaxColumnWidth)
        throw RuntimeError(RuntimeError::Overflow, QStringLiteral("Overflow"));
    return int(text.size());
}

void appendField(QString &line, QStringView text, int width)
{
    line.append(text);
    if (width > text.size())
        line.resize(line.size() + (width - text.size()), QLatin1Char(' '));
    line.append(QLatin1Char('\t'));
}

} // namespace results
