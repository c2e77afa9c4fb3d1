// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "extract/ExtractionRun.h"
#include "core/ErrorLocation.h"
#include "extract/FileNameFromPath.h"
#include "extract/PauseSeconds.h"
#include "extract/RunProgress.h"
#include "filelist/InputFileList.h"
#include "platform/RuntimeError.h"
#include "properties/PropertyCatalogue.h"
#include "results/DisplayPatterns.h"
#include "results/ResultsTable.h"
#include <cmath>

namespace {
const QString NotSet = QStringLiteral("Not set");
}

std::optional<word::PropertyValue> ExtractionRun::ReadDocumentProperty(IWordApplication &instance,
                                                                       const QString &wordName)
{
    try {
        return instance.activeDocument()->builtinProperty(wordName);
    } catch (...) {
        return std::nullopt;
    }
}

void ExtractionRun::runExtraction()
{
    if (m_inProgress) // [100] a second start while running does nothing
        return;
    m_inProgress = true; // [102]
    Trap t(*m_ctx.errors, errorLocation::of(QStringLiteral("Form1"), QStringLiteral("PushButton3_Click")));

    bool hasEntries = true;
    t.run(104, [&] { hasEntries = m_list.count() > 0; });
    if (!hasEntries) {
        t.run(284, [&] { m_ctx.inform(QStringLiteral("No files added.")); });
        m_inProgress = false; // [286]
        return;
    }

    t.run(106, [&] { m_ctx.window->setMousePointer(pointer::Busy); });
    t.run(108, [&] { m_table.removeAllColumns(); });
    t.run(110, [&] { m_table.addColumn(QStringLiteral("Filename")); });
    QStringList names; // [112]
    for (int n = 1; n <= catalogue::RowCount; ++n) {
        if (!processPendingEvents(m_ctx.window)) // [116]
            return;
        const CatalogueRow &row = catalogue::row(n);
        if (t.test(118, [&] { return catalogue::selectedForRun(catalogue::readSelection(*m_ctx.settings, n)); })) {
            t.run(118 + 4 * n, [&] { m_table.addColumn(QString::fromUtf16(row.columnHeader)); });
            t.run(120 + 4 * n, [&] { names << QString::fromUtf16(row.wordName); });
        }
    }
    t.run(220, [&] { m_table.clearRows(); });

    std::unique_ptr<IWordApplication> instance;
    t.run(222, [&] { instance = m_ctx.platform.word->create(instanceOptions(names)); });
    // Counting a text costs more than the rest of a read: the engine counts only for chosen count columns.
    if (instance)
        instance->willAsk(names);

    int count = 0;
    t.run(224, [&] { count = m_list.count(); });
    for (int k = 1; k <= count; ++k) {
        processDocument(t, instance.get(), names, k);
        if (ended())
            return; // the window closed: nothing more runs, not even the engine's quit
    }

    if (instance)
        t.run(264, [&] { instance->quit(); });
    names.clear();    // [266]
    instance.reset(); // [268]
    t.run(270, [&] {
        m_table.checkAllRows(); // [272]
    });
    t.run(276, [&] { m_ctx.window->setMousePointer(pointer::Default); });
    t.run(278, [&] { m_progress.showPercent(0); });
    t.run(280, [&] { m_progress.showText(QStringLiteral("Progress Bar")); });
    t.run(282, [&] { m_ctx.inform(QStringLiteral("Done.")); });
    m_inProgress = false; // [286]
}

WordInstanceOptions ExtractionRun::instanceOptions(const QStringList &names) const
{
    WordInstanceOptions options;
    // A layout is what pages and lines cost where a document stores none: only a run that shows them pays.
    options.layoutPagesAndLines =
        names.contains(QStringLiteral("Number of Pages")) || names.contains(QStringLiteral("Number of Lines"));
    // Waiting for a layout is waiting as the page-count pause does: the window keeps answering, and its
    // closing ends the wait.
    const MainWindowState *window = m_ctx.window;
    options.whileWaiting = [window](int maxMs) { return waitForEvents(window, maxMs); };
    return options;
}

// The page-count wait: two reads half a second apart must agree. It ends at once when the count cannot be
// read, and gives up on a count that never settles; false when the run ended meanwhile.
bool ExtractionRun::waitForSteadyPageCount(IWordDocument &document)
{
    qint32 a = 0; // [238]
    qint32 b = 1; // [240]
    int reads = 0;
    while (a != b) { // [242]
        try {
            a = toInt32(document.builtinProperty(14));                     // [244]
            PauseSeconds(m_pageWait, *m_ctx.platform.clock, m_ctx.window); // [246]
            if (ended())
                return false;
            b = toInt32(document.builtinProperty(14)); // [248]
        } catch (const RuntimeError &) {
            break;
        }
        reads += 2;
        if (reads >= MaxPageCountReads)
            break;
    }
    return true;
}

void ExtractionRun::processDocument(Trap &t, IWordApplication *instance, const QStringList &names, int k)
{
    QString path;
    // An entry that is gone by the time the run reaches it is reported and skipped, rather than
    // processing the previous path a second time.
    if (!t.run(226, [&] { path = m_list.text(k); }))
        return;
    t.run(228, [&] {
        const double percent = static_cast<double>(k) / static_cast<double>(m_list.count()) * 100.0;
        m_progress.showPercent(static_cast<int>(std::lround(percent)));
    });
    t.run(230, [&] { m_progress.showText(QStringLiteral("Processing: ") + FileNameFromPath(path)); });
    if (!processPendingEvents(m_ctx.window)) // [232]
        return;

    std::shared_ptr<IWordDocument> document;
    // Without an engine instance the creation failure was already reported once; the entries still get
    // their rows, with every property "Not set".
    if (instance)
        t.run(234, [&] { document = instance->open(path); });

    ResultsTable::RowId row = 0;
    bool rowAdded = t.run(236, [&] { row = m_table.appendRow(path); });

    if (document && !waitForSteadyPageCount(*document))
        return;

    for (int c = 2; c <= names.size() + 1; ++c) { // [250]
        if (!processPendingEvents(m_ctx.window))  // [252]
            return;
        // The user may have cleared the results meanwhile: a vanished row is skipped, never rewritten.
        if (!rowAdded || !m_table.rowExists(row))
            continue;
        std::optional<word::PropertyValue> value;
        if (document && instance)
            value = ReadDocumentProperty(*instance, names.at(c - 2));
        t.run(254, [&] {
            // The table shows the value in the user's locale and keeps its type beside the text.
            if (m_table.rowExists(row))
                m_table.setValue(row, c - 1, value ? results::displayText(*value) : NotSet,
                                 value ? TypedValue::of(*value) : TypedValue());
        });
    }

    if (document) {
        t.run(258, [&] { document->close(0); });
        document.reset(); // [260]
    }
}
