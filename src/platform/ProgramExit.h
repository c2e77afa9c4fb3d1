// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Ends the whole program at once. The real one never returns; a test's fake records the call.
class IProgramExit {
public:
    virtual ~IProgramExit() = default;
    virtual void endNow() = 0;
};
