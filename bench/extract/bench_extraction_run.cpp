// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Runs "3. Start Extracting" over 1,000 list entries with the real document engine and no page-count
// pause, and prints the time per document spent in the engine, the table and event processing.
// With --pause the run waits for the page count as the program does, which shows what an idle wait
// costs in processor time (run it under /usr/bin/time).
// Usage: bench_extraction_run [--entries N] [--pause SECONDS] [FILE|FOLDER ...]   (default: the samples)
#include "FakeContext.h"
#include "FakeProgress.h"
#include "extract/ExtractionRun.h"
#include "filelist/InputFileList.h"
#include "platform/DesktopPlatform.h"
#include "platform/EngineWordFactory.h"
#include "results/ResultsTable.h"
#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList roots = app.arguments().mid(1);
    int entries = 1000;
    double pause = 0.0;
    for (;;) {
        if (roots.size() >= 2 && roots.first() == QStringLiteral("--entries"))
            entries = qBound(1, roots.at(1).toInt(), 1000000);
        else if (roots.size() >= 2 && roots.first() == QStringLiteral("--pause"))
            pause = qBound(0.0, roots.at(1).toDouble(), 60.0);
        else
            break;
        roots = roots.mid(2);
    }
    if (roots.isEmpty())
        roots << QStringLiteral(QV_SOURCE_DIR "/dist/Samples");
    QStringList documents;
    for (const QString &root : roots) {
        if (QFileInfo(root).isDir()) {
            QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                documents << it.next();
        } else {
            documents << root;
        }
    }
    if (documents.isEmpty()) {
        std::fprintf(stderr, "no documents found\n");
        return 2;
    }
    const int Entries = entries;

    FakeContext context;
    FakePlatform &fake = context.fakes;
    context.ctx.platform.word = makeEngineWordFactory();
    context.ctx.platform.clock = std::make_shared<SystemClock>();
    InputFileList list;
    for (int i = 0; i < Entries; ++i)
        list.add(documents.at(i % documents.size()));
    ResultsTable table;
    FakeProgress bar;
    ExtractionRun run(context.ctx, list, table, bar, pause);

    QElapsedTimer timer;
    timer.start();
    run.runExtraction();
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    int reports = 0;
    for (const ShownMessage &m : fake.messages->shown)
        reports += m.title == QStringLiteral("Application Error");
    std::printf("documents: %d (cycling %lld distinct files), 24 properties each\n", Entries,
                static_cast<long long>(documents.size()));
    std::printf("pause per document: %.2f s\n", pause);
    std::printf("total: %.1f ms, per document: %.3f ms (target <= 2 ms without pause), failed opens reported: %d\n", ms,
                ms / Entries, reports);
    return table.rows() == Entries ? 0 : 1;
}
