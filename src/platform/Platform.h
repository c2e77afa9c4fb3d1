// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramExit.h"
#include "platform/SettingsBackend.h"
#include "platform/Shell.h"
#include "platform/Spreadsheet.h"
#include "platform/WordAutomation.h"
#include <memory>

// Every facility the program takes from the desktop, in one bundle that tests replace piece by piece.
struct Platform {
    std::shared_ptr<IMessageBoxes> messages;
    std::shared_ptr<IFileDialogs> dialogs;
    std::shared_ptr<IShell> shell;
    std::shared_ptr<IClipboard> clipboard;
    std::shared_ptr<IClock> clock;
    std::shared_ptr<IRandom> random;
    std::shared_ptr<ISettingsBackend> settings;
    std::shared_ptr<IProgramExit> exit;
    std::shared_ptr<IWordFactory> word;
    std::shared_ptr<ISpreadsheet> spreadsheet;

    // The real desktop facilities.
    static Platform desktop();
};
