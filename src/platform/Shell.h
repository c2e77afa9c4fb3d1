// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// Hands URLs and folders to the desktop.
class IShell {
public:
    virtual ~IShell() = default;
    // Throws RuntimeError when the desktop refuses the address.
    virtual void openUrl(const QString &url) = 0;
    virtual void openFolder(const QString &path) = 0;
    // Opens a file in the desktop's default program for it; false when nothing could be started.
    virtual bool openFile(const QString &path) = 0;
    // True when the desktop has a program registered for the MIME type.
    virtual bool hasHandlerFor(const QString &mimeType) = 0;
};
