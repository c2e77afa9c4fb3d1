// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/Settings.h"
#include <QString>
#include <array>

class SettingsStore;

// One extractable built-in property: its chooser box, caption, settings key, results header and the name
// the document engine is asked for. The three texts differ on purpose in several rows.
struct CatalogueRow {
    int number;
    const char16_t *checkBox;
    const char16_t *caption;
    const char16_t *columnHeader;
    const char16_t *wordName;
};

namespace catalogue {

constexpr int RowCount = setting::ColumnCount; // one stored choice per row
const std::array<CatalogueRow, RowCount> &rows();
const CatalogueRow &row(int number); // 1-based

// The stored selection text of a row ("1" when never written).
QString readSelection(const SettingsStore &settings, int number);
void writeSelection(SettingsStore &settings, int number, bool selected);

// The chooser ticks a box only for the text "1" exactly.
bool tickedInChooser(const QString &stored);
// The run selects a row when the text, read as a number, equals 1; a text that is no number is a
// "Type mismatch" run-time error.
bool selectedForRun(const QString &stored);

} // namespace catalogue
