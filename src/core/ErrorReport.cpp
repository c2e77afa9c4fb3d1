// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ErrorReport.h"
#include "platform/Product.h"
#include "platform/RuntimeError.h"
#include <exception>

QString ErrorReporter::text(const QString &location, int line, const QString &description)
{
    return description + QStringLiteral("\r\n") + QStringLiteral("in ") + location + QLatin1Char(' ')
           + QStringLiteral("at line ") + QString::number(line) + QStringLiteral("\r\r")
           + QStringLiteral("Please email screenshot of this message to ") + product::SupportAddress;
}

void ErrorReporter::report(const QString &location, int line, const QString &description)
{
    m_messages->show(m_owner, Title, text(location, line, description), MsgButtons::Ok, MsgIcon::Warning);
}

bool Trap::run(int line, const std::function<void()> &statement)
{
    QString description;
    try {
        statement();
        return true;
    } catch (const RuntimeError &e) {
        description = e.description();
    } catch (const std::bad_alloc &) {
        description = QStringLiteral("Out of memory");
    } catch (const std::exception &e) {
        description = QString::fromLocal8Bit(e.what());
    }
    ++m_failures;
    m_reporter.report(m_location, line, description);
    return false;
}

bool Trap::test(int line, const std::function<bool()> &condition)
{
    bool result = true;
    run(line, [&] { result = condition(); });
    return result;
}
