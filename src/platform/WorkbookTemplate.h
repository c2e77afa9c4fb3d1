// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// Turns a workbook package just written as .xlsx into a template (.xltx): spreadsheet programs open a
// template as a new, untitled workbook built from it, so the user decides where to keep it and is asked
// before closing. Only the workbook's content type differs between the two. Throws RuntimeError naming
// the file when the package cannot be read or rewritten.
void markWorkbookAsTemplate(const QString &path);
