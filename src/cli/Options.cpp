// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Options.h"
#include "cli/HelpText.h"
#include "cli/TerminalText.h"
#include <QCommandLineParser>
#include <QFile>
#include <QHash>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace cli {

namespace {

// QCommandLineParser works on texts, but a path given on the command line may hold bytes that are not
// valid text. Such an argument is handed to the parser as a private token and swapped back afterwards,
// so that the file is opened by its exact bytes.
class RawArguments {
public:
    RawArguments(int argc, char **argv)
    {
        for (int i = 0; i < argc; ++i) {
            const QByteArray raw(argv[i]);
            QString text = QString::fromUtf8(raw);
            if (text.toUtf8() != raw) {
                text = QStringLiteral("\U000F0000raw-argument-%1").arg(i);
                m_raw.insert(text, raw);
            }
            m_texts << text;
        }
    }
    const QStringList &texts() const { return m_texts; }
    QByteArray bytes(const QString &text) const { return m_raw.value(text, text.toUtf8()); }

private:
    QStringList m_texts;
    QHash<QString, QByteArray> m_raw;
};

// Digits only: no blanks, signs or other forms a number parser would also take, so that what is
// accepted is exactly what the user wrote.
bool parseCount(const QString &text, qint64 &value, qint64 lowest)
{
    if (text.isEmpty() || !std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return false;
    bool ok = false;
    value = text.toLongLong(&ok);
    return ok && value >= lowest;
}

} // namespace

Options::~Options()
{
    for (FILE *f : lists)
        if (f != stdin)
            fclose(f);
}

namespace {

// Every option once: the parser's definition and its line in --help (and so in the manual page, which is
// made from --help). The order here is the order of --help.
struct OptionEntry {
    QStringList names;
    QString description;
    const char *valueName = nullptr; // null for an option that takes no value
    const char *defaultValue = nullptr;
};

std::vector<OptionEntry> optionTable()
{
    return {
        {{"e", "ext"},
         "Take from folders only files with these extensions "
         "(comma-separated, e.g. doc,docx,rtf); files named directly are always read.",
         "LIST"},
        {{"@", "list"},
         "Also read the paths listed in FILE (- for standard input), "
         "one per line; may be given more than once.",
         "FILE"},
        {{"0", "null"},
         "The lists of -@ are separated by NUL characters, as find "
         "-print0 writes them, instead of line ends."},
        {{"j", "jobs"}, "Read N documents at a time (default: one per processor core).", "N"},
        {{"q", "quiet"},
         "Write nothing to the error output: no progress, no line per "
         "failed document, no summary."},
        {{"v", "verbose"},
         "Also write to the error output, for each document, what "
         "the engine clamped or skipped (a date outside 1602 to 9999, a damaged "
         "stream, a bound exceeded), to show why a value is missing."},
        {{"no-hidden"},
         "In folders, leave out files and folders whose names begin "
         "with a dot."},
        {{"format"},
         "Output format: jsonl (JSON lines, the default), json (one JSON "
         "array) or csv (RFC 4180, with a header row).",
         "FORMAT",
         "jsonl"},
        {{"fields"},
         "Write only these properties, in this order (comma-separated "
         "Word property names, any case, e.g. Title,Author,\"Creation Date\").",
         "LIST"},
        {{"hash"}, "Also write the file's digest, sha256 or md5.", "ALGORITHM"},
        {{"root"}, "Write paths relative to the folder DIR.", "DIR"},
        {{"shard"},
         "Read only the inputs whose position (counted from 0) modulo N "
         "is K, for splitting one run over several processes or hosts.",
         "K/N"},
        {{"skip"},
         "Leave out the first N inputs (after --shard), to resume a run "
         "that wrote N lines before it was stopped.",
         "N"},
        {{"ignore-failed-read"},
         "Documents that cannot be read are still "
         "reported (record, error line, summary) but do not make the exit "
         "status 1, for schedulers that take 1 as a failed task."},
        {{"recount"},
         "Count words, characters and paragraphs from the text even "
         "where the document stores them, to find stale stored counts."},
        {{"layout"},
         "Take pages and lines that a document does not store from its "
         "layout by LibreOffice (when installed; far slower than reading)."},
        {{"layout-timeout"},
         QString::fromLatin1("With --layout, give up the layout of a document after SECONDS "
                             "(default: %1); its pages and lines stay null.")
             .arg(kDefaultLayoutTimeout.count()),
         "SECONDS"},
        {{"h", "help"}, "Show this help and exit."},
        {{"version"}, "Show the version and exit."},
    };
}

void declareOptions(QCommandLineParser &parser)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    for (const OptionEntry &entry : optionTable())
        parser.addOption(QCommandLineOption(entry.names, entry.description, QString::fromUtf8(entry.valueName),
                                            QString::fromUtf8(entry.defaultValue)));
    parser.addPositionalArgument("PATH", "Documents and folders to read.", "PATH...");
}

// Each reader below takes its options from the parsed line into `options` and returns the reason for a
// usage error, or nothing.
using Problem = std::optional<QString>;

Problem readSwitches(const QCommandLineParser &parser, const RawArguments &, Options &options)
{
    options.nulSeparated = parser.isSet("null");
    options.quiet = parser.isSet("quiet");
    options.verbose = parser.isSet("verbose");
    if (options.quiet && options.verbose)
        return QStringLiteral("--quiet and --verbose exclude each other");
    options.hidden = !parser.isSet("no-hidden");
    options.ignoreFailedRead = parser.isSet("ignore-failed-read");
    options.recount = parser.isSet("recount");
    options.layout = parser.isSet("layout");
    return {};
}

Problem readLayoutTimeout(const QCommandLineParser &parser, const RawArguments &, Options &options)
{
    if (!parser.isSet("layout-timeout"))
        return {};
    const QString v = parser.value("layout-timeout");
    bool ok = false;
    const double seconds = v.toDouble(&ok);
    // A day is far beyond any document; the bound keeps the milliseconds from overflowing.
    if (!ok || !(seconds > 0) || seconds > 86400)
        return QStringLiteral("--layout-timeout takes a number of seconds above 0, up to 86400, "
                              "not '%1'")
            .arg(v);
    if (!options.layout)
        return QStringLiteral("--layout-timeout needs --layout");
    options.layoutTimeout = std::chrono::milliseconds(std::max<qint64>(1, static_cast<qint64>(seconds * 1000 + 0.5)));
    return {};
}

Problem readJobs(const QCommandLineParser &parser, const RawArguments &, Options &options)
{
    if (!parser.isSet("jobs"))
        return {};
    qint64 n = 0;
    const QString v = parser.value("jobs");
    if (!parseCount(v, n, 1) || n > 256)
        return QStringLiteral("the number of jobs must be between 1 and 256, not '%1'").arg(v);
    options.jobs = static_cast<int>(n);
    return {};
}

Problem readExtensions(const QCommandLineParser &parser, const RawArguments &, Options &options)
{
    if (!parser.isSet("ext"))
        return {};
    for (const QString &value : parser.values("ext")) {
        for (QString e : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            e = e.trimmed().toLower();
            if (e.startsWith(QLatin1Char('.')))
                e.remove(0, 1);
            if (!e.isEmpty())
                options.extensions << e;
        }
    }
    if (options.extensions.isEmpty())
        return QStringLiteral("option --ext needs at least one extension");
    return {};
}

Problem readFormat(const QCommandLineParser &parser, const RawArguments &, Options &options)
{
    const QString formatName = parser.value("format").toLower();
    if (formatName == QLatin1String("jsonl"))
        options.format = OutputFormatKind::JsonLines;
    else if (formatName == QLatin1String("json"))
        options.format = OutputFormatKind::JsonArray;
    else if (formatName == QLatin1String("csv"))
        options.format = OutputFormatKind::Csv;
    else
        return QStringLiteral("the format must be jsonl, json or csv, not '%1'").arg(parser.value("format"));
    return {};
}

Problem readFields(const QCommandLineParser &parser, const RawArguments &, Options &options)
{
    if (!parser.isSet("fields")) {
        for (const word::BuiltinInfo &info : word::builtinProperties())
            options.fields.push_back(info.id);
        return {};
    }
    for (const QString &value : parser.values("fields")) {
        for (const QString &name : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QString wanted = name.trimmed();
            std::optional<word::Builtin> found;
            for (const word::BuiltinInfo &info : word::builtinProperties())
                if (wanted.compare(QLatin1String(info.name), Qt::CaseInsensitive) == 0)
                    found = info.id;
            if (!found)
                return QStringLiteral("'%1' is not a built-in property name").arg(wanted);
            if (std::find(options.fields.begin(), options.fields.end(), *found) == options.fields.end())
                options.fields.push_back(*found);
        }
    }
    if (options.fields.empty())
        return QStringLiteral("option --fields needs at least one property name");
    return {};
}

Problem readHash(const QCommandLineParser &parser, const RawArguments &, Options &options)
{
    if (!parser.isSet("hash"))
        return {};
    const QString name = parser.value("hash").toLower();
    if (name == QLatin1String("sha256"))
        options.digest = Digest{word::DigestAlgorithm::Sha256, "sha256"};
    else if (name == QLatin1String("md5"))
        options.digest = Digest{word::DigestAlgorithm::Md5, "md5"};
    else
        return QStringLiteral("the hash must be sha256 or md5, not '%1'").arg(parser.value("hash"));
    return {};
}

Problem readRoot(const QCommandLineParser &parser, const RawArguments &raw, Options &options)
{
    if (!parser.isSet("root"))
        return {};
    options.root = NativePath(raw.bytes(parser.value("root")));
    if (options.root->isEmpty())
        return QStringLiteral("option --root needs a folder");
    return {};
}

Problem readShardAndSkip(const QCommandLineParser &parser, const RawArguments &, Options &options)
{
    if (parser.isSet("shard")) {
        const QString v = parser.value("shard");
        const QStringList parts = v.split(QLatin1Char('/'));
        if (parts.size() != 2 || !parseCount(parts[1], options.shardCount, 1)
            || !parseCount(parts[0], options.shardIndex, 0) || options.shardIndex >= options.shardCount)
            return QStringLiteral("--shard takes K/N with 0 <= K < N, not '%1'").arg(v);
    }
    if (parser.isSet("skip")) {
        const QString v = parser.value("skip");
        if (!parseCount(v, options.skip, 0))
            return QStringLiteral("--skip takes a number of inputs, not '%1'").arg(v);
    }
    return {};
}

// Lists are opened now, so that a wrong name is a usage error before any output, and read later.
Problem openLists(const QCommandLineParser &parser, const RawArguments &raw, Options &options)
{
    bool stdinTaken = false;
    for (const QString &v : parser.values("list")) {
        FILE *f = nullptr;
        if (v == QLatin1String("-")) {
            if (stdinTaken)
                return QStringLiteral("standard input can be read as a list only once");
            stdinTaken = true;
            f = stdin;
        } else {
            f = fopen(raw.bytes(v).constData(), "rbe");
            if (f == nullptr)
                return QStringLiteral("cannot read the list '%1': %2").arg(v, QString::fromLocal8Bit(strerror(errno)));
        }
        options.lists.push_back(f);
    }
    return {};
}

} // namespace

