#include "cli/Extract.h"
#include "word/Engine.h"
#include "word/Errors.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cli {

namespace {

const char kUsage[] =
    "Usage: quillmere-extract [options] PATH...\n"
    "\n"
    "Reads the built-in properties of Word documents (.docx .docm .dotx .dotm, .doc .dot, .rtf, .odt and\n"
    "Word 2003 XML; the format is judged by the content, not the name) and writes one JSON object per\n"
    "document and line, in the order of the arguments. Folders are walked through all their levels, in\n"
    "name order; the word processor's lock files (~$name) are left out. Documents are only read.\n"
    "\n"
    "Each line holds \"path\", \"format\" (what the content is: OOXML, OLE, RTF, ODT, WORDML, TEXT, or\n"
    "for a file that is not a document what it is, e.g. PDF, XLSX, OOXML-ENCRYPTED) and either\n"
    "\"properties\" or \"error\" (why the document could not be opened). \"properties\" has the 23 built-in\n"
    "properties by name, \"Title\" to \"Number of Bytes\": texts as strings, counts as numbers, dates as\n"
    "ISO 8601 in UTC (2024-01-31T09:30:00Z), null where the document holds no value (a document that was\n"
    "never printed has no \"Last Print Date\"). Total Editing Time is in minutes; Number of Bytes is the\n"
    "file's size.\n"
    "\n"
    "Options:\n"
    "  -e, --ext LIST   take from folders only files with these extensions (comma-separated, e.g.\n"
    "                   doc,docx,rtf); files named on the command line are always read\n"
    "  -@, --list FILE  also read the paths listed in FILE, one per line (- for standard input)\n"
    "  -j, --jobs N     read N documents at a time (default: one per processor core)\n"
    "  -q, --quiet      no progress line (it is shown only when the error output is a terminal)\n"
    "  -h, --help       show this help\n"
    "\n"
    "Exit status: 0 when every document was read, 1 when some could not be, 2 on wrong usage.\n";

QString argText(const char *a) { return QFile::decodeName(a); }

bool isLockFile(const QString &name) { return name.startsWith(QLatin1String("~$")); }

void walk(const QString &folder, const Options &options, QList<InputItem> &items, int depth)
{
    QDir dir(folder);
    if (!dir.isReadable()) {
        items.push_back({folder, QStringLiteral("The folder \"%1\" cannot be read.").arg(QDir::toNativeSeparators(folder))});
        return;
    }
    if (depth > 256)
        return;
    const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                                    QDir::Name);
    for (const QFileInfo &fi : entries) {
        const QString name = fi.fileName();
        const QString path = folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
        if (fi.isDir()) {
            if (!fi.isSymLink()) // a linked folder could lead back up the tree
                walk(path, options, items, depth + 1);
            continue;
        }
        if (isLockFile(name))
            continue;
        if (!options.extensions.isEmpty() && !options.extensions.contains(fi.suffix().toLower()))
            continue;
        items.push_back({path, QString()});
    }
}

void appendJsonString(QByteArray &out, const QString &s)
{
    out.append('"');
    const QByteArray utf8 = s.toUtf8();
    const char *p = utf8.constData();
    const char *end = p + utf8.size();
    while (p < end) {
        // Copy the run of characters that need no escape in one go.
        const char *run = p;
        while (p < end && static_cast<unsigned char>(*p) >= 0x20 && *p != '"' && *p != '\\')
            ++p;
        out.append(run, p - run);
        if (p == end)
            break;
        const auto c = static_cast<unsigned char>(*p++);
        switch (c) {
        case '"': out.append("\\\""); break;
        case '\\': out.append("\\\\"); break;
        case '\n': out.append("\\n"); break;
        case '\r': out.append("\\r"); break;
        case '\t': out.append("\\t"); break;
        case '\b': out.append("\\b"); break;
        case '\f': out.append("\\f"); break;
        default: {
            char buf[8];
            snprintf(buf, sizeof buf, "\\u%04x", c);
            out.append(buf);
        }
        }
    }
    out.append('"');
}

QString isoUtc(const QDateTime &dt)
{
    const QDateTime u = dt.toUTC();
    const QDate d = u.date();
    const QTime t = u.time();
    QString s = QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02d", d.year(), d.month(), d.day(), t.hour(), t.minute(),
                                  t.second());
    if (t.msec() != 0)
        s += QString::asprintf(".%03d", t.msec());
    return s + QLatin1Char('Z');
}

