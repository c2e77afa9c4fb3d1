// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringView>

namespace filelist {

// Whether a file name matches a listing pattern such as "*.doc" or "*.*", the way users of the folder
// import expect a directory listing to match:
// - case-insensitive;
// - "*.*" matches every name, with or without a dot;
// - '*' stands for any run of characters, '?' for exactly one; nothing else is special (no [classes]);
// - "*." followed by a plain three-character extension also matches longer extensions that begin with
//   it, so "*.doc" finds .doc, .docx and .docm alike.
// Written by hand because fnmatch and Qt's wildcard syntax treat brackets as classes, and neither knows
// the three-character extension rule.
bool MatchesPattern(QStringView name, QStringView pattern);

} // namespace filelist
