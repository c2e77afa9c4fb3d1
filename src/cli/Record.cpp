// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Record.h"
#include "office/LayoutClient.h"
#include "word/Engine.h"
#include <QDir>
#include <QFile>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {

namespace {

const QString kPath = QStringLiteral("path");
const QString kPathBase64 = QStringLiteral("path_base64");
const QString kError = QStringLiteral("error");
const QString kErrorKind = QStringLiteral("error_kind");
const QString kComputed = QStringLiteral("computed");

// Pages and lines from the document's layout, only where they are asked for and the file stores none:
// a layout costs far more than the whole read.
std::optional<office::Measurement> measureMissing(const word::DocumentProperties &props, const QByteArray &path,
                                                  const RecordSettings &settings, office::LayoutClient *session)
{
    if (session == nullptr)
        return std::nullopt;
    if (std::none_of(settings.properties.begin(), settings.properties.end(),
                     [&](word::Builtin id) { return word::wantsLayout(props, id); }))
        return std::nullopt;
    return session->measure(path, props.format(), settings.layoutTimeout);
}

QString utcText(const QDateTime &moment)
{
    const QDateTime u = moment.toUTC();
    return isoDateTime(u.date(), u.time(), true);
}

Cell valueCell(const std::optional<word::PropertyValue> &v)
{
    if (!v)
        return Cell::null();
    switch (v->type()) {
    case word::PropertyValue::Type::Text:
        return Cell::of(v->asText());
    case word::PropertyValue::Type::Integer:
        return Cell::of(v->asInteger());
    case word::PropertyValue::Type::DateTime:
        // A zone-less date is a reading of some machine's clock: converting it through this machine's
        // zone would make the same file give different output on different machines.
        if (!v->hasZone())
            return Cell::of(isoDateTime(v->storedDate(), v->storedTime(), false));
        return Cell::of(utcText(v->asDateTime()));
    }
    return Cell::null();
}

// The modification time of a file that could not be read as a document, when it can be seen at all.
Cell modifiedOf(const NativePath &path)
{
    struct stat status {};
    if (path.bytes().contains('\0') || ::stat(path.bytes().constData(), &status) != 0)
        return Cell::null();
    const QDateTime t =
        QDateTime::fromSecsSinceEpoch(status.st_mtim.tv_sec, Qt::UTC).addMSecs(status.st_mtim.tv_nsec / 1000000);
    return Cell::of(utcText(t));
}

word::ErrorKind kindOfErrno(int e)
{
    switch (e) {
    case ENOENT:
    case ENOTDIR:
        return word::ErrorKind::NotFound;
    case EACCES:
    case EPERM:
        return word::ErrorKind::Permission;
    default:
        return word::ErrorKind::Io;
    }
}

// The path fields: the text (lossy when the bytes are not UTF-8) and, only then, the exact bytes.
void addPath(Record &r, const NativePath &path)
{
    r.fields.push_back({kPath, Cell::of(path.text())});
    if (!path.textIsExact())
        r.fields.push_back({kPathBase64, Cell::of(QString::fromLatin1(path.bytes().toBase64()))});
}

void addFailure(Record &r, word::ErrorKind kind, const QString &text)
{
    r.failed = true;
    r.errorKind = kind;
    r.fields.push_back({kError, Cell::of(text)});
    r.fields.push_back({kErrorKind, Cell::of(QString::fromLatin1(word::errorKindName(kind)))});
}

} // namespace

