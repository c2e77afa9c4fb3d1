// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/UiContext.h"
#include "word/PropertyValue.h"
#include <optional>

class InputFileList;
class ResultsTable;
class IRunProgress;

// "3. Start Extracting": reads the selected properties of every listed document into the results table.
class ExtractionRun {
public:
    // pageWaitSeconds is the pause between the two page-count reads; tests pass a shorter one.
    ExtractionRun(const UiContext &ctx, InputFileList &list, ResultsTable &table, IRunProgress &progress,
                  double pageWaitSeconds = 0.5)
        : m_ctx(ctx), m_list(list), m_table(table), m_progress(progress), m_pageWait(pageWaitSeconds)
    {
    }

    void runExtraction();
    bool inProgress() const { return m_inProgress; }

    // Reads one property of the active document, typed; nothing when anything fails, which the table
    // shows as "Not set". Never throws.
    static std::optional<word::PropertyValue> ReadDocumentProperty(IWordApplication &instance, const QString &wordName);

    // Reads of the page count before the wait gives up on a count that never settles.
    static constexpr int MaxPageCountReads = 40;

private:
    void processDocument(Trap &t, IWordApplication *instance, const QStringList &names, int k);
    bool waitForSteadyPageCount(IWordDocument &document);
    WordInstanceOptions instanceOptions(const QStringList &names) const;
    bool ended() const { return m_ctx.programEnded(); }

    const UiContext &m_ctx;
    InputFileList &m_list;
    ResultsTable &m_table;
    IRunProgress &m_progress;
    double m_pageWait;
    bool m_inProgress = false;
};
