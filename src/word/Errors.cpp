#include "word/Errors.h"
#include <QDir>

namespace word {

const char *errorKindName(ErrorKind kind)
{
    switch (kind) {
    case ErrorKind::NotFound: return "not-found";
    case ErrorKind::Permission: return "permission";
    case ErrorKind::NotADocument: return "not-a-document";
    case ErrorKind::Encrypted: return "encrypted";
    case ErrorKind::Damaged: return "damaged";
    case ErrorKind::TooLarge: return "too-large";
    case ErrorKind::Io: return "io";
    }
    return "io";
}

ErrorKind OpenError::kindOfNumber(int number)
{
    switch (number) {
    case err::NotFound: return ErrorKind::NotFound;
    case err::PermissionDenied: return ErrorKind::Permission;
    case err::UnknownFormat: return ErrorKind::NotADocument;
    case err::Damaged: return ErrorKind::Damaged;
    case err::Encrypted: return ErrorKind::Encrypted;
    default: return ErrorKind::Io;
    }
}

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

void throwNotAFile(const QString &path, const QString &why)
{
    throw OpenError(ErrorKind::NotADocument, err::FileAccess,
                    QStringLiteral("The document %1 cannot be read: %2.").arg(quoted(path), why));
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

namespace word {

void throwTooLarge(const QString &path, const QString &format, const QString &what)
{
    throw OpenError(ErrorKind::TooLarge, err::Damaged,
                    QStringLiteral("The document %1 is damaged: %2.").arg(quoted(path), what), format);
}

} // namespace word
