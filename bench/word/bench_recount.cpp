// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How close the engine's own counts come to the counts stored in real documents. Over a folder of
// documents (the shared corpus by default) every file is read twice: as stored, and with a recount. For
// each format and statistic it prints how many documents store the value, the share whose recount is
// within 1 % and within 3 % of it, and the largest differences. Run by hand:
//   bench_recount [FOLDER] [--worst N] [--list]   (--list: every comparison, tab-separated)
#include "word/Engine.h"
#include "word/Errors.h"
#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

using word::Builtin;

namespace {

struct Difference {
    QString file;
    qint64 stored = 0;
    qint64 counted = 0;
    double relative() const
    {
        return stored == counted ? 0.0
                                 : std::abs(double(counted - stored)) / std::max<double>(1.0, double(std::abs(stored)));
    }
};

const std::pair<Builtin, const char *> kStatistics[] = {{Builtin::NumberOfWords, "words"},
                                                        {Builtin::NumberOfCharacters, "characters"},
                                                        {Builtin::NumberOfCharactersWithSpaces, "with spaces"},
                                                        {Builtin::NumberOfParagraphs, "paragraphs"}};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString folder = QStringLiteral(QV_SHARED_DIR "/corpus");
    int worst = 5;
    bool list = false;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--worst") && i + 1 < args.size())
            worst = args[++i].toInt();
        else if (args[i] == QLatin1String("--list"))
            list = true;
        else
            folder = args[i];
    }
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();

    // format -> statistic -> the documents that store it
    std::map<QString, std::map<QString, std::vector<Difference>>> table;
    std::map<QString, int> opened, computedOnly;
    qint64 readNs = 0, recountNs = 0;
    std::vector<std::pair<qint64, QString>> slowest; // reads as stored, by time
    for (const QString &file : files) {
        try {
            QElapsedTimer t;
            t.start();
            const auto stored = word::readDocumentProperties(file);
            readNs += t.nsecsElapsed();
            slowest.push_back({t.nsecsElapsed(), QDir(folder).relativeFilePath(file)});
            t.restart();
            const auto recount = word::readDocumentProperties(file, word::ReadOptions{true});
            recountNs += t.nsecsElapsed();
            ++opened[stored.format()];
            if (!stored.computed().isEmpty())
                ++computedOnly[stored.format()];
            for (const auto &[id, name] : kStatistics) {
                const auto s = stored.get(id);
                const auto c = recount.get(id);
                if (!s || !c || stored.computed().contains(id))
                    continue;
                table[stored.format()][QLatin1String(name)].push_back(
                    {QDir(folder).relativeFilePath(file), s->asInteger(), c->asInteger()});
            }
        } catch (const word::Error &) {
            // Files the engine cannot open have nothing to compare.
        }
    }

    std::printf("%lld files; read as stored %.1f ms in all, with a recount %.1f ms\n",
                static_cast<long long>(files.size()), readNs / 1e6, recountNs / 1e6);
    std::sort(slowest.begin(), slowest.end(), std::greater<>());
    for (int i = 0; i < 3 && i < static_cast<int>(slowest.size()); ++i)
        std::printf("  slowest read as stored: %.1f ms %s\n", slowest[i].first / 1e6, qPrintable(slowest[i].second));
    for (const auto &[format, n] : opened)
        std::printf("  %-7s %4d opened, %4d with statistics computed because the file stores none\n",
                    qPrintable(format), n, computedOnly[format]);
    std::printf("\n%-7s %-12s %6s %8s %8s %8s\n", "format", "statistic", "stored", "equal", "<=1%", "<=3%");
    std::vector<std::pair<QString, Difference>> largest;
    for (auto &[format, statistics] : table) {
        for (const auto &[id, name] : kStatistics) {
            auto &rows = statistics[QLatin1String(name)];
            if (rows.empty())
                continue;
            int equal = 0, one = 0, three = 0;
            for (const Difference &d : rows) {
                equal += d.stored == d.counted;
                one += d.relative() <= 0.01;
                three += d.relative() <= 0.03;
                largest.push_back({format + QLatin1Char(' ') + QLatin1String(name), d});
            }
            const double n = double(rows.size());
            std::printf("%-7s %-12s %6zu %7.0f%% %7.0f%% %7.0f%%\n", qPrintable(format), name, rows.size(),
                        100 * equal / n, 100 * one / n, 100 * three / n);
        }
    }
    std::sort(largest.begin(), largest.end(), [](const auto &a, const auto &b) {
        return std::abs(a.second.counted - a.second.stored) > std::abs(b.second.counted - b.second.stored);
    });
    if (list)
        for (const auto &[what, d] : largest)
            std::printf("%s\t%lld\t%lld\t%s\n", qPrintable(what), static_cast<long long>(d.stored),
                        static_cast<long long>(d.counted), qPrintable(d.file));
    std::printf("\nlargest differences:\n");
    for (int i = 0; i < worst && i < static_cast<int>(largest.size()); ++i)
        std::printf("  %-22s stored %8lld counted %8lld  %s\n", qPrintable(largest[i].first),
                    static_cast<long long>(largest[i].second.stored), static_cast<long long>(largest[i].second.counted),
                    qPrintable(largest[i].second.file));
    return 0;
}