QString isoDateTime(QDate date, QTime time, bool utc)
{
    // The calendar date worked out once, rather than once for each of year, month and day.
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    if (year < 0 || year > 9999) // the engine keeps dates within 1602 to 9999
        return QString::asprintf("%d-%02d-%02dT%02d:%02d:%02d%s", year, month, day, time.hour(), time.minute(),
                                 time.second(), utc ? "Z" : "");
    // Written digit by digit: formatting through printf was a noticeable share of writing a record.
    char text[32];
    char *p = text;
    const auto put = [&p](int value, int width, char after) {
        for (int k = width - 1; k >= 0; --k, value /= 10)
            p[k] = static_cast<char>('0' + value % 10);
        p += width;
        if (after)
            *p++ = after;
    };
    put(year, 4, '-');
    put(month, 2, '-');
    put(day, 2, 'T');
    put(time.hour(), 2, ':');
    put(time.minute(), 2, ':');
    put(time.second(), 2, time.msec() != 0 ? '.' : '\0');
    if (time.msec() != 0)
        put(time.msec(), 3, '\0');
    if (utc)
        *p++ = 'Z';
    return QString::fromLatin1(text, p - text);
}

NativePath cleanAbsolutePath(const NativePath &path)
{
    QByteArray absolute = path.bytes();
    if (!absolute.startsWith('/'))
        absolute = QFile::encodeName(QDir::currentPath()) + '/' + absolute;
    QList<QByteArray> kept;
    for (const QByteArray &step : absolute.split('/')) {
        if (step.isEmpty() || step == ".")
            continue;
        if (step == "..") {
            if (!kept.isEmpty())
                kept.removeLast();
            continue;
        }
        kept.push_back(step);
    }
    return NativePath('/' + kept.join('/'));
}

NativePath relativePath(const NativePath &path, const NativePath &root)
{
    const QList<QByteArray> p = path.bytes().split('/');
    const QList<QByteArray> r = root.bytes() == "/" ? QList<QByteArray>{""} : root.bytes().split('/');
    qsizetype common = 0;
    while (common < p.size() && common < r.size() && p[common] == r[common])
        ++common;
    QList<QByteArray> steps;
    for (qsizetype i = common; i < r.size(); ++i)
        steps.push_back("..");
    for (qsizetype i = common; i < p.size(); ++i)
        steps.push_back(p[i]);
    return NativePath(steps.isEmpty() ? QByteArray(".") : steps.join('/'));
}

RecordSettings recordSettings(const Options &options)
{
    RecordSettings s;
    s.properties = options.fields;
    s.digest = options.digest;
    s.recount = options.recount;
    s.layoutTimeout = options.layoutTimeout;
    if (options.root)
        s.root = cleanAbsolutePath(*options.root);
    return s;
}

QStringList columnNames(const RecordSettings &settings)
{
    QStringList names{QStringLiteral("schema"), kPath, kPathBase64, QStringLiteral("format"), QStringLiteral("mtime")};
    if (settings.digest)
        names << QString::fromLatin1(settings.digest->name);
    names << kError << kErrorKind << kComputed;
    for (word::Builtin id : settings.properties)
        names << QLatin1String(word::builtinInfo(id).name);
    return names;
}

QString failureText(const Record &record)
{
    for (const Field &f : record.fields)
        if (f.name == kError)
            return f.value.text;
    return {};
}

namespace {

// The properties asked for, each as the document stores it or else as its layout gave it, and the
// "computed" field naming those that were not read from the file.
void addProperties(Record &r, const word::DocumentProperties &props, const RecordSettings &settings,
                   const std::optional<office::Measurement> &measured)
{
    // The names as strings made once: shared by every record rather than converted for each.
    static const std::array<QString, word::kBuiltinCount> kNames = [] {
        std::array<QString, word::kBuiltinCount> names;
        for (const word::BuiltinInfo &info : word::builtinProperties())
            names[static_cast<size_t>(info.id)] = QString::fromLatin1(info.name);
        return names;
    }();
    QStringList computed;
    r.properties.reserve(settings.properties.size());
    const QList<word::Builtin> &counted = props.computed();
    for (word::Builtin id : settings.properties) {
        const QString &name = kNames[static_cast<size_t>(id)];
        // Without a layout there is no laid-out value to ask for.
        const std::optional<word::PropertyValue> laidOut =
            measured ? word::laidOutValue(props, id,
                                          [&](word::Builtin count) -> std::optional<int> {
                                              return count == word::Builtin::NumberOfPages ? measured->pages
                                                                                           : measured->lines;
                                          })
                     : std::nullopt;
        if (laidOut || counted.contains(id))
            computed << name;
        const std::optional<word::PropertyValue> &value = laidOut ? laidOut : props.stored(id);
        r.properties.push_back({name, valueCell(value)});
    }
    r.fields.push_back({kComputed, Cell::of(computed)});
}

} // namespace

