// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

struct UiContext;
class InputFileList;
class QWidget;

// The main window's buttons that fill or empty the input file list. Each is a trapping procedure:
// run-time errors go to the error report under the button's location and the handler goes on.
namespace filelist {

// "1. Add Word File(s)": the multi-selection open dialog.
void addFiles(const UiContext &ctx, InputFileList &list);
// "Clear List": empties the list unless a long operation shows the busy pointer.
void clearList(const UiContext &ctx, InputFileList &list);
// "1. Add All Word File(s) In Folder": asks for an extension and a folder, then walks it.
void addFolderFiles(const UiContext &ctx, InputFileList &list);

// The folder chooser opened on startFolder; the chosen folder's path, or an empty text on cancel.
QString ChooseFolder(const UiContext &ctx, QWidget *owner, const QString &prompt, const QString &startFolder);

// Texts the handlers show.
inline const QString AddFilesTitle = QStringLiteral("Add File(s) - Hold Ctrl to select multiple files");
inline const QString AddFilesFilter = QStringLiteral("Word Files (*.doc*)");
inline const QString TooManyFilesText =
    QStringLiteral("You've selected too many files to add.\r\rPlease try adding via the \"Add All\" button.");
inline const QString ExtensionPrompt = QStringLiteral(
    "Enter file extension to load:\r\r(* for all files, txt for all txt files, doc for all doc files, etc.)");
inline const QString FolderPrompt = QStringLiteral("Please select folder:");

} // namespace filelist
