// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "filelist/FolderWalk.h"
#include "core/ErrorLocation.h"
#include "core/ErrorReport.h"
#include "core/UiContext.h"
#include "filelist/FileAttributes.h"
#include "filelist/InputFileList.h"
#include "filelist/NormalizeSlashes.h"
#include "filelist/Wildcard.h"
#include "fs/FolderListing.h"
#include "platform/RuntimeError.h"
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <utility>

namespace filelist {
namespace {

const QString WalkLocation = errorLocation::of(QStringLiteral("AddFolder"), QStringLiteral("GetSubDirectories2016"),
                                               errorLocation::FolderWalkerTag);

// Directory listing goes through readdir rather than QDir: its entry type answers "regular file?" and
// "folder?" for nearly every entry without a status call per file, which is what keeps a walk over
// a hundred thousand files close to the speed of the system's own tools.
struct DirCloser {
    void operator()(DIR *d) const { ::closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

bool isDotOrDotDot(const char *name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// A name's text, or a null text when its bytes do not survive the trip through text and back (such a
// name cannot be reached by any path text the list could hold).
QString decodeName(const char *raw)
{
    const QByteArray bytes(raw);
    QString name = QFile::decodeName(bytes);
    for (char b : bytes) {
        if (static_cast<unsigned char>(b) >= 0x80) {
            if (QFile::encodeName(name) != bytes)
                return {};
            break;
        }
    }
    return name;
}

void sortNames(QStringList &names)
{
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

RuntimeError listingError(int err, const QString &folder)
{
    if (err == EACCES || err == EPERM)
        return RuntimeError(RuntimeError::PermissionDenied, QStringLiteral("Permission denied"));
    if (err == ENOENT || err == ENOTDIR)
        return RuntimeError(RuntimeError::PathNotFound, QStringLiteral("Path not found"));
    return RuntimeError(75, QStringLiteral("Path/File access error: %1").arg(folder));
}

struct Subfolder {
    QString name;
    fs::FolderId id;
};

// The folders inside a folder (links to folders included), sorted by name. Throws RuntimeError 70 or
// 76 when the folder cannot be listed, 75 for other failures.
std::vector<Subfolder> listSubfolders(const QString &folder)
{
    std::vector<fs::FolderEntry> entries;
    if (const int e = fs::listFolder(QFile::encodeName(folder), fs::Listing::FoldersOnly, entries); e != 0)
        throw listingError(e, folder);
    std::vector<Subfolder> found;
    found.reserve(entries.size());
    for (const fs::FolderEntry &entry : entries)
        found.push_back({QFile::decodeName(entry.name), entry.id});
    return found;
}

bool isHiddenSystemFolder(int attributes)
{
    return attributes == attr::HiddenSystemFolder || attributes == attr::HiddenSystemAlias;
}

bool isRootFolder(const QString &folder) { return folder == QLatin1String("/"); }

// One walk: the real folders already reached, so that none is walked twice.
class Walk {
public:
    explicit Walk(const UiContext &ctx) : m_ctx(ctx), m_trap(*ctx.errors, WalkLocation) {}

    void run(QStringList &folders, bool recurse)
    {
        for (const QString &f : folders)
            markSeen(f);
        // Each level's folders are found from the one above; the levels are then appended in order.
        std::vector<QStringList> levels;
        QStringList *current = &folders;
        for (;;) {
            QStringList found;
            if (!expandLevel(*current, found))
                return;
            if (found.isEmpty())
                break;
            levels.push_back(std::move(found));
            if (!recurse)
                break;
            current = &levels.back();
        }
        for (const QStringList &level : levels) {
            for (const QString &g : level) {
                // One status read serves the folder test and the hidden-system test.
                const int attributes = m_trap.value<int>(
                    112, [&] { return FileAttributes(g); }, -1);
                if (attributes == -1 || (attributes & attr::Directory) == 0)
                    continue;
                if (!yield(114))
                    return;
                if (isRootFolder(g) || !isHiddenSystemFolder(attributes))
                    folders.append(g);
            }
        }
    }

private:
    // Lets the window handle its events; false once the program has ended.
    bool yield(int line)
    {
        m_trap.run(line, [&] {
            if (!processPendingEvents(m_ctx.window))
                m_stopped = true;
        });
        return !m_stopped;
    }

    // Records the folder's real identity; false when it had been reached before.
    bool markSeen(const QString &folder) { return m_seen.firstVisit(QFile::encodeName(folder)); }

    // Appends the subfolders of every folder of the given set to found; false once the program ended.
    bool expandLevel(QStringList &given, QStringList &found)
    {
        for (qsizetype i = 0; i < given.size(); ++i) {
            const QString folder = given[i];
            if (folder.size() >= MaxPathChars)
                continue;
            // One status read serves the folder test and the hidden-system test.
            const int attributes = m_trap.value<int>(
                102, [&] { return FileAttributes(folder); }, -1);
            if (attributes == -1 || (attributes & attr::Directory) == 0)
                continue;
            if (!yield(104))
                return false;
            if (!isRootFolder(folder) && isHiddenSystemFolder(attributes))
                continue;
            std::vector<Subfolder> subfolders;
            int listingFailure = 0;
            m_trap.run(106, [&] {
                try {
                    subfolders = listSubfolders(folder);
                } catch (const RuntimeError &e) {
                    listingFailure = e.number(); // cleared: a listing failure is no error to report
                }
            });
            if (listingFailure != 0) {
                // A folder that cannot be listed for lack of permission or because it vanished leaves
                // the walk silently, and its files are not listed.
                if (listingFailure == RuntimeError::PermissionDenied || listingFailure == RuntimeError::PathNotFound) {
                    given.removeAt(i);
                    --i;
                }
                continue;
            }
            for (const Subfolder &s : subfolders) {
                if (!yield(108))
                    return false;
                m_trap.run(110, [&] {
                    if (s.name.size() >= MaxPathChars || HasUnsafeChars(s.name) || s.name.contains(u'?')
                        || s.name == QLatin1String(".") || s.name == QLatin1String(".."))
                        return;
                    if (!m_seen.firstVisit(s.id))
                        return;
                    found.append(folder + s.name + u'/');
                });
            }
        }
        return true;
    }

    const UiContext &m_ctx;
    Trap m_trap;
    fs::LoopGuard m_seen;
    bool m_stopped = false;
};

// Attributes exactly 34 need a hidden name; only such names are worth a status call.
bool isWritableHiddenFile(const QString &name, const QString &path)
{
    return name.startsWith(u'.') && FileAttributes(path) == attr::HiddenArchiveFile;
}

} // namespace

QString FolderSetEntry(const QString &folder) { return folder.endsWith(u'/') ? folder : folder + u'/'; }

void GetSubDirectories2016(const UiContext &ctx, QStringList &folders, bool recurse)
{
    Walk(ctx).run(folders, recurse);
}

QStringList ListFiles(const QString &folder, const QString &pattern)
{
    const QString base = FolderSetEntry(folder);
    const QByteArray native = QFile::encodeName(base);
    QStringList names;
    DirHandle dir(::opendir(native.constData()));
    if (!dir)
        return names;
    const int fd = ::dirfd(dir.get());
    while (const dirent *entry = ::readdir(dir.get())) {
        if (isDotOrDotDot(entry->d_name) || entry->d_type == DT_DIR)
            continue;
        const QString name = decodeName(entry->d_name);
        if (name.isNull() || !MatchesPattern(name, pattern))
            continue;
        // The existing-file test, as IsExistingFile makes it: the name must lead to a regular file (links
        // followed). The entry type alone is not enough: in a folder that can be listed but not searched
        // every entry says "regular file", yet none of them can be opened.
        struct stat status {};
        if (::fstatat(fd, entry->d_name, &status, 0) != 0 || !S_ISREG(status.st_mode))
            continue;
        names.append(name);
    }
    sortNames(names);
    return names;
}

QStringList CollectFolderFiles(const QStringList &folders, const QString &pattern)
{
    QStringList paths;
    for (const QString &entry : folders) {
        const QString folder = entry.chopped(1); // without its closing separator
        const QStringList names = ListFiles(folder, pattern);
        for (const QString &name : names) {
            if (name.startsWith(u'~'))
                continue;
            const QString path = folder + u'/' + name;
            // ListFiles has just established that the name is an existing regular file.
            if (isWritableHiddenFile(name, path))
                continue;
            paths.append(NormalizeSlashes(path));
        }
    }
    return paths;
}

bool AddFolderTree(const UiContext &ctx, InputFileList &list, const QString &folder, const QString &pattern)
{
    QStringList folders{FolderSetEntry(folder)};
    GetSubDirectories2016(ctx, folders, true);
    if (ctx.window && ctx.window->hasEnded())
        return false;
    list.addMany(CollectFolderFiles(folders, pattern));
    return true;
}

} // namespace filelist