Record describeInput(const Input &input, const RecordSettings &settings, office::LayoutClient *layout)
{
    Record r;
    describeInput(input, settings, layout, r);
    return r;
}

void describeInput(const Input &input, const RecordSettings &settings, office::LayoutClient *layout, Record &r)
{
    r.clear();
    r.fields.push_back({QStringLiteral("schema"), Cell::of(qint64{kSchemaVersion})});
    addPath(r, settings.root ? relativePath(cleanAbsolutePath(input.path), *settings.root) : input.path);
    const QString path = input.path.text();
    const QString digestName = settings.digest ? QString::fromLatin1(settings.digest->name) : QString();

    auto fail = [&](const QString &format, word::ErrorKind kind, const QString &text) {
        r.fields.push_back({QStringLiteral("format"), format.isEmpty() ? Cell::null() : Cell::of(format)});
        r.fields.push_back({QStringLiteral("mtime"), modifiedOf(input.path)});
        if (settings.digest)
            r.fields.push_back({digestName, Cell::null()});
        addFailure(r, kind, text);
    };

    if (input.tooDeep)
        return fail({}, word::ErrorKind::TooLarge,
                    QStringLiteral("The folder \"%1\" is not read: it lies more than %2 folders deep.")
                        .arg(path)
                        .arg(fs::limits::kMaxWalkDepth));
    if (input.walkError != 0)
        return fail({}, kindOfErrno(input.walkError),
                    QStringLiteral("The folder \"%1\" cannot be read: %2.")
                        .arg(path, QString::fromLocal8Bit(strerror(input.walkError)).toLower()));
    try {
        word::ReadOptions read;
        read.nativePath = input.path.bytes();
        read.recount = settings.recount;
        read.asked = settings.properties; // counts only where they are written
        if (settings.digest)
            read.digest = settings.digest->algorithm;
        const word::DocumentProperties props = word::readDocumentProperties(path, read);
        r.fields.push_back({QStringLiteral("format"), Cell::of(props.format())});
        r.fields.push_back({QStringLiteral("mtime"), Cell::of(utcText(props.facts().modified))});
        if (settings.digest)
            r.fields.push_back({digestName, Cell::of(QString::fromLatin1(props.facts().digest.toHex()))});
        // The layout gets the path as the bytes the engine read, so a name that is not UTF-8 reaches it.
        const std::optional<office::Measurement> measured = measureMissing(props, input.path.bytes(), settings, layout);
        if (measured && !measured->error.isEmpty())
            r.layoutFailure = measured->error;
        addProperties(r, props, settings, measured);
    } catch (const word::Error &e) {
        if (e.isOpenFailure())
            return fail(e.format(), e.kind(), e.description());
        return fail({}, word::ErrorKind::Io,
                    QStringLiteral("The document \"%1\" could not be read: %2").arg(path, e.description()));
    } catch (const std::bad_alloc &) {
        return fail({}, word::ErrorKind::TooLarge,
                    QStringLiteral("The document \"%1\" is too large to read.").arg(path));
    } catch (const std::exception &e) {
        return fail(
            {}, word::ErrorKind::Io,
            QStringLiteral("The document \"%1\" could not be read: %2.").arg(path, QString::fromLocal8Bit(e.what())));
    }
}

} // namespace cli
