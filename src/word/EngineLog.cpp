// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/EngineLog.h"
#include "word/Errors.h"

namespace word {

// Info level and above only when asked for: a run over thousands of documents must stay quiet by default.
Q_LOGGING_CATEGORY(lcEngine, "quillmere.engine", QtWarningMsg)

namespace {
thread_local QString currentDocument;
}

LogDocumentScope::LogDocumentScope(const QString &path) : m_previous(currentDocument) { currentDocument = path; }

LogDocumentScope::~LogDocumentScope() { currentDocument = m_previous; }

void noteSkipped(const QString &what)
{
    if (!lcEngine().isInfoEnabled())
        return;
    if (currentDocument.isEmpty())
        qCInfo(lcEngine).noquote() << what;
    else
        qCInfo(lcEngine).noquote() << QStringLiteral("\"%1\": %2").arg(displayPath(currentDocument), what);
}

} // namespace word
