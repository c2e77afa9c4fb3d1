// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QCursor>
#include <QString>
#include <optional>

// A pointer read from a Windows icon or cursor file (the window's hand, the list's drag pointer). The
// hotspot comes from the file's first directory entry when it is a cursor file; an icon has none, and
// the desktop puts an icon's hotspot at its centre. Nothing when the file is missing, oversized, broken
// or unreadable.
std::optional<QCursor> loadPointerFile(const QString &path);

// Pointer files larger than this are not read: the program's own are a few kilobytes.
constexpr qint64 MaxPointerFileBytes = 1 << 20;
