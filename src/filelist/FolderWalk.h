// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

struct UiContext;
class InputFileList;

namespace filelist {

// Folder set: ordered folder paths, each ending with one '/'.
// The entry that starts a folder set for a folder; a folder that already ends with the separator (the
// root "/", or a typed "/data/") is not given a second one.
QString FolderSetEntry(const QString &folder);

// Extends the folder set in place with every folder below its folders, level by level: first the
// children of every folder in order, then the grandchildren, and so on (only the first level when
// recurse is false). Skipped: hidden system folders, subfolder names that are 260 characters or longer
// or hold unsafe characters, folders whose path is 260 characters or longer (not expanded), and any
// folder already reached by another path (a link back up the tree would otherwise make the walk
// endless). Folders whose subfolders cannot be listed for lack of permission or because they vanished
// are removed from the set. Yields to the event loop before each folder and each subfolder, and stops
// early once the program has ended. Other run-time errors go to the error report under the walk's own
// location and the walk goes on.
void GetSubDirectories2016(const UiContext &ctx, QStringList &folders, bool recurse);

// The names (not paths) of the regular files in a folder that match the pattern, hidden ones included,
// sorted case-insensitively (ties by exact text) so the list reads like a file manager's. A folder that
// cannot be read yields no names.
QStringList ListFiles(const QString &folder, const QString &pattern);

// The files of every folder of the set that match the pattern, as the list's entries: names that begin
// with '~' and writable hidden files (attributes exactly 34) are left out; paths are normalised.
QStringList CollectFolderFiles(const QStringList &folders, const QString &pattern);

// Walks a folder with a folder set of its own and appends its matching files to the list in one step.
// Returns false when the program ended during the walk (nothing is appended then).
bool AddFolderTree(const UiContext &ctx, InputFileList &list, const QString &folder, const QString &pattern);

// The bound on folder paths and subfolder names: longer ones are not walked.
constexpr int MaxPathChars = 260;

} // namespace filelist
