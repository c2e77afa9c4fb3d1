// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// Collapses the doubled separators that arise when the fillers join a folder and a name, without
// touching the leading pair of a network-style path ("//server/share").
//
// The separator is '/'. A path that starts with exactly one '/' is an ordinary absolute path and keeps
// that single leading separator; a path that starts with two or more keeps exactly two. After the
// leading run, each non-overlapping pair of adjacent separators becomes one, so a run of n becomes
// ceil(n/2): two become one, three become two, four become two.
QString NormalizeSlashes(const QString &path);
