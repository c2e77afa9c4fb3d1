// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>

namespace fs::limits {

// Bounds on what a folder tree may make a walk hold. Deeper folders are reported as errors (too deep)
// rather than entered: each level keeps its listing in memory, and real trees are a few dozen deep.
inline constexpr size_t kMaxWalkDepth = 1024;

} // namespace fs::limits
