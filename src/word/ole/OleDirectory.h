// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/Formats.h"
#include <QStringList>

namespace word {

// The directory of a compound file, read by our own code before the container library is given the
// file. The library walks the directory tree recursively and keeps every storage's children in a
// sorted list; a degenerate or oversized tree would exhaust its stack or cost it the square of the
// entry count. So the tree's shape is checked here, without recursion: the entries reachable from the
// root (kMaxOleDirectoryEntries) and those in any one storage (kMaxOleStorageChildren), the longest
// path of sibling and child links (kMaxOleDirectoryDepth), and no entry reached twice (a loop or a
// shared subtree). Throws DamagedContent when any is out of
// bounds or the directory cannot be read.
//
// Returns the names of the root storage's streams and storages, as stored, in one walk: looking them up
// one index at a time through the library walks its list of children once per index.
QStringList checkOleDirectory(const FileContent &content);

} // namespace word