void appendValue(QByteArray &out, const std::optional<word::PropertyValue> &v)
{
    if (!v) {
        out.append("null");
        return;
    }
    switch (v->type()) {
    case word::PropertyValue::Type::Text:
        appendJsonString(out, v->asText());
        return;
    case word::PropertyValue::Type::Integer:
        out.append(QByteArray::number(v->asInteger()));
        return;
    case word::PropertyValue::Type::DateTime:
        appendJsonString(out, isoUtc(v->asDateTime()));
        return;
    }
}

QByteArray failureLine(const QString &path, const QString &format, const QString &error)
{
    QByteArray line;
    line.append("{\"path\":");
    appendJsonString(line, path);
    line.append(",\"format\":");
    if (format.isEmpty())
        line.append("null");
    else
        appendJsonString(line, format);
    line.append(",\"error\":");
    appendJsonString(line, error);
    line.append('}');
    return line;
}

// The progress line: shown only on a terminal, at most ten times a second, erased at the end.
class Progress {
public:
    Progress(FILE *err, bool enabled, qsizetype total) : m_err(err), m_enabled(enabled && isatty(fileno(err))), m_total(total) {}
    void update(qsizetype done, const QString &path)
    {
        if (!m_enabled)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (done < m_total && now - m_last < std::chrono::milliseconds(100))
            return;
        m_last = now;
        QString name = QFileInfo(path).fileName();
        if (name.size() > 50)
            name = name.left(47) + QStringLiteral("...");
        fprintf(m_err, "\r\033[K%lld/%lld  %s", static_cast<long long>(done), static_cast<long long>(m_total),
                name.toUtf8().constData());
        fflush(m_err);
        m_shown = true;
    }
    ~Progress()
    {
        if (m_shown) {
            fputs("\r\033[K", m_err);
            fflush(m_err);
        }
    }

private:
    FILE *m_err;
    bool m_enabled;
    qsizetype m_total;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_last{};
};

} // namespace

int parseArguments(int argc, char **argv, Options &options, bool &help, FILE *out, FILE *err)
{
    help = false;
    bool onlyPaths = false;
    bool listGiven = false;
    auto usageError = [&](const QString &why) {
        fprintf(err, "quillmere-extract: %s\nTry 'quillmere-extract --help'.\n", why.toUtf8().constData());
        return kExitUsage;
    };
    for (int i = 1; i < argc; ++i) {
        const QString a = argText(argv[i]);
        if (onlyPaths || !a.startsWith(QLatin1Char('-')) || a == QLatin1String("-")) {
            options.paths << a;
            continue;
        }
        if (a == QLatin1String("--")) {
            onlyPaths = true;
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            fputs(kUsage, out);
            help = true;
            return 0;
        } else if (a == QLatin1String("-q") || a == QLatin1String("--quiet")) {
            options.progress = false;
        } else if (a.startsWith(QLatin1String("-j")) || a == QLatin1String("--jobs") ||
                   a.startsWith(QLatin1String("--jobs="))) {
            QString v;
            if (a.startsWith(QLatin1String("--jobs=")))
                v = a.mid(7);
            else if (a.startsWith(QLatin1String("-j")) && a.size() > 2)
                v = a.mid(2);
            else if (i + 1 < argc)
                v = argText(argv[++i]);
            else
                return usageError(QStringLiteral("option %1 needs a number").arg(a));
            bool ok = false;
            const int n = v.toInt(&ok);
            if (!ok || n < 1 || n > 256)
                return usageError(QStringLiteral("the number of jobs must be between 1 and 256, not '%1'").arg(v));
            options.jobs = n;
        } else if (a == QLatin1String("-@") || a == QLatin1String("--list") || a.startsWith(QLatin1String("--list="))) {
            QString v;
            if (a.startsWith(QLatin1String("--list=")))
                v = a.mid(7);
            else if (i + 1 < argc)
                v = argText(argv[++i]);
            else
                return usageError(QStringLiteral("option %1 needs a file").arg(a));
            QFile list;
            const bool opened = v == QLatin1String("-") ? list.open(stdin, QIODevice::ReadOnly)
                                                         : (list.setFileName(v), list.open(QIODevice::ReadOnly));
            if (!opened)
                return usageError(QStringLiteral("cannot read the list '%1'").arg(v));
            listGiven = true;
            while (!list.atEnd()) {
                QByteArray line = list.readLine();
                while (line.endsWith('\n') || line.endsWith('\r'))
                    line.chop(1);
                if (!line.isEmpty())
                    options.paths << QFile::decodeName(line);
            }
        } else if (a == QLatin1String("-e") || a == QLatin1String("--ext") || a.startsWith(QLatin1String("--ext="))) {
            QString v;
            if (a.startsWith(QLatin1String("--ext=")))
                v = a.mid(6);
            else if (i + 1 < argc)
                v = argText(argv[++i]);
            else
                return usageError(QStringLiteral("option %1 needs a list of extensions").arg(a));
            for (QString e : v.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                e = e.trimmed().toLower();
                if (e.startsWith(QLatin1Char('.')))
                    e.remove(0, 1);
                if (!e.isEmpty())
                    options.extensions << e;
            }
            if (options.extensions.isEmpty())
                return usageError(QStringLiteral("option %1 needs at least one extension").arg(a));
        } else {
            return usageError(QStringLiteral("unknown option '%1'").arg(a));
        }
    }
    if (options.paths.isEmpty() && !listGiven)
        return usageError(QStringLiteral("no documents or folders given"));
    return -1;
}

