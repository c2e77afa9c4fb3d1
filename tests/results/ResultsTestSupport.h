// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the results tests with a window share: a main window stand-in, a handler context over the fake
// platform and a quick way to fill a results table.
#include "FakeContext.h"
#include "ResultsTableFill.h"

using Harness = FakeContext;
