// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ErrorLocation.h"
#include "core/ErrorReport.h"
#include "core/UiContext.h"
#include "filelist/FileListHandlers.h"
#include "filelist/InputFileList.h"
#include "filelist/NormalizeSlashes.h"
#include "platform/RuntimeError.h"

namespace filelist {

void addFiles(const UiContext &ctx, InputFileList &list)
{
    Trap t(*ctx.errors, errorLocation::of(QStringLiteral("Form1"), QStringLiteral("PushButton7_Click")));
    QString answer;
    bool tooMany = false;
    t.run(100, [&] {
        try {
            answer = ctx.platform.dialogs->openFiles(ctx.owner, AddFilesTitle, AddFilesFilter);
        } catch (const RuntimeError &e) {
            if (e.number() != RuntimeError::DialogBufferTooSmall)
                throw;
            tooMany = true;
        }
    });
    if (tooMany) {
        t.run(102, [&] { ctx.inform(TooManyFilesText); });
        return;
    }
    if (answer.isEmpty())
        return;

    const QStringList parts = answer.split(QChar(u'\0'));
    if (parts.size() == 1) {
        // One file: exactly as the dialog returned it.
        t.run(104, [&] { list.add(parts.first()); });
        return;
    }
    // Several files under one folder. The root folder already ends with the separator; joining it with
    // another would make "//name", which reads as a network path and survives normalisation.
    const QString &folder = parts.first();
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
    QStringList paths;
    paths.reserve(parts.size() - 1);
    for (qsizetype i = 1; i < parts.size(); ++i) {
        // An empty name (a doubled NUL) would add the folder itself, which is no document.
        if (!parts[i].isEmpty())
            paths.append(NormalizeSlashes(prefix + parts[i]));
    }
    t.run(106, [&] { list.addMany(paths); });
}

} // namespace filelist
