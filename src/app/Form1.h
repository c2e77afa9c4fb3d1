// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/ErrorReport.h"
#include "core/MainWindowState.h"
#include "core/SettingsStore.h"
#include "core/UiContext.h"
#include "core/WindowPointer.h"
#include <QWidget>
#include <memory>

class QPushButton;
class InputFileList;
class InputFileListView;
class ResultsTable;
class ResultsView;
class TextProgressBar;
class ExtractionRun;

// The main window: the lists, the workflow buttons and the progress bar.
class Form1 : public QWidget, public MainWindowState {
    Q_OBJECT
public:
    // programFolder holds the executable's companions (skin, pointer files, samples).
    Form1(const Platform &platform, const QString &programFolder, double pageWaitSeconds = 0.5);
    ~Form1() override;

    // The start-up sequence; false when it ended the program (no document engine).
    bool Form_Load();

    // Files and folders named on the command line (the menu entry's "Open with"), absolute and clean, are
    // added to the input list as a drop of the same items would add them, once the event loop runs.
    void openFromCommandLine(const QStringList &paths);

    // MainWindowState
    int mousePointer() const override { return m_pointer.value(); }
    void setMousePointer(int value) override { m_pointer.set(value); }
    bool hasEnded() const override { return m_ended; }

    const QString &appTitle() const { return m_ctx.appTitle; }
    const UiContext &context() const { return m_ctx; }
    QPushButton *button(int number) const;
    InputFileList &inputList() const { return *m_inputList; }
    InputFileListView *listView1() const { return m_listView1; }
    ResultsTable &results() const { return *m_results; }
    ResultsView *listView2() const { return m_listView2; }
    TextProgressBar *progressBar() const { return m_progress; }
    ExtractionRun &extraction() const { return *m_run; }
    bool isSkinned() const { return m_skinned; }
    bool hasHandPointerPicture() const { return m_pointer.hasCustomCursor(); }

    static QString location(const QString &procedure);

    // The start-up steps that stand alone.
    void ApplySkin();
    static QString SetAppTitle(const QString &productName);

    // Button handlers.
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton3_Click();
    void PushButton4_Click();
    void PushButton5_Click();
    void PushButton6_Click();
    void PushButton7_Click();
    void PushButton8_Click();
    void PushButton9_Click();
    void PushButton13_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    QPushButton *addButton(int number, const QString &caption, int left, int top, int width);
    void visitHomePage();

    ErrorReporter m_errors;
    SettingsStore m_settings;
    UiContext m_ctx;
    WindowPointer m_pointer;
    bool m_ended = false;
    bool m_skinned = false;
    std::unique_ptr<InputFileList> m_inputList;
    std::unique_ptr<ResultsTable> m_results;
    InputFileListView *m_listView1 = nullptr;
    ResultsView *m_listView2 = nullptr;
    TextProgressBar *m_progress = nullptr;
    QHash<int, QPushButton *> m_buttons;
    std::unique_ptr<ExtractionRun> m_run;
};

// Builds the application, runs the start-up and shows the main window.
int runApplication(int argc, char **argv);
