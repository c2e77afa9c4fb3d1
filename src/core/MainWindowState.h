// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Mouse pointer values of a window.
namespace pointer {
constexpr int Default = 0;
constexpr int Arrow = 1;
constexpr int Busy = 11;
constexpr int Custom = 99;
} // namespace pointer

// What handlers outside the main window need to know of it: the window-wide pointer, which tells
// whether a long operation is running, and whether the program has ended (a test's injected ending
// returns, so long loops stop when they see it).
class MainWindowState {
public:
    virtual ~MainWindowState() = default;
    virtual int mousePointer() const = 0;
    virtual void setMousePointer(int value) = 0;
    virtual bool hasEnded() const = 0;

    bool isBusy() const { return mousePointer() == pointer::Busy; }
    // The hover rules: never replace the busy pointer.
    void hoverToHand()
    {
        if (!isBusy())
            setMousePointer(pointer::Custom);
    }
    void hoverToArrow()
    {
        if (!isBusy())
            setMousePointer(pointer::Default);
    }
};
