// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fs/TreeWalk.h"
#include <cerrno>

namespace fs {

TreeWalk::TreeWalk(const QByteArray &root, Options options) : m_options(options), m_pendingRoot(root) {}

bool TreeWalk::enter(const QByteArray &folder, WalkStep &step)
{
    if (m_stack.size() >= limits::kMaxWalkDepth) {
        step = {folder, ELOOP, true};
        return true;
    }
    Level level;
    level.path = folder.endsWith('/') ? folder : folder + '/';
    if (const int e = listFolder(folder, Listing::FilesAndFolders, level.entries); e != 0) {
        step = {folder, e};
        return true;
    }
    m_stack.push_back(std::move(level));
    return false;
}

bool TreeWalk::next(WalkStep &step)
{
    if (!m_pendingRoot.isNull()) {
        const QByteArray root = std::move(m_pendingRoot);
        m_pendingRoot = QByteArray();
        m_guard.firstVisit(root);
        if (enter(root, step))
            return true;
    }
    while (!m_stack.empty()) {
        Level &level = m_stack.back();
        if (level.next == level.entries.size()) {
            m_stack.pop_back();
            continue;
        }
        FolderEntry &entry = level.entries[level.next++];
        if (!m_options.hidden && entry.name.startsWith('.'))
            continue;
        const QByteArray path = level.path + entry.name;
        if (!entry.isFolder) {
            step = {path, 0};
            return true;
        }
        if (!m_guard.firstVisit(entry.id))
            continue;
        entry.name.clear(); // the level no longer needs it; `level` may move when the stack grows
        if (enter(path, step))
            return true;
    }
    return false;
}

} // namespace fs
