// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QLoggingCategory>
#include <QString>

namespace word {

// The engine's own log, "quillmere.engine": one line wherever it clamps, skips or ignores something a
// document states, so that a user asking why a value is missing can be told. Off unless enabled (the
// batch command's --verbose, or QT_LOGGING_RULES="quillmere.engine.info=true").
Q_DECLARE_LOGGING_CATEGORY(lcEngine)

// Names the document being read on this thread for the notes below; the readers themselves do not know
// the path. Restores the previous one when it ends, so nested reads stay right.
class LogDocumentScope {
public:
    explicit LogDocumentScope(const QString &path);
    ~LogDocumentScope();
    LogDocumentScope(const LogDocumentScope &) = delete;
    LogDocumentScope &operator=(const LogDocumentScope &) = delete;

private:
    QString m_previous;
};

// Notes what was clamped or skipped in the current document ("its Creation Date (1500-01-01) lies before
// 1602 and is ignored"); costs nothing when the category is off.
void noteSkipped(const QString &what);

} // namespace word
