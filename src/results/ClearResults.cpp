#include "results/ClearResults.h"
#include "app/ErrorReport.h"
#include "app/UiContext.h"
#include "results/Locations.h"
#include "results/ResultsTable.h"

namespace results {

void PushButton5_Click(const UiContext &ctx, ResultsTable &table)
{
    Trap t(*ctx.errors, location::ClearResults);
    t.run(100, [&] { table.clearRows(); });
}

} // namespace results
