// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QIcon>

// The program's multi-size icon (32, 48, 128 and 256 pixels).
QIcon programIcon();
