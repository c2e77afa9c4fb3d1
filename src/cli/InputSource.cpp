#include "cli/InputSource.h"
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

QByteArray extensionOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    const qsizetype dot = path.lastIndexOf('.');
    return dot > slash + 1 ? path.mid(dot + 1) : QByteArray();
}

QByteArray nameOf(const QByteArray &path) { return path.mid(path.lastIndexOf('/') + 1); }

} // namespace

InputSource::InputSource(const Options &options, FILE *err) : m_options(options), m_err(err) {}

InputSource::~InputSource() { free(m_lineBuffer); }

bool InputSource::readListEntry(FILE *list, QByteArray &entry)
{
    const int separator = m_options.nulSeparated ? '\0' : '\n';
    for (;;) {
        errno = 0;
        const ssize_t n = getdelim(&m_lineBuffer, &m_lineCapacity, separator, list);
        if (n < 0) {
            if (ferror(list)) {
                fprintf(m_err, "quillmere-extract: a list could not be read to its end: %s\n", strerror(errno));
                m_listFailed = true;
            }
            return false;
        }
        qsizetype length = n;
        if (length > 0 && m_lineBuffer[length - 1] == separator)
            --length;
        if (!m_options.nulSeparated)
            while (length > 0 && m_lineBuffer[length - 1] == '\r')
                --length;
        if (length == 0)
            continue; // blank lines separate nothing
        if (length > kMaxListEntryBytes) {
            fprintf(m_err, "quillmere-extract: a list holds an entry of %lld bytes, longer than any path; "
                           "the list is read no further\n", static_cast<long long>(length));
            m_listFailed = true;
            return false;
        }
        entry = QByteArray(m_lineBuffer, length);
        return true;
    }
}

bool InputSource::nextNamed(QByteArray &path)
{
    if (m_nextPath < m_options.paths.size()) {
        path = m_options.paths[m_nextPath++];
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
                input = {std::move(step.path), step.error};
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
        input = {std::move(path), 0}; // a file named directly is always read; a missing one is reported
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
