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
    bool hasEnded() const override { return ended; }

    QList<int> pointerHistory;
    bool ended = false;

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
