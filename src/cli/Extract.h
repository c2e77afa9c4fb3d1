// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdio>

namespace cli {

// The whole command: parses the arguments, reads the inputs on several threads and writes the records
// in input order to `out`; failures, progress and the summary go to `err`. Returns the exit status.
int run(int argc, char **argv, FILE *out, FILE *err);

} // namespace cli
