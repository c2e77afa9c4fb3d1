// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <compare>
#include <set>
#include <sys/types.h>
#include <vector>

namespace fs {

// A folder's identity on this machine: one folder reached by several paths (links, bind mounts) has one.
struct FolderId {
    dev_t device = 0;
    ino_t inode = 0;
    auto operator<=>(const FolderId &) const = default;
};

// The real folders a walk has reached. Walks follow linked folders, and a link back up the tree would
// make them endless; asking before entering a folder stops that.
class LoopGuard {
public:
    // True the first time a folder is seen, false every later time.
    bool firstVisit(FolderId id) { return m_seen.insert(id).second; }
    // The same for a folder named by path; a folder whose status cannot be read counts as new (listing it
    // will then fail and say why).
    bool firstVisit(const QByteArray &nativePath);

private:
    std::set<FolderId> m_seen;
};

struct FolderEntry {
    QByteArray name; // the exact bytes of the name, which need not be valid text
    bool isFolder = false;
    FolderId id; // for folders
};

enum class Listing { FilesAndFolders, FoldersOnly };

// Lists a folder named by its exact bytes: its folders and regular files, links followed to what they
// name (other kinds of entry and broken links are left out), "." and ".." left out, sorted like a file
// manager sorts: by name without regard to case, ties by exact bytes. Returns 0, or the system's error
// number when the folder cannot be opened or read to its end.
int listFolder(const QByteArray &folder, Listing what, std::vector<FolderEntry> &entries);

} // namespace fs
