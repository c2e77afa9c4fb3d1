// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
class QWidget;

// The open/save dialogs and the folder chooser.
class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;
    // Multi-selection open dialog. The answer is one string: one full path when one file was chosen;
    // otherwise the folder, then each name, separated by NUL characters (a name holds the rest of its
    // path when the files lie in different folders below that one). An empty text on cancel.
    // Throws RuntimeError 20476 when the answer does not fit the 30000-character name buffer.
    virtual QString openFiles(QWidget *owner, const QString &title, const QString &filter) = 0;
    // Save dialog; returns the chosen path or an empty text on cancel. No overwrite prompt.
    virtual QString saveFile(QWidget *owner, const QString &title, const QString &filter) = 0;
    // Folder chooser opened on startFolder; returns the chosen folder or an empty text.
    virtual QString chooseFolder(QWidget *owner, const QString &prompt, const QString &startFolder) = 0;

    static constexpr int FileNameBufferChars = 30000;
    // Builds the multi-selection answer (folder, NUL, names) from the chosen paths and refuses one that
    // does not fit the name buffer.
    static QString answerFor(const QStringList &fullPaths);
};
