// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/ErrorReport.h"
#include "core/MainWindowState.h"
#include "core/SettingsStore.h"
#include "platform/Platform.h"
#include <QString>

class QWidget;

// What a handler module gets from the main window: the platform, the error report, the settings,
// the window's state and the application title for its message boxes.
struct UiContext {
    Platform platform;
    ErrorReporter *errors = nullptr;
    SettingsStore *settings = nullptr;
    MainWindowState *window = nullptr;
    QWidget *owner = nullptr;
    QString appTitle;
    QString programFolder;

    // The main window's pointer, where there is a main window.
    void setPointer(int value) const
    {
        if (window)
            window->setMousePointer(value);
    }
    // True once the main window was closed: long operations stop where they stand.
    bool programEnded() const { return window && window->hasEnded(); }

    // A plain message box with OK and no icon, titled with the application title.
    void inform(const QString &text) const
    {
        platform.messages->show(owner, appTitle, text, MsgButtons::Ok, MsgIcon::None);
    }
};

// Lets the window process pending events; false when the program ended meanwhile.
bool processPendingEvents(const MainWindowState *window);

// Like processPendingEvents, but when none are waiting it sleeps until one arrives or `maxMs`
// milliseconds have passed, so an idle wait costs no processor time.
bool waitForEvents(const MainWindowState *window, int maxMs);
