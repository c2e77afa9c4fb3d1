// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>

namespace cli {

// The command's name: it begins every line the command writes on the error output, and names it in
// --help and --version.
inline constexpr char kCommandName[] = "quillmere-extract";

// A text for a line that a person reads on the error output, in UTF-8. File names and document texts may
// hold control characters that would end the line early, forge another (a fake failure or summary) or
// move the cursor: those, and the backslash itself so that an escape cannot be forged either, are
// written as backslash escapes the way `ls -b` shows names (\n, \t, \\, octal \033 for the rest).
QByteArray escapedForTerminal(const QString &text);

} // namespace cli
