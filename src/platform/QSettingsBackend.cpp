// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store on top of QSettings' INI files.
#include "platform/DesktopPlatform.h"
#include "platform/RuntimeError.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <QStringList>
#include <sys/stat.h>

namespace {

// A settings file larger than this was not written by the program; it is not searched by hand.
constexpr qint64 MaxRawFileBytes = 4 * 1024 * 1024;

QString statusText(QSettings::Status status, const char *what, const QString &file)
{
    if (status == QSettings::FormatError)
        return QStringLiteral("The settings file %1 is damaged and could not be %2.").arg(file, QLatin1String(what));
    return QStringLiteral("The settings file %1 could not be %2.").arg(file, QLatin1String(what));
}

// Qt writes a section name with its blanks and other special characters as %XX.
QString unescapedSection(QStringView text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        bool ok = false;
        const int code = text.size() > i + 2 && text.at(i) == u'%' ? text.mid(i + 1, 2).toInt(&ok, 16) : 0;
        if (ok) {
            out += QChar(code);
            i += 2;
        } else {
            out += text.at(i);
        }
    }
    return out;
}

// The text after "key=" in the section, exactly as it stands in the file. QSettings reads a value with
// unquoted commas as a list of texts, which loses what the user typed (e.g. "doc, txt" edited by hand).
std::optional<QString> rawValue(const QString &fileName, const QString &section, const QString &key)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxRawFileBytes)
        return std::nullopt;
    bool inSection = false;
    for (const QByteArray &rawLine : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            inSection = unescapedSection(QStringView(line).mid(1, line.size() - 2)) == section;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (inSection && eq > 0 && QStringView(line).left(eq).trimmed() == key)
            return line.mid(eq + 1).trimmed();
    }
    return std::nullopt;
}

// What identifies one state of a file: the same file (not one renamed into its place), unchanged.
struct FileState {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    qint64 modifiedNs = 0;
    bool operator==(const FileState &) const = default;
};

FileState stateOf(const QString &fileName)
{
    struct stat st {};
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0)
        return {};
    return {true, st.st_dev, st.st_ino, st.st_size, qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// Reads the whole file and tells whether that worked. QSettings parses a section only when it is asked
// for, and reports damage only then, so every section is asked for. It also keeps a parsed file in a
// process-wide cache while the file is unchanged and tells the damage to the first reader alone: the
// damaged state of a file is therefore remembered here until the file changes.
QSettings::Status loadWhole(const QSettings &settings)
{
    static QHash<QString, FileState> damaged;
    (void)settings.allKeys();
    const QString file = settings.fileName();
    const FileState now = stateOf(file);
    if (settings.status() == QSettings::FormatError) {
        damaged.insert(file, now);
        return QSettings::FormatError;
    }
    const auto known = damaged.constFind(file);
    if (known != damaged.constEnd()) {
        if (known.value() == now && now.exists)
            return QSettings::FormatError;
        damaged.erase(known);
    }
    return settings.status();
}

} // namespace

QSettingsBackend::QSettingsBackend(const QString &organisation, const QString &application, const QString &section)
    : m_organisation(organisation), m_application(application), m_section(section)
{
}

QString QSettingsBackend::fileName() const
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, m_organisation, m_application).fileName();
}

QString QSettingsBackend::keptCopyName(const QString &fileName)
{
    const QString base = fileName + QStringLiteral(".damaged");
    if (!QFileInfo::exists(base))
        return base;
    for (int n = 2; n < 1000; ++n) {
        const QString candidate = base + QLatin1Char('-') + QString::number(n);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
    return {};
}

std::optional<QString> QSettingsBackend::read(const QString &key)
{
    // A fresh QSettings takes the file's current state (another copy of the program may have written) and
    // carries no error from an earlier call.
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, m_organisation, m_application);
    const QString path = m_section + QLatin1Char('/') + key;
    // Only a file that cannot be opened refuses the read. A damaged one still yields every key that
    // could be parsed; the first write sets the file aside and says so, once.
    if (const QSettings::Status status = loadWhole(settings); status == QSettings::AccessError)
        throw RuntimeError(RuntimeError::PermissionDenied, statusText(status, "read", settings.fileName()));
    if (!settings.contains(path))
        return std::nullopt;
    const QVariant value = settings.value(path);
    if (value.metaType().id() == QMetaType::QStringList)
        return rawValue(settings.fileName(), m_section, key).value_or(value.toStringList().join(u','));
    return value.toString();
}

void QSettingsBackend::write(const QString &key, const QString &value)
{
    QString keptCopy;
    QList<std::pair<QString, QVariant>> salvaged;
    {
        const QSettings probe(QSettings::NativeFormat, QSettings::UserScope, m_organisation, m_application);
        const QString file = probe.fileName();
        const QSettings::Status status = loadWhole(probe);
        // QSettings would write back only what it could read, losing every key of an unreadable file.
        if (status == QSettings::AccessError)
            throw RuntimeError(RuntimeError::PermissionDenied, statusText(QSettings::AccessError, "written", file));
        if (status == QSettings::FormatError) {
            // The damaged file is moved aside unchanged, so nothing the user had is lost; what could be
            // read from the program's section goes into the new file.
            for (const QString &k : probe.allKeys())
                if (k.startsWith(m_section + QLatin1Char('/')))
                    salvaged.append({k, probe.value(k)});
            keptCopy = keptCopyName(file);
            if (keptCopy.isEmpty() || !QFile::rename(file, keptCopy))
                throw RuntimeError(
                    RuntimeError::PermissionDenied,
                    QStringLiteral("The settings file %1 is damaged and could not be written; it was left as it is.")
                        .arg(file));
        }
    }
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, m_organisation, m_application);
    for (const auto &[k, v] : salvaged)
        settings.setValue(k, v);
    settings.setValue(m_section + QLatin1Char('/') + key, value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw RuntimeError(RuntimeError::PermissionDenied,
                           statusText(settings.status(), "written", settings.fileName()));
    if (!keptCopy.isEmpty())
        throw RuntimeError(
            RuntimeError::PermissionDenied,
            QStringLiteral("The settings file %1 was damaged. It has been kept as %2, and a new settings file "
                           "now holds what could be read from it and the value of %3.")
                .arg(settings.fileName(), keptCopy, key));
}

// Every write is synced at once; there is nothing left to save.
void QSettingsBackend::flush() {}