int parseArguments(int argc, char **argv, Options &options, FILE *out, FILE *err)
{
    auto usageError = [&](const QString &why) {
        fprintf(err, "%s: %s\nTry '%s --help'.\n", kCommandName, escapedForTerminal(why).constData(), kCommandName);
        return kExitUsage;
    };
    const RawArguments raw(argc, argv);
    QCommandLineParser parser;
    declareOptions(parser);
    if (!parser.parse(raw.texts()))
        return usageError(parser.errorText());
    if (parser.isSet("help")) {
        fputs(helpText(parser.helpText()).toUtf8().constData(), out);
        return kExitAllRead;
    }
    if (parser.isSet("version")) {
        fprintf(out, "%s %s\n", kCommandName, QV_VERSION);
        return kExitAllRead;
    }

    for (const QString &p : parser.positionalArguments())
        options.paths.emplace_back(raw.bytes(p));
    // In the order the checks were always made, so that of several mistakes the same one is reported,
    // and nothing after the first mistake is done (a list is not opened).
    using Reader = Problem (*)(const QCommandLineParser &, const RawArguments &, Options &);
    for (const Reader read : {readSwitches, readLayoutTimeout, readJobs, readExtensions, readFormat, readFields,
                              readHash, readRoot, readShardAndSkip, openLists})
        if (const Problem problem = read(parser, raw, options))
            return usageError(*problem);
    if (options.paths.empty() && options.lists.empty())
        return usageError(QStringLiteral("no documents or folders given"));
    return -1;
}

} // namespace cli
