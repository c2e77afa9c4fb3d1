// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// The program folder: where the window finds its companions (Samples/, HAND-M.CUR, drag.ico, x/o.cjs).
// A build tree or a copied folder keeps them beside the executable; an installed program keeps the
// executable under libexec/ and its data under share/. The folder beside the executable wins when it holds
// any companion; otherwise the installed data folder (given relative to the executable's folder) is
// taken when it exists; otherwise the executable's folder, whose missing files then show as today.
QString programFolder(const QString &executableFolder, const QString &dataFolderFromExecutable);
