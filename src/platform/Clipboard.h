// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// One attempt each; false when the clipboard refused.
class IClipboard {
public:
    virtual ~IClipboard() = default;
    virtual bool clear() = 0;
    virtual bool setText(const QString &text) = 0;
};
