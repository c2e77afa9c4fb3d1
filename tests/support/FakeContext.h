// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A stand-in for the main window's state and a handler context built on the fake platform, shared by
// the tests and the benchmarks.
#include "core/ErrorReport.h"
#include "core/MainWindowState.h"
#include "core/SettingsStore.h"
#include "core/UiContext.h"
#include "platform/fakes/FakePlatform.h"
#include <QList>
#include <QStringList>
#include <functional>

class FakeWindow : public MainWindowState {
public:
    int mousePointer() const override { return pointerValue; }
    void setMousePointer(int value) override
    {
        pointerValue = value;
        pointerHistory.append(value);
    }
    // Handlers ask this after every round of pending events: it marks the yield points of a long loop.
    bool hasEnded() const override
    {
        ++yields;
        if (onYield)
            onYield(yields);
        return ended;
    }

    int pointerValue = pointer::Default;
    QList<int> pointerHistory;
    bool ended = false;
    mutable int yields = 0;
    std::function<void(int)> onYield; // runs at each yield with its number, from 1
};

struct FakeContext {
    FakePlatform fakes;
    FakeWindow window;
    ErrorReporter errors{fakes.messages};
    SettingsStore settings{fakes.settings};
    UiContext ctx;

    explicit FakeContext(const QString &programFolder = QString())
    {
        ctx.platform = fakes.platform();
        ctx.errors = &errors;
        ctx.settings = &settings;
        ctx.window = &window;
        ctx.appTitle = QStringLiteral("Quillmere");
        ctx.programFolder = programFolder;
    }

    // The error reports shown so far, in order.
    QList<ShownMessage> reports() const
    {
        QList<ShownMessage> r;
        for (const ShownMessage &m : fakes.messages->shown)
            if (m.title == ErrorReporter::Title)
                r << m;
        return r;
    }
    QStringList errorReports() const
    {
        QStringList t;
        for (const ShownMessage &m : reports())
            t << m.text;
        return t;
    }
    // The plain messages (not error reports) shown so far.
    QStringList plainMessages() const
    {
        QStringList r;
        for (const ShownMessage &m : fakes.messages->shown)
            if (m.title != ErrorReporter::Title)
                r << m.text;
        return r;
    }
};
