// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// The part of a path after its last separator (all of it when there is none).
QString FileNameFromPath(const QString &path);
