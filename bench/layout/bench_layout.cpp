// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Lays out every document of a folder (default: the shared corpus) through the LibreOffice helper program
// (which must be built beside this benchmark) and prints the time to the first answer (the office's start), the time
// per document (median, 90th percentile, worst), its peak memory, the failures, and how often the layout's page count
// equals the one stored in the file (from the corpus's reference.json, where there is one). With --records FILE it also
// writes one JSON line per document (its path, pages, lines, the office's own word, character and paragraph counts
// after its recount, the time taken, the error), for comparing with the counts that files store and that
// quillmere-extract computes. Usage: bench_layout [--limit SECONDS] [--verbose] [--records FILE] [FOLDER|FILE ...]
#include "office/LayoutClient.h"
#include "word/Engine.h"
#include "word/Errors.h"
#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>

namespace {

// Stored page counts by absolute path, from every reference.json found in the given folders.
QHash<QString, int> storedPages(const QStringList &roots)
{
    QHash<QString, int> pages;
    for (const QString &root : roots) {
        QFile f(QDir(root).filePath(QStringLiteral("reference.json")));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QJsonArray entries = QJsonDocument::fromJson(f.readAll()).array();
        for (const QJsonValue &e : entries) {
            const QJsonObject o = e.toObject();
            const QJsonValue p = o.value(QStringLiteral("props")).toObject().value(QStringLiteral("Pages"));
            if (p.isDouble())
                pages.insert(
                    QFileInfo(QDir(root).filePath(o.value(QStringLiteral("file")).toString())).absoluteFilePath(),
                    p.toInt());
        }
    }
    return pages;
}

double percentile(std::vector<double> v, double q)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    std::chrono::milliseconds limit{60000};
    bool verbose = false;
    QString recordsPath;
    QStringList roots;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--limit") && i + 1 < args.size())
            limit = std::chrono::milliseconds(qint64(args[++i].toDouble() * 1000));
        else if (args[i] == QLatin1String("--records") && i + 1 < args.size())
            recordsPath = args[++i];
        else if (args[i] == QLatin1String("--verbose"))
            verbose = true;
        else
            roots << args[i];
    }
    if (roots.isEmpty())
        roots << QStringLiteral(QV_SHARED_DIR "/corpus");
    office::LayoutClient session;
    if (const QString why = session.unavailableReason(); !why.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        return 2;
    }
    QStringList documents;
    for (const QString &root : roots) {
        if (!QFileInfo(root).isDir()) {
            documents << root;
            continue;
        }
        QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString name = QFileInfo(path).fileName();
            if (name != QLatin1String("reference.json") && name != QLatin1String("README.md")
                && name != QLatin1String("fixtures.txt"))
                documents << path;
        }
    }
    documents.sort();
    const QHash<QString, int> stored = storedPages(roots);

    QFile records(recordsPath);
    if (!recordsPath.isEmpty() && !records.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(recordsPath));
        return 2;
    }
    QElapsedTimer clock;
    qint64 startMs = -1;

    std::vector<double> times, failedTimes;
    int failed = 0, timedOut = 0, compared = 0, equal = 0, withinOne = 0;
    QElapsedTimer total;
    total.start();
    for (const QString &doc : documents) {
        QString format;
        try {
            format = word::readDocumentProperties(doc).format();
        } catch (const word::Error &) {
            continue; // only documents the engine reads are ever laid out
        }
        clock.restart();
        const office::Measurement m = session.measure(QFile::encodeName(doc), format, limit);
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (startMs < 0) {
            startMs = qint64(ms); // the first document waits for the office to start
            continue;
        }
        if (records.isOpen()) {
            const auto count = [](std::optional<int> n) { return n ? QJsonValue(*n) : QJsonValue(); };
            const auto office = [](qint64 n) { return n >= 0 ? QJsonValue(n) : QJsonValue(); };
            const QJsonObject o{{QStringLiteral("path"), QFileInfo(doc).absoluteFilePath()},
                                {QStringLiteral("pages"), count(m.pages)},
                                {QStringLiteral("lines"), count(m.lines)},
                                {QStringLiteral("words"), office(m.officeWords)},
                                {QStringLiteral("characters"), office(m.officeCharacters)},
                                {QStringLiteral("characters_with_spaces"), office(m.officeCharactersWithSpaces)},
                                {QStringLiteral("paragraphs"), office(m.officeParagraphs)},
                                {QStringLiteral("ms"), ms},
                                {QStringLiteral("error"), m.error}};
            records.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
        }
        if (m.pages) {
            times.push_back(ms);
            const auto s = stored.find(QFileInfo(doc).absoluteFilePath());
            if (s != stored.end()) {
                ++compared;
                equal += *m.pages == *s;
                withinOne += std::abs(*m.pages - *s) <= 1;
                if (verbose && *m.pages != *s)
                    std::printf("pages %d, stored %d: %s\n", *m.pages, *s, qPrintable(doc));
            }
        } else {
            failedTimes.push_back(ms);
            ++failed;
            timedOut += m.timedOut;
            if (verbose)
                std::printf("%.0f ms: %s\n", ms, qPrintable(m.error));
        }
        if (verbose)
            std::printf("%8.1f ms  pages %s lines %s  %s\n", ms, m.pages ? qPrintable(QString::number(*m.pages)) : "-",
                        m.lines ? qPrintable(QString::number(*m.lines)) : "-", qPrintable(doc));
    }
    const double totalS = double(total.elapsed()) / 1000.0;
    const office::OfficeStatus status = session.status().value_or(office::OfficeStatus{});
    const std::int64_t peakKiB = status.peakKiB;
    const int starts = status.starts;

    std::printf("documents            %lld (laid out %zu, failed %d, of which timed out %d)\n",
                qlonglong(documents.size()), times.size(), failed, timedOut);
    std::printf("first document       %lld ms (with the office's first start, fresh profile)\n", qlonglong(startMs));
    std::printf("all documents        %.1f s, office started %d times\n", totalS, starts);
    std::printf("per laid-out doc     median %.1f ms, p90 %.1f ms, worst %.1f ms\n", percentile(times, 0.5),
                percentile(times, 0.9), percentile(times, 1.0));
    std::printf("per failed doc       median %.1f ms, worst %.1f ms\n", percentile(failedTimes, 0.5),
                percentile(failedTimes, 1.0));
    std::printf("office peak memory   %.0f MiB (highest resident size of any office process)\n",
                double(peakKiB) / 1024.0);
    if (compared > 0)
        std::printf("pages vs stored      equal %d of %d (%.0f %%), within one page %d (%.0f %%)\n", equal, compared,
                    100.0 * equal / compared, withinOne, 100.0 * withinOne / compared);
    return 0;
}
