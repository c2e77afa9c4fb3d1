// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Scriptable stand-ins for every desktop facility: they record what the program showed and answer
// from a script, so tests run headless and deterministic.
#include "platform/Platform.h"
#include "platform/RuntimeError.h"
#include <QHash>
#include <QList>
#include <QMap>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

struct ShownMessage {
    QString title;
    QString text;
    MsgButtons buttons;
    MsgIcon icon;
};

class FakeMessageBoxes : public IMessageBoxes {
public:
    MsgAnswer show(QWidget *, const QString &title, const QString &text, MsgButtons buttons, MsgIcon icon) override;
    QString inputBox(QWidget *, const QString &title, const QString &prompt, const QString &defaultAnswer) override;

    QList<ShownMessage> shown;
    std::deque<MsgAnswer> answers;                    // for Yes/No boxes; No when empty
    std::function<void(const ShownMessage &)> onShow; // runs while the box is "open"
    struct Input {
        QString title, prompt, defaultAnswer;
    };
    QList<Input> inputs;
    std::deque<QString> inputAnswers; // empty text (cancel) when exhausted
    QStringList texts() const;
};

class FakeFileDialogs : public IFileDialogs {
public:
    QString openFiles(QWidget *, const QString &title, const QString &filter) override;
    QString saveFile(QWidget *, const QString &title, const QString &filter) override;
    QString chooseFolder(QWidget *, const QString &prompt, const QString &startFolder) override;

    struct Call {
        QString kind, title, filter, start;
    };
    QList<Call> calls;
    std::deque<QStringList> openAnswers; // full paths chosen; empty list = cancel
    std::deque<QString> saveAnswers;
    std::deque<QString> folderAnswers;
};

class FakeShell : public IShell {
public:
    void openUrl(const QString &url) override
    {
        if (throwOnOpenUrl)
            throw RuntimeError(RuntimeError::FileNotFound, QStringLiteral("File not found"));
        urls << url;
    }
    void openFolder(const QString &path) override { folders << path; }
    bool openFile(const QString &path) override
    {
        files << path;
        return openFileSucceeds;
    }
    bool hasHandlerFor(const QString &mime) override
    {
        queried << mime;
        return handlerRegistered;
    }
    QStringList urls, folders, files, queried;
    bool handlerRegistered = true;
    bool openFileSucceeds = true;
    bool throwOnOpenUrl = false;
};

class FakeClipboard : public IClipboard {
public:
    bool clear() override;
    bool setText(const QString &text) override;
    QString text = QStringLiteral("previous content");
    int clearFailures = 0; // how many attempts fail before one succeeds
    int setFailures = 0;
    int clearAttempts = 0;
    int setAttempts = 0;
};

class FakeClock : public IClock {
public:
    double secondsSinceMidnight() override;
    double now = 36000.0;
    double stepPerRead = 0.1; // the clock moves this far each time it is read
};

class FakeRandom : public IRandom {
public:
    void seed(double v) override { seeds << v; }
    double next() override { return values.empty() ? 0.5 : (values.size() > 1 ? pop() : values.front()); }
    QList<double> seeds;
    std::deque<double> values;

private:
    double pop()
    {
        double v = values.front();
        values.pop_front();
        return v;
    }
};

class FakeSettings : public ISettingsBackend {
public:
    std::optional<QString> read(const QString &key) override;
    void write(const QString &key, const QString &value) override;
    void flush() override { ++flushes; }
    QMap<QString, QString> values;
    QStringList writes; // "key=value" in order
    bool refuseReads = false;
    bool refuseWrites = false;
    int flushes = 0;
};

class FakeExit : public IProgramExit {
public:
    void endNow() override { ++calls; }
    int calls = 0;
};

// A scripted document: properties by name and by number; a missing entry raises the word processor's
// error for it. pageCounts are returned by item 14 one after the other (the last repeats).
struct FakeDocumentScript {
    QHash<QString, word::PropertyValue> byName;
    std::deque<word::PropertyValue> pageCounts;
    bool pageCountRefused = false;
    QString openError;            // non-empty: Open fails with this description
    std::function<void()> onOpen; // runs inside Open, e.g. to process events like a slow open would
};

class FakeWordFactory : public IWordFactory {
public:
    QHash<QString, FakeDocumentScript> documents;
    bool unavailable = false;
    // What the program did, in order: "create", "open <path>", "prop14 <path>", "prop <name>",
    // "close <path> <saveChanges>", "quit".
    QStringList log;
    int liveInstances = 0;
    WordInstanceOptions lastOptions; // what the last instance was created with

protected:
    std::unique_ptr<IWordApplication> createInstance(const WordInstanceOptions &options) override;
};

class FakeWorkbook;
class FakeSpreadsheet : public ISpreadsheet {
public:
    std::unique_ptr<IWorkbook> create(const SheetDateFormats &dates) override;
    bool unavailable = false;
    int created = 0;
    // The last workbook's cells by (row, column), and what happened to it.
    QMap<QPair<int, int>, QString> cells;
    bool autoFitted = false;
    bool shown = false;
};

struct FakePlatform {
    std::shared_ptr<FakeMessageBoxes> messages = std::make_shared<FakeMessageBoxes>();
    std::shared_ptr<FakeFileDialogs> dialogs = std::make_shared<FakeFileDialogs>();
    std::shared_ptr<FakeShell> shell = std::make_shared<FakeShell>();
    std::shared_ptr<FakeClipboard> clipboard = std::make_shared<FakeClipboard>();
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::shared_ptr<FakeRandom> random = std::make_shared<FakeRandom>();
    std::shared_ptr<FakeSettings> settings = std::make_shared<FakeSettings>();
    std::shared_ptr<FakeExit> exit = std::make_shared<FakeExit>();
    std::shared_ptr<FakeWordFactory> word = std::make_shared<FakeWordFactory>();
    std::shared_ptr<FakeSpreadsheet> spreadsheet = std::make_shared<FakeSpreadsheet>();

    Platform platform() const
    {
        return Platform{messages, dialogs, shell, clipboard, clock, random, settings, exit, word, spreadsheet};
    }
};
