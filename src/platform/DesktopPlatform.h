// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "platform/Platform.h"
#include <memory>

class QMessageBox;

// Real implementations over Qt and the desktop.
class QtMessageBoxes : public IMessageBoxes {
public:
    MsgAnswer show(QWidget *owner, const QString &title, const QString &text, MsgButtons buttons,
                   MsgIcon icon) override;
    QString inputBox(QWidget *owner, const QString &title, const QString &prompt,
                     const QString &defaultAnswer) override;

    // The box show() opens, not yet shown.
    static std::unique_ptr<QMessageBox> build(QWidget *owner, const QString &title, const QString &text,
                                              MsgButtons buttons, MsgIcon icon);
    // The narrowest box whose title bar shows the whole title.
    static int titleWidth(const QString &title);
};

class QtFileDialogs : public IFileDialogs {
public:
    QString openFiles(QWidget *owner, const QString &title, const QString &filter) override;
    QString saveFile(QWidget *owner, const QString &title, const QString &filter) override;
    QString chooseFolder(QWidget *owner, const QString &prompt, const QString &startFolder) override;
};

class DesktopShell : public IShell {
public:
    void openUrl(const QString &url) override;
    void openFolder(const QString &path) override;
    bool openFile(const QString &path) override;
    bool hasHandlerFor(const QString &mimeType) override;
};

class QtClipboard : public IClipboard {
public:
    bool clear() override;
    bool setText(const QString &text) override;
};

class SystemClock : public IClock {
public:
    double secondsSinceMidnight() override;
};

class SystemRandom : public IRandom {
public:
    void seed(double value) override;
    double next() override;

private:
    quint64 m_state = 0x9E3779B97F4A7C15ull;
};

// QSettings file $XDG_CONFIG_HOME/<organisation>/<application>.conf, one group per section. Every call
// works on a fresh QSettings, so a refusal concerns that call alone (QSettings keeps its first error for
// its whole life). A file that cannot be read whole still answers reads with the keys that could be
// parsed, but is never rewritten: before the first write to it the damaged file is kept beside it under
// a new name, and a new file is started with what could be read and the new value.
class QSettingsBackend : public ISettingsBackend {
public:
    QSettingsBackend(const QString &organisation, const QString &application, const QString &section);
    std::optional<QString> read(const QString &key) override;
    void write(const QString &key, const QString &value) override;
    void flush() override;
    QString fileName() const;
    // Where a damaged settings file is kept: beside it, ".damaged" appended (then "-2", "-3" ... when taken).
    static QString keptCopyName(const QString &fileName);

private:
    QString m_organisation, m_application, m_section;
};

class ProcessExit : public IProgramExit {
public:
    explicit ProcessExit(std::shared_ptr<ISettingsBackend> settings) : m_settings(std::move(settings)) {}
    [[noreturn]] void endNow() override;

private:
    std::shared_ptr<ISettingsBackend> m_settings;
};
