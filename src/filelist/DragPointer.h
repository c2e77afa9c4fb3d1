#pragma once
#include <QCursor>
#include <QString>
#include <optional>

namespace filelist {

// The pointer the list shows while an entry is carried, read from an icon or cursor file. The hotspot
// comes from the file's first directory entry when it is a cursor file, otherwise the picture's
// centre. Nothing when the file is missing, oversized or unreadable.
std::optional<QCursor> LoadPointerFile(const QString &path);

// Pointer files larger than this are not read: the program's own is a few kilobytes.
constexpr qint64 MaxPointerFileBytes = 1 << 20;

} // namespace filelist
