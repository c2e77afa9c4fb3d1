// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "platform/MessageBoxes.h"
#include <QString>
#include <functional>
#include <memory>

class QWidget;

// The one message box that reports a run-time error caught by a trapping procedure.
class ErrorReporter {
public:
    explicit ErrorReporter(std::shared_ptr<IMessageBoxes> messages, QWidget *owner = nullptr)
        : m_messages(std::move(messages)), m_owner(owner)
    {
    }
    void setOwner(QWidget *owner) { m_owner = owner; }
    void report(const QString &location, int line, const QString &description);
    static QString text(const QString &location, int line, const QString &description);
    static inline const QString Title = QStringLiteral("Application Error");

private:
    std::shared_ptr<IMessageBoxes> m_messages;
    QWidget *m_owner;
};

// A trapping procedure: its numbered statements run one by one; a statement that throws is reported
// with the procedure's location and the statement's number, and the procedure goes on with the next.
class Trap {
public:
    Trap(ErrorReporter &reporter, QString location) : m_reporter(reporter), m_location(std::move(location)) {}

    // Runs one statement; true when it completed.
    bool run(int line, const std::function<void()> &statement);
    // The test of a conditional: a test that fails with an error counts as passed.
    bool test(int line, const std::function<bool()> &condition);
    // Like run, for a statement that computes a value; the fallback stands when it fails.
    template <typename T> T value(int line, const std::function<T()> &statement, T fallback)
    {
        run(line, [&] { fallback = statement(); });
        return fallback;
    }
    int failures() const { return m_failures; }
    const QString &location() const { return m_location; }

private:
    ErrorReporter &m_reporter;
    QString m_location;
    int m_failures = 0;
};
