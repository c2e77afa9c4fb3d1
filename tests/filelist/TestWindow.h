#pragma once
// A stand-in for the main window's state and the handler context built on the fake platform.
#include "app/ErrorReport.h"
#include "app/MainWindowState.h"
#include "app/SettingsStore.h"
#include "app/UiContext.h"
#include "platform/fakes/FakePlatform.h"
#include <QList>
#include <functional>

class TestWindow : public MainWindowState {
public:
    int mousePointer() const override { return m_pointer; }
    void setMousePointer(int value) override
    {
        m_pointer = value;
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

    QList<int> pointerHistory;
    bool ended = false;
    mutable int yields = 0;
    std::function<void(int)> onYield; // runs at each yield with its number, from 1

private:
    int m_pointer = pointer::Default;
};

struct TestContext {
    FakePlatform fakes;
    TestWindow window;
    ErrorReporter errors{fakes.messages};
    SettingsStore settings{fakes.settings};
    UiContext ctx;

    explicit TestContext(const QString &programFolder = QString())
    {
        ctx.platform = fakes.platform();
        ctx.errors = &errors;
        ctx.settings = &settings;
        ctx.window = &window;
        ctx.appTitle = QStringLiteral("Quillmere");
        ctx.programFolder = programFolder;
    }

    // The texts of the error reports shown so far.
    QStringList errorReports() const
    {
        QStringList t;
        for (const auto &m : fakes.messages->shown)
            if (m.title == ErrorReporter::Title)
                t << m.text;
        return t;
    }
};
