// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// Where the extraction run shows how far it has come: a percentage and a line naming the document.
// The window shows them on its progress bar; the run itself needs no widget.
class IRunProgress {
public:
    virtual ~IRunProgress() = default;
    virtual void showPercent(int percent) = 0;
    virtual void showText(const QString &text) = 0;
};
