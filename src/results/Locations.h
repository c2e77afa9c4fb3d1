// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/ErrorLocation.h"
#include <QString>

// Where the error report says a trapped error happened.
namespace results::location {
inline const QString ClearResults = errorLocation::of(QStringLiteral("Form1"), QStringLiteral("PushButton5_Click"));
inline const QString TextButton = errorLocation::of(QStringLiteral("Form1"), QStringLiteral("PushButton1_Click"));
inline const QString TextWriter =
    errorLocation::of(QStringLiteral("Main"), QStringLiteral("SaveListviewProperlySpacedWithoutProgressBar"));
inline const QString WorkbookButton = errorLocation::of(QStringLiteral("Form1"), QStringLiteral("PushButton13_Click"));
inline const QString ClipboardButton = errorLocation::of(QStringLiteral("Form1"), QStringLiteral("PushButton2_Click"));
} // namespace results::location
