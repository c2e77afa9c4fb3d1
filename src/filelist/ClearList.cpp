// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ErrorLocation.h"
#include "core/ErrorReport.h"
#include "core/UiContext.h"
#include "filelist/FileListHandlers.h"
#include "filelist/InputFileList.h"

namespace filelist {

void clearList(const UiContext &ctx, InputFileList &list)
{
    Trap t(*ctx.errors, errorLocation::of(QStringLiteral("Form1"), QStringLiteral("PushButton8_Click")));
    // A long operation may still be reading the list: leave it alone while the busy pointer shows.
    if (t.test(100, [&] { return ctx.window && ctx.window->isBusy(); }))
        return;
    t.run(102, [&] { list.clear(); });
}

} // namespace filelist
