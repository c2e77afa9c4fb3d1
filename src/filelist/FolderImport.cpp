// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ErrorLocation.h"
#include "core/ErrorReport.h"
#include "core/MainWindowState.h"
#include "core/UiContext.h"
#include "filelist/FileListHandlers.h"
#include "filelist/FolderWalk.h"
#include "filelist/InputFileList.h"

namespace filelist {

QString ChooseFolder(const UiContext &ctx, QWidget *owner, const QString &prompt, const QString &startFolder)
{
    return ctx.platform.dialogs->chooseFolder(owner, prompt, startFolder);
}

void addFolderFiles(const UiContext &ctx, InputFileList &list)
{
    Trap t(*ctx.errors, errorLocation::of(QStringLiteral("Form1"), QStringLiteral("PushButton4_Click")));

    const QString stored = t.value<QString>(100, [&] { return ctx.settings->read(setting::Extension); }, {});
    const QString extension = t.value<QString>(
        102, [&] { return ctx.platform.messages->inputBox(ctx.owner, ctx.appTitle, ExtensionPrompt, stored); }, {});
    if (t.test(104, [&] { return extension.isEmpty(); }))
        return;
    // Kept at once, even if the folder choice is then cancelled.
    t.run(106, [&] { ctx.settings->write(setting::Extension, extension); });

    const QString lastFolder = t.value<QString>(108, [&] { return ctx.settings->read(setting::LastFolder); }, {});
    const QString folder =
        t.value<QString>(110, [&] { return ChooseFolder(ctx, ctx.owner, FolderPrompt, lastFolder); }, {});
    if (t.test(112, [&] { return folder.isEmpty(); }))
        return;
    t.run(114, [&] { ctx.settings->write(setting::LastFolder, folder); });

    t.run(116, [&] { ctx.window->setMousePointer(pointer::Busy); });
    QStringList folders{FolderSetEntry(folder)};
    t.run(118, [&] { GetSubDirectories2016(ctx, folders, true); });
    if (ctx.window && ctx.window->hasEnded())
        return; // the window is gone: nothing more to show or fill
    const QString pattern = QStringLiteral("*.") + extension;
    // The listing does not yield, so collecting first and appending once looks the same to every
    // other handler as appending file by file, and lets the list lay out once.
    t.run(120, [&] { list.addMany(CollectFolderFiles(folders, pattern)); });
    t.run(122, [&] { ctx.window->setMousePointer(pointer::Default); });
}

} // namespace filelist
