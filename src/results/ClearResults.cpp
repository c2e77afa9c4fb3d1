// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ClearResults.h"
#include "core/ErrorReport.h"
#include "core/UiContext.h"
#include "results/Locations.h"
#include "results/ResultsTable.h"

namespace results {

void clearResults(const UiContext &ctx, ResultsTable &table)
{
    Trap t(*ctx.errors, location::ClearResults);
    t.run(100, [&] { table.clearRows(); });
}

} // namespace results
