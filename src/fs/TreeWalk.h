// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "fs/FolderListing.h"
#include "fs/Limits.h"
#include <QByteArray>
#include <vector>

namespace fs {

// One step of a walk: a regular file, or a folder that could not be listed (error is the system's error
// number then).
struct WalkStep {
    QByteArray path;
    int error = 0;
    bool tooDeep = false; // a folder below the deepest level walked (error is ELOOP then)
};

// Walks a folder tree depth first, one step at a time, so that a caller can process files while the walk
// goes on and memory holds only the folders on the current branch. At every level the entries come in
// name order and a folder is entered where its name falls. Linked folders are followed, each real folder
// at most once. Paths are exact bytes.
class TreeWalk {
public:
    struct Options {
        bool hidden = true; // also walk and give names starting with '.'
    };
    TreeWalk(const QByteArray &root, Options options);

    // The next step; false once the walk is over.
    bool next(WalkStep &step);

private:
    struct Level {
        QByteArray path; // ends with '/'
        std::vector<FolderEntry> entries;
        size_t next = 0;
    };
    bool enter(const QByteArray &folder, WalkStep &step);

    Options m_options;
    LoopGuard m_guard;
    std::vector<Level> m_stack;
    QByteArray m_pendingRoot;
};

} // namespace fs
