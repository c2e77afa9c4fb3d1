// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace cli {

// The whole --help text around the parser's list of options: what the command does, what each line of
// output holds, and the exit statuses. The manual page is generated from it.
QString helpText(const QString &parserHelp);

} // namespace cli
