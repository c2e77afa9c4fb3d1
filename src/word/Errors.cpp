// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/Errors.h"
#include <QDir>

namespace word {

const char *errorKindName(ErrorKind kind)
{
    switch (kind) {
    case ErrorKind::NotFound:
        return "not-found";
    case ErrorKind::Permission:
        return "permission";
    case ErrorKind::NotADocument:
        return "not-a-document";
    case ErrorKind::Encrypted:
        return "encrypted";
    case ErrorKind::Damaged:
        return "damaged";
    case ErrorKind::TooLarge:
        return "too-large";
    case ErrorKind::Io:
        return "io";
    }
    return "io";
}

ErrorKind kindOf(Fault fault)
{
    switch (fault) {
    case Fault::NotFound:
        return ErrorKind::NotFound;
    case Fault::PermissionDenied:
        return ErrorKind::Permission;
    case Fault::NotAFile:
    case Fault::UnknownFormat:
        return ErrorKind::NotADocument;
    case Fault::Damaged:
        return ErrorKind::Damaged;
    case Fault::TooLarge:
        return ErrorKind::TooLarge;
    case Fault::Encrypted:
        return ErrorKind::Encrypted;
    default:
        return ErrorKind::Io;
    }
}

QString displayPath(const QString &path) { return QDir::toNativeSeparators(path); }

static QString quoted(const QString &path) { return QLatin1Char('"') + displayPath(path) + QLatin1Char('"'); }

void throwNotFound(const QString &path)
{
    throw Error(Fault::NotFound, QStringLiteral("The document %1 could not be found.").arg(quoted(path)));
}

void throwPermissionDenied(const QString &path)
{
    throw Error(Fault::PermissionDenied,
                QStringLiteral("The document %1 cannot be read: permission denied.").arg(quoted(path)));
}

void throwFileAccess(const QString &path, const QString &why)
{
    throw Error(Fault::FileAccess, QStringLiteral("The document %1 cannot be read: %2.").arg(quoted(path), why));
}

void throwChangedWhileRead(const QString &path)
{
    throwFileAccess(path, QStringLiteral("it changed while it was being read"));
}

void throwNotAFile(const QString &path, const QString &why)
{
    throw Error(Fault::NotAFile, QStringLiteral("The document %1 cannot be read: %2.").arg(quoted(path), why));
}

void throwUnknownFormat(const QString &path, const QString &format, const QString &what)
{
    throw Error(Fault::UnknownFormat,
                QStringLiteral("%1 is not a document this program can read: %2.").arg(quoted(path), what), format);
}

void throwDamaged(const QString &path, const QString &format, const QString &what)
{
    throw Error(Fault::Damaged, QStringLiteral("The document %1 is damaged: %2.").arg(quoted(path), what), format);
}

void throwEncrypted(const QString &path, const QString &format)
{
    throw Error(Fault::Encrypted,
                QStringLiteral("The document %1 is protected with a password; its properties cannot be read "
                               "without it.")
                    .arg(quoted(path)),
                format);
}

void throwTooLarge(const QString &path, const QString &format, const QString &what)
{
    throw Error(Fault::TooLarge, QStringLiteral("The document %1 is damaged: %2.").arg(quoted(path), what), format);
}

} // namespace word
