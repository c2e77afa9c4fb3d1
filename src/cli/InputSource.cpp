// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/InputSource.h"
#include "cli/TerminalText.h"
#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace cli {

namespace {

// A path in a list longer than any the system can open is not a path; reading stops there rather than
// holding an unbounded line.
constexpr qsizetype kMaxListEntryBytes = 64 * 1024;
// Blank entries in a row before a list is taken for an endless stream of separators rather than a list.
constexpr qint64 kMaxEmptyEntriesInARow = 64 * 1024;

QByteArray extensionOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    const qsizetype dot = path.lastIndexOf('.');
    return dot > slash + 1 ? path.mid(dot + 1) : QByteArray();
}

QByteArray nameOf(const QByteArray &path) { return path.mid(path.lastIndexOf('/') + 1); }

} // namespace

InputSource::InputSource(const Options &options, FILE *err)
    : m_options(options), m_err(err), m_line(static_cast<size_t>(kMaxListEntryBytes))
{
}

InputSource::~InputSource() = default;

bool InputSource::readListEntry(FILE *list, QByteArray &entry)
{
    const int separator = m_options.nulSeparated ? '\0' : '\n';
    const char *separatorName = m_options.nulSeparated ? "NUL bytes" : "blank lines";
    auto stop = [&](const QString &why) {
        fprintf(m_err, "%s: %s; the list is read no further\n", kCommandName, escapedForTerminal(why).constData());
        m_listFailed = true;
        return false;
    };
    qint64 emptyInARow = 0;
    for (;;) {
        // The entry is bounded while it is read: a list may be a device or a pipe that never ends a line.
        qsizetype length = 0;
        int c = 0;
        errno = 0;
        while ((c = getc_unlocked(list)) != EOF && c != separator) {
            if (length == kMaxListEntryBytes)
                return stop(QStringLiteral("a list holds an entry longer than %1 bytes, longer than any path")
                                .arg(kMaxListEntryBytes));
            m_line[static_cast<size_t>(length++)] = static_cast<char>(c);
        }
        if (c == EOF && ferror(list))
            return stop(QStringLiteral("a list could not be read to its end: %1")
                            .arg(QString::fromLocal8Bit(strerror(errno != 0 ? errno : EIO))));
        if (!m_options.nulSeparated)
            while (length > 0 && m_line[static_cast<size_t>(length - 1)] == '\r')
                --length;
        if (length > 0) {
            entry = QByteArray(m_line.data(), length);
            return true;
        }
        if (c == EOF)
            return false;
        // Blank entries separate nothing; an endless run of them (a list read from /dev/zero) is no list.
        if (++emptyInARow > kMaxEmptyEntriesInARow)
            return stop(QStringLiteral("a list holds more than %1 %2 in a row, and no paths")
                            .arg(kMaxEmptyEntriesInARow)
                            .arg(QLatin1String(separatorName)));
    }
}

bool InputSource::nextNamed(QByteArray &path)
{
    if (m_nextPath < m_options.paths.size()) {
        path = m_options.paths[m_nextPath++].bytes();
        return true;
    }
    while (m_nextList < m_options.lists.size()) {
        if (readListEntry(m_options.lists[m_nextList], path))
            return true;
        ++m_nextList;
    }
    return false;
}

bool InputSource::wanted(const QByteArray &path) const
{
    if (nameOf(path).startsWith("~$"))
        return false;
    if (m_options.extensions.isEmpty())
        return true;
    return m_options.extensions.contains(QString::fromUtf8(extensionOf(path)).toLower());
}

bool InputSource::nextInput(Input &input)
{
    for (;;) {
        if (m_walk) {
            fs::WalkStep step;
            while (m_walk->next(step)) {
                if (step.error == 0 && !wanted(step.path))
                    continue;
                input = {NativePath(std::move(step.path)), step.error, step.tooDeep};
                return true;
            }
            m_walk.reset();
        }
        QByteArray path;
        if (!nextNamed(path))
            return false;
        struct stat status {};
        if (!path.contains('\0') && ::stat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode)) {
            m_walk = std::make_unique<fs::TreeWalk>(path, fs::TreeWalk::Options{m_options.hidden});
            continue;
        }
        input = {NativePath(std::move(path)), 0}; // a file named directly is always read; a missing one is reported
        return true;
    }
}

bool InputSource::next(Input &input)
{
    while (nextInput(input)) {
        const qint64 position = m_position++;
        if (position % m_options.shardCount != m_options.shardIndex)
            continue;
        if (m_skipped < m_options.skip) {
            ++m_skipped;
            continue;
        }
        return true;
    }
    return false;
}

} // namespace cli
