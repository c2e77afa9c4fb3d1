// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>

namespace office::helper {

// Reads requests from `in` and answers on `out` (office/Protocol.h) until the input ends, a "quit"
// arrives or the helper is told to end. Returns the exit status.
int serveRequests(int in, int out);

} // namespace office::helper
