// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <optional>

struct UiContext;
class InputFileList;
class MainWindowState;

// The sample documents delivered in the Samples folder beside the program: recorded once in the
// settings (scrambled) and added to the input file list on request.

// Records the paths of the files now in the Samples folder under "Snapshot". Throws RuntimeError.
void RecordSampleList(const UiContext &ctx);
// Adds the recorded samples that still exist and are not yet listed, then offers to open the folder.
// Throws RuntimeError.
void LoadSampleFiles(const UiContext &ctx, InputFileList &list);
// True when an entry's text equals the text exactly (case-sensitive). Examines every entry.
bool ListContainsText(const InputFileList &list, const QString &text);

// Scrambling works on codes 0..255: the text is taken as its UTF-8 bytes (the locale's charset), so
// any path survives, and the scrambled form is a text of characters U+0001..U+00FF, one per byte.
// Each code is shifted by the code of the key's next letter, wrapping past 255 back to 1. Scrambling
// then unscrambling restores every text exactly. A character above U+00FF in a scrambled text (which
// only a damaged stored value can hold) counts as '?'.
// Both throw RuntimeError 6 (overflow) beyond 32,767 codes and 5 for an empty key. Pending events are
// processed once per code.
QString ScrambleText(const QString &text, const QString &key);
QString UnscrambleText(const QString &text, const QString &key);

namespace samples {
// The key of the stored sample list.
inline const QString ScrambleKey = QStringLiteral("quorvent");
constexpr int MaxScrambleCodes = 32767;
inline const QString OpenFolderQuestion =
    QStringLiteral("Would you like this software to open the folder where these sample files are stored (so that you "
                   "can view them before working with them)?");
// Separator of the recorded paths.
constexpr char16_t ListSeparator = u'|';

// As above, but stops (returning nothing) once the program has ended while events were processed.
std::optional<QString> ScrambleText(const QString &text, const QString &key, const MainWindowState *window);
std::optional<QString> UnscrambleText(const QString &text, const QString &key, const MainWindowState *window);

// "Load Sample/Example Files": LoadSampleFiles under the error report.
void addSampleFiles(const UiContext &ctx, InputFileList &list);
} // namespace samples
