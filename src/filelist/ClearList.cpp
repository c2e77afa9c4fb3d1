#include "app/ErrorReport.h"
#include "app/Product.h"
#include "app/UiContext.h"
#include "filelist/FileListHandlers.h"
#include "filelist/InputFileList.h"

namespace filelist {

void PushButton8_Click(const UiContext &ctx, InputFileList &list)
{
    Trap t(*ctx.errors, product::LocationPrefix + QStringLiteral("Form1.PushButton8_Click"));
    // A long operation may still be reading the list: leave it alone while the busy pointer shows.
    if (t.test(100, [&] { return ctx.window && ctx.window->isBusy(); }))
        return;
    t.run(102, [&] { list.clear(); });
}

} // namespace filelist
