// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/LayoutClient.h"
#include "office/ImportFilter.h"
#include "office/Protocol.h"
#include <QDir>
#include <QFile>
#include <climits>
#include <unistd.h>

namespace office {

namespace {

// Beyond the document's own limit, the helper may need this long to start its office (twice, for a new
// profile) before it can answer.
constexpr std::chrono::seconds kStartAllowance{150};

QString quoted(const QByteArray &nativePath)
{
    return QLatin1Char('"') + QDir::toNativeSeparators(QFile::decodeName(nativePath)) + QLatin1Char('"');
}

} // namespace

LayoutClient::LayoutClient() : LayoutClient(Options{}) {}

LayoutClient::LayoutClient(Options options) : m_options(std::move(options)) {}

LayoutClient::~LayoutClient() = default;

QString LayoutClient::startHelper()
{
    if (!m_unavailable.isEmpty() || (m_helper && m_helper->running()))
        return m_unavailable;
    m_helper = std::make_unique<HelperProcess>(m_options.helperProgram);
    QByteArray greeting;
    QString error;
    if (!m_helper->start(greeting, error)) {
        m_helper.reset();
        m_unavailable = error;
        return m_unavailable;
    }
    const QList<QByteArray> words = protocol::words(greeting);
    if (words.value(0) != "ready")
        m_unavailable = QStringLiteral("the LibreOffice helper %1 does not answer as expected")
                            .arg(QDir::toNativeSeparators(m_options.helperProgram));
    else if (words.value(1) != "layout")
        m_unavailable = protocol::decodeText(words.value(2));
    if (!m_unavailable.isEmpty())
        m_helper.reset();
    return m_unavailable;
}

QString LayoutClient::unavailableReason() { return startHelper(); }

Measurement LayoutClient::measure(const QByteArray &nativePath, const QString &engineFormat,
                                  std::chrono::milliseconds timeLimit)
{
    Measurement m;
    const auto fail = [&](const QString &why) {
        m.error = QStringLiteral("The layout of %1 could not be made: %2.").arg(quoted(nativePath), why);
        return m;
    };
    if (m_programEnded)
        return fail(QStringLiteral("the program ended"));
    const std::optional<ImportFilter> filter = importFilterFor(engineFormat, nativePath);
    if (!filter)
        return fail(QStringLiteral("it is not a word-processing document"));
    if (const QString why = startHelper(); !why.isEmpty())
        return fail(why);
    // The office is given a file URL, which must be absolute; the bytes of the name stay as they are.
    QByteArray absolute = nativePath;
    if (!absolute.startsWith('/')) {
        char folder[PATH_MAX];
        if (::getcwd(folder, sizeof folder) == nullptr)
            return fail(QStringLiteral("the current folder cannot be named"));
        absolute = QByteArray(folder) + '/' + absolute;
    }

    const QByteArray request = "layout " + protocol::encode(absolute) + ' ' + protocol::encode(filter->name) + ' '
                               + protocol::encode(filter->options) + ' '
                               + QByteArray::number(qint64(timeLimit.count()));
    QString error;
    const std::optional<QByteArray> answer =
        m_helper->ask(request, timeLimit + kStartAllowance, m_options.whileWaiting, error);
    if (!answer) {
        m_programEnded = error == QLatin1String("the program ended");
        return fail(error);
    }
    const QList<QByteArray> words = protocol::words(*answer);
    if (words.value(0) == "ok" && words.size() == 7) {
        m.pages = words[1].toInt();
        m.lines = words[2].toInt();
        m.officeWords = words[3].toLongLong();
        m.officeCharacters = words[4].toLongLong();
        m.officeCharactersWithSpaces = words[5].toLongLong();
        m.officeParagraphs = words[6].toLongLong();
        return m;
    }
    if (words.value(0) == "fail" && words.size() == 3) {
        m.timedOut = words[1] == "1";
        return fail(protocol::decodeText(words[2]));
    }
    return fail(QStringLiteral("the LibreOffice helper gave an answer this program does not understand"));
}

std::optional<OfficeStatus> LayoutClient::status()
{
    if (!m_helper || !m_helper->running())
        return std::nullopt;
    QString error;
    const std::optional<QByteArray> answer = m_helper->ask("status", std::chrono::seconds(30), {}, error);
    const QList<QByteArray> words = answer ? protocol::words(*answer) : QList<QByteArray>();
    if (words.size() != 5 || words[0] != "status")
        return std::nullopt;
    return OfficeStatus{pid_t(words[1].toInt()), words[2].toInt(), words[3].toLongLong(), words[4] == "1"};
}

} // namespace office
