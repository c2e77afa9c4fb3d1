#pragma once

class ResultsTable;
struct UiContext;

namespace results {
// "Clear Results": removes every row; the columns stay. No question before, no message after.
void PushButton5_Click(const UiContext &ctx, ResultsTable &table);
} // namespace results
