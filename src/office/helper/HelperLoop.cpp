// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/helper/HelperLoop.h"
#include "office/Protocol.h"
#include "office/helper/LayoutSession.h"
#include "office/helper/ParentWatch.h"
#include "office/helper/UsersOffice.h"
#include <cerrno>
#include <memory>
#include <poll.h>
#include <unistd.h>

namespace office::helper {

namespace {

namespace proto = office::protocol;

// The bounds the programs may ask for: one second to one day per document.
constexpr qint64 kMinLimitMs = 1;
constexpr qint64 kMaxLimitMs = 86'400'000;

// Reads one line; false at the end of the input, on an over-long line, or when the helper is ending.
class LineReader {
public:
    explicit LineReader(int fd) : m_fd(fd) {}
    bool next(QByteArray &line)
    {
        for (;;) {
            const qsizetype end = m_buffer.indexOf('\n');
            if (end >= 0) {
                line = m_buffer.left(end);
                m_buffer.remove(0, end + 1);
                return true;
            }
            if (m_buffer.size() > proto::kMaxLineBytes || parentWatch::ending())
                return false;
            pollfd fds[2] = {{m_fd, POLLIN, 0}, {parentWatch::wakeFd(), POLLIN, 0}};
            if (::poll(fds, fds[1].fd >= 0 ? 2 : 1, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char chunk[4096];
            const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            m_buffer.append(chunk, n);
        }
    }

private:
    int m_fd;
    QByteArray m_buffer;
};

bool writeLine(int fd, QByteArray line)
{
    line += '\n';
    qsizetype done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd, line.constData() + done, size_t(line.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QByteArray failure(bool timedOut, const QString &reason)
{
    return QByteArray("fail ") + (timedOut ? "1 " : "0 ") + proto::encode(reason);
}

QByteArray answerLayout(LayoutSession &session, const QList<QByteArray> &words)
{
    bool limitOk = false;
    const qint64 limitMs = words.size() == 5 ? words[4].toLongLong(&limitOk) : 0;
    if (!limitOk || limitMs < kMinLimitMs || limitMs > kMaxLimitMs)
        return failure(false, QStringLiteral("the helper was asked in a way it does not understand"));
    const Measurement m = session.measure(proto::decode(words[1]), proto::decodeText(words[2]),
                                          proto::decodeText(words[3]), std::chrono::milliseconds(limitMs));
    if (!m.error.isEmpty() || !m.pages || !m.lines)
        return failure(m.timedOut, m.error.isEmpty() ? QStringLiteral("LibreOffice gave no count") : m.error);
    return QByteArray("ok ") + QByteArray::number(*m.pages) + ' ' + QByteArray::number(*m.lines) + ' '
           + QByteArray::number(m.officeWords) + ' ' + QByteArray::number(m.officeCharacters) + ' '
           + QByteArray::number(m.officeCharactersWithSpaces) + ' ' + QByteArray::number(m.officeParagraphs);
}

} // namespace

int serveRequests(int in, int out)
{
    // The session, and with it the office, starts with the first layout asked for.
    std::unique_ptr<LayoutSession> session;
    const QString unavailable = LayoutSession::unavailableReason();
    if (!writeLine(out, unavailable.isEmpty() ? QByteArray("ready layout")
                                              : QByteArray("ready nolayout ") + proto::encode(unavailable)))
        return 1;
    LineReader reader(in);
    QByteArray line;
    while (reader.next(line)) {
        const QList<QByteArray> words = proto::words(line);
        const QByteArray &verb = words.first();
        QByteArray answer;
        if (verb == "quit") {
            break;
        } else if (verb == "layout" && words.size() >= 2) {
            if (!unavailable.isEmpty()) {
                answer = failure(false, unavailable);
            } else {
                if (!session)
                    session = std::make_unique<LayoutSession>();
                answer = answerLayout(*session, words);
            }
        } else if (verb == "open-new" && words.size() == 2) {
            NewDocumentState state;
            const QString why = openAsNewInUsersOffice(proto::decode(words[1]), state);
            answer = !why.isEmpty() ? failure(false, why)
                                    : QByteArray("ok ") + (state.modified ? "1 " : "0 ")
                                          + (state.hasLocation ? "1 " : "0 ") + proto::encode(state.title);
        } else if (verb == "status") {
            answer = QByteArray("status ") + QByteArray::number(session ? session->officeProcessId() : 0) + ' '
                     + QByteArray::number(session ? session->officeStarts() : 0) + ' '
                     + QByteArray::number(session ? session->peakOfficeMemoryKiB() : 0) + ' '
                     + (session && session->officeIsolated() ? "1" : "0");
        } else {
            answer = failure(false, QStringLiteral("the helper was asked in a way it does not understand"));
        }
        if (parentWatch::ending() || !writeLine(out, answer))
            break;
    }
    // The session's destructor ends the office (at once when the helper was told to end) and removes
    // its profile and sockets.
    return 0;
}

} // namespace office::helper
