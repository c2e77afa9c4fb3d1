// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Times the folder import over a generated tree against `find` over the same tree.
// Usage: bench_FolderImport [folders (default 5000)] [files per folder (default 20)] [runs (default 3)]
// Build in Release for meaningful figures; run with QT_QPA_PLATFORM=offscreen when there is no display.
#include "core/ErrorReport.h"
#include "core/MainWindowState.h"
#include "core/SettingsStore.h"
#include "core/UiContext.h"
#include "filelist/FileListHandlers.h"
#include "filelist/InputFileList.h"
#include "filelist/InputFileListView.h"
#include "platform/fakes/FakePlatform.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

class BenchWindow : public MainWindowState {
public:
    int mousePointer() const override { return m_pointer; }
    void setMousePointer(int v) override { m_pointer = v; }
    bool hasEnded() const override
    {
        ++yields;
        return false;
    }
    mutable long yields = 0;

private:
    int m_pointer = 0;
};

// 50 top folders, each holding the rest of the folders evenly; every folder holds the same number of
// files with a mix of extensions.
long buildTree(const QString &root, int folders, int filesPerFolder)
{
    const int top = std::max(1, std::min(50, folders));
    const char *extensions[] = {".doc", ".docx", ".txt", ".pdf", ".rtf"};
    std::vector<QByteArray> dirs;
    for (int t = 0; t < top; ++t)
        dirs.push_back(QFile::encodeName(root) + "/top" + QByteArray::number(t));
    for (int i = top; i < folders; ++i)
        dirs.push_back(dirs[static_cast<size_t>(i % top)] + "/sub" + QByteArray::number(i));
    long files = 0;
    for (const QByteArray &d : dirs) {
        ::mkdir(d.constData(), 0755);
        for (int f = 0; f < filesPerFolder; ++f) {
            const QByteArray p = d + "/file" + QByteArray::number(f) + extensions[f % 5];
            const int fd = ::open(p.constData(), O_CREAT | O_WRONLY, 0644);
            if (fd >= 0) {
                ::close(fd);
                ++files;
            }
        }
    }
    return files;
}

double timeFind(const QString &root)
{
    QElapsedTimer timer;
    timer.start();
    QProcess find;
    find.setStandardOutputFile(QProcess::nullDevice());
    find.start(QStringLiteral("find"), {root, QStringLiteral("-type"), QStringLiteral("f")});
    find.waitForFinished(-1);
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int folders = argc > 1 ? std::atoi(argv[1]) : 5000;
    const int perFolder = argc > 2 ? std::atoi(argv[2]) : 20;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 3;

    QTemporaryDir dir;
    QElapsedTimer timer;
    timer.start();
    const long files = buildTree(dir.path(), folders, perFolder);
    std::printf("tree: %ld files in %d folders under %s (built in %.2f s)\n", files, folders, qPrintable(dir.path()),
                timer.nsecsElapsed() / 1e9);

    FakePlatform fakes;
    BenchWindow window;
    ErrorReporter errors(fakes.messages);
    SettingsStore settings(fakes.settings);
    UiContext ctx;
    ctx.platform = fakes.platform();
    ctx.errors = &errors;
    ctx.settings = &settings;
    ctx.window = &window;
    ctx.appTitle = QStringLiteral("Quillmere");

    timeFind(dir.path()); // warm the cache
    std::vector<double> findTimes, importTimes, dropTimes;
    for (int r = 0; r < runs; ++r) {
        findTimes.push_back(timeFind(dir.path()));

        InputFileList list;
        InputFileListView view(&list, &ctx);
        view.addFileColumn();
        view.resize(600, 400);
        view.show();
        fakes.messages->inputAnswers.push_back(QStringLiteral("*"));
        fakes.dialogs->folderAnswers.push_back(dir.path());
        window.yields = 0;
        timer.restart();
        filelist::addFolderFiles(ctx, list);
        QCoreApplication::processEvents(); // let the view take in the new rows
        importTimes.push_back(timer.nsecsElapsed() / 1e9);
        if (list.count() != files) {
            std::fprintf(stderr, "import listed %d entries, expected %ld\n", list.count(), files);
            return 1;
        }
        const long yields = window.yields;

        list.clear();
        timer.restart();
        view.dropPaths({dir.path()});
        QCoreApplication::processEvents();
        dropTimes.push_back(timer.nsecsElapsed() / 1e9);
        if (list.count() != files) {
            std::fprintf(stderr, "drop listed %d entries, expected %ld\n", list.count(), files);
            return 1;
        }
        std::printf("run %d: find %.3f s, import %.3f s (%ld yields), drop %.3f s\n", r + 1, findTimes.back(),
                    importTimes.back(), yields, dropTimes.back());
    }
    {
        // Entries added one at a time (the sample loader's way) into a shown list.
        InputFileList list;
        InputFileListView view(&list, &ctx);
        view.addFileColumn();
        view.resize(600, 400);
        view.show();
        QCoreApplication::processEvents();
        timer.restart();
        for (long i = 0; i < files; ++i)
            list.add(QStringLiteral("/data/folder/document-%1.docx").arg(i));
        QCoreApplication::processEvents();
        std::printf("%ld single adds into a shown list: %.3f s\n", files, timer.nsecsElapsed() / 1e9);
    }
    {
        // What the walk's yields cost on their own: one round of pending events per folder and subfolder.
        timer.restart();
        for (int i = 0; i < 3 * folders; ++i)
            processPendingEvents(&window);
        std::printf("%d yields alone: %.3f s\n", 3 * folders, timer.nsecsElapsed() / 1e9);
    }
    const auto best = [](const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); };
    std::printf("best: find %.3f s, import %.3f s, drop %.3f s; import/find = %.2f (target <= 3)\n", best(findTimes),
                best(importTimes), best(dropTimes), best(importTimes) / best(findTimes));
    return best(importTimes) / best(findTimes) <= 3.0 ? 0 : 2;
}
