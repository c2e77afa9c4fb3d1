// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// True when the file system can report a modification time for the path; never throws.
bool FileExists(const QString &path);
