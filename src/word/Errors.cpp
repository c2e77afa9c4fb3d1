#include "word/Errors.h"
#include <QDir>

namespace word {

QString displayPath(const QString &path) { return QDir::toNativeSeparators(path); }

static QString quoted(const QString &path) { return QLatin1Char('"') + displayPath(path) + QLatin1Char('"'); }

void throwNotFound(const QString &path)
{
    throw OpenError(err::NotFound, QStringLiteral("The document %1 could not be found.").arg(quoted(path)));
}

void throwPermissionDenied(const QString &path)
{
    throw OpenError(err::PermissionDenied,
                    QStringLiteral("The document %1 cannot be read: permission denied.").arg(quoted(path)));
}

void throwFileAccess(const QString &path, const QString &why)
{
    throw OpenError(err::FileAccess, QStringLiteral("The document %1 cannot be read: %2.").arg(quoted(path), why));
}

void throwUnknownFormat(const QString &path, const QString &format, const QString &what)
{
    throw OpenError(err::UnknownFormat,
                    QStringLiteral("%1 is not a document this program can read: %2.").arg(quoted(path), what), format);
}

void throwDamaged(const QString &path, const QString &format, const QString &what)
{
    throw OpenError(err::Damaged, QStringLiteral("The document %1 is damaged: %2.").arg(quoted(path), what), format);
}

void throwEncrypted(const QString &path, const QString &format)
{
    throw OpenError(err::Encrypted,
                    QStringLiteral("The document %1 is protected with a password; its properties cannot be read "
                                   "without it.")
                        .arg(quoted(path)),
                    format);
}

} // namespace word