QList<InputItem> collectInputs(const Options &options)
{
    QList<InputItem> items;
    for (const QString &p : options.paths) {
        struct stat st {};
        if (::stat(QFile::encodeName(p).constData(), &st) == 0 && S_ISDIR(st.st_mode))
            walk(p, options, items, 0);
        else
            items.push_back({p, QString()}); // a missing file is reported by the engine
    }
    return items;
}

QByteArray describeDocument(const QString &path, bool &ok)
{
    ok = false;
    try {
        const word::DocumentProperties props = word::readDocumentProperties(path);
        QByteArray line;
        line.reserve(1024);
        line.append("{\"path\":");
        appendJsonString(line, path);
        line.append(",\"format\":");
        appendJsonString(line, props.format());
        line.append(",\"properties\":{");
        bool first = true;
        for (const word::BuiltinInfo &info : word::builtinProperties()) {
            if (!first)
                line.append(',');
            first = false;
            appendJsonString(line, QLatin1String(info.name));
            line.append(':');
            appendValue(line, props.get(info.id));
        }
        line.append("}}");
        ok = true;
        return line;
    } catch (const word::OpenError &e) {
        return failureLine(path, e.format(), e.description());
    } catch (const RuntimeError &e) {
        return failureLine(path, QString(), e.description());
    } catch (const std::exception &e) {
        return failureLine(path, QString(), QString::fromLocal8Bit(e.what()));
    }
}

int run(int argc, char **argv, FILE *out, FILE *err)
{
    Options options;
    bool help = false;
    const int parsed = parseArguments(argc, argv, options, help, out, err);
    if (parsed >= 0)
        return parsed;

    const QList<InputItem> items = collectInputs(options);
    const qsizetype total = items.size();
    unsigned hw = std::thread::hardware_concurrency();
    const int jobs = options.jobs > 0 ? options.jobs : static_cast<int>(hw == 0 ? 1 : hw);
    const int workers = static_cast<int>(qMin<qsizetype>(jobs, qMax<qsizetype>(total, 1)));

    // Every thread (this one too) takes the next document, reads it, and then writes out whatever lines
    // are finished in input order. A thread that runs too far ahead of the output waits, so that finished
    // lines cannot pile up without bound behind a slow document.
    constexpr qsizetype kWindow = 4096;
    std::vector<QByteArray> lines(static_cast<size_t>(total));
    std::vector<char> ready(static_cast<size_t>(total), 0);
    std::mutex mutex;
    std::condition_variable windowMoved;
    std::atomic<qsizetype> next{0};
    qsizetype written = 0;
    bool allRead = true;
    Progress progress(err, options.progress, total);

    auto work = [&] {
        for (;;) {
            const qsizetype i = next.fetch_add(1);
            if (i >= total)
                return;
            if (i >= kWindow) {
                std::unique_lock lock(mutex);
                windowMoved.wait(lock, [&] { return i < written + kWindow; });
            }
            bool ok = false;
            QByteArray line = items[i].walkError.isEmpty()
                                  ? describeDocument(items[i].path, ok)
                                  : failureLine(items[i].path, QString(), items[i].walkError);
            line.append('\n');
            std::lock_guard lock(mutex);
            lines[static_cast<size_t>(i)] = std::move(line);
            ready[static_cast<size_t>(i)] = 1;
            allRead = allRead && ok;
            const qsizetype before = written;
            while (written < total && ready[static_cast<size_t>(written)]) {
                QByteArray &out_ = lines[static_cast<size_t>(written)];
                fwrite(out_.constData(), 1, static_cast<size_t>(out_.size()), out);
                out_ = QByteArray();
                ++written;
            }
            if (written != before) {
                progress.update(written, items[written - 1].path);
                windowMoved.notify_all();
            }
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(static_cast<size_t>(workers));
    for (int k = 1; k < workers; ++k)
        threads.emplace_back(work);
    work();
    for (std::thread &t : threads)
        t.join();
    fflush(out);
    return allRead ? kExitAllRead : kExitSomeFailed;
}

} // namespace cli
