// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class ResultsTable;
struct UiContext;

namespace results {
// "Clear Results": removes every row; the columns stay. No question before, no message after.
void clearResults(const UiContext &ctx, ResultsTable &table);
} // namespace results
