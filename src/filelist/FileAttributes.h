// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace filelist {

// File attribute bits as the folder walk compares them. On this platform they are derived from the
// file's status: read-only = not writable by its owner; hidden = the name starts with '.'; system is
// never set; directory; archive = every regular file; alias = a symbolic link.
namespace attr {
constexpr int ReadOnly = 1;
constexpr int Hidden = 2;
constexpr int System = 4;
constexpr int Directory = 16;
constexpr int Archive = 32;
constexpr int Alias = 1024;
// Compared as whole sets: a writable hidden regular file (an editor's lock file, for example), and
// hidden system folders, plain or linked.
constexpr int HiddenArchiveFile = Archive | Hidden;             // 34
constexpr int HiddenSystemFolder = Directory | Hidden | System; // 22
constexpr int HiddenSystemAlias = HiddenSystemFolder | Alias;   // 1046
} // namespace attr

// The attribute set of a path, or -1 when its status cannot be read. A link reports the alias bit
// together with what it points to.
int FileAttributes(const QString &path);
// True when the path's attributes can be read and have the directory bit.
bool IsFolder(const QString &path);
// True when the path names an existing regular file, after following links. Folders, devices, pipes,
// missing paths and any error give false. Nothing is opened: a pipe would block.
bool IsExistingFile(const QString &path);
// True when a character of the name is a control character (below 32, or 127 to 159), a '?', or cannot
// be represented in the locale's charset. Qt takes the locale's charset to be UTF-8, which represents
// every character except unpaired surrogates; U+FFFD also counts as unrepresentable, since it is what
// a name's undecodable bytes turn into, and such a name cannot be opened through its text.
bool HasUnsafeChars(const QString &name);
// The last component of a path, ignoring a closing separator.
QString LastComponent(const QString &path);

} // namespace filelist
