// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "extract/WordAvailability.h"

QString wordUnavailableMessage()
{
    const QString gap = QStringLiteral("\r\n\r\n");
    return QStringLiteral("Error 842001. A normal instance of Word could not be created.") + gap
           + QStringLiteral("1. Please make sure Word is installed on this computer.") + gap
           + QStringLiteral("2. Please open Word normally and make sure a blank document opens immediately without any "
                            "interrupting window (such as an Word file recovery window).")
           + gap
           + QStringLiteral("3. Please make sure that when you double-click on a DOC or DOCX file that Word opens "
                            "normally without any interrupting messages.")
           + gap
           + QStringLiteral("4. All versions of Word are supported by this software except for the rare Word Starter "
                            "and Student editions.");
}

bool CheckWordInstalled(const UiContext &ctx)
{
    // Every failure in here is ignored: only "no instance" matters.
    std::unique_ptr<IWordApplication> instance;
    try {
        instance = ctx.platform.word->create();
    } catch (...) {
    }
    if (!instance) {
        ctx.inform(wordUnavailableMessage());
        ctx.platform.exit->endNow();
        return false;
    }
    try {
        instance->quit();
    } catch (...) {
    }
    return true;
}
