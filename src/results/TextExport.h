// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "results/Pump.h"
#include "results/TextLineWriter.h"
#include <QList>
#include <QString>

class QIODevice;
class ResultsData;
class ResultsTable;
class Trap;
struct UiContext;

namespace results {

// The save dialog's filter: text files first, then everything.
inline const QString TextFileFilter = QStringLiteral("Text Files (*.txt);;All Files (*)");

// First pass of the text export: per column the length of its longest text, header and every row
// counted, checked or not. A text too long to count is reported through `trap` and leaves the width as
// it was. Returns false when the program ended meanwhile.
bool alignedTextWidths(const ResultsData &table, QList<int> &widths, Trap &trap, const Pump &pump = {});

// Second pass: the header line and one line per checked row, every field padded to its column's width
// and followed by a TAB. Each line that cannot be written is reported through `trap`, and the next one
// is tried. Returns false when the program ended meanwhile.
bool writeAlignedLines(const ResultsData &table, const QList<int> &widths, TextLineWriter &out, Trap &trap,
                       const Pump &pump = {});

// Both passes onto an open device, then closes it. Returns false when the program ended meanwhile.
bool writeAlignedText(const ResultsData &table, QIODevice &device, Trap &trap, const Pump &pump = {},
                      const QByteArray &encoding = textFileEncoding());

bool writeAlignedText(const ResultsTable &table, QIODevice &device, Trap &trap, const Pump &pump = {},
                      const QByteArray &encoding = textFileEncoding());

// The writer behind "4. Save Results As Text File": the table as aligned text in the file at `path`,
// replacing an existing file. Reports its own errors and goes on after each.
void SaveListviewProperlySpacedWithoutProgressBar(const UiContext &ctx, const ResultsData &table, const QString &path);
void SaveListviewProperlySpacedWithoutProgressBar(const UiContext &ctx, const ResultsTable &table, const QString &path);

// "4. Save Results As Text File": asks for the file, then writes it under the busy pointer.
void saveResultsAsText(const UiContext &ctx, ResultsTable &table);

} // namespace results
