// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/ImportFilter.h"
#include <QStringDecoder>
#include <fcntl.h>
#include <unistd.h>

namespace office {

namespace {

// The engine counts the text of at most this much plain text; the judgement reads no further.
constexpr qint64 kMaxTextBytes = 64 * 1024 * 1024;

// UTF-16 and UTF-8 by their byte order marks, UTF-8 when the bytes are valid UTF-8, otherwise
// Windows-1252: the engine's own reading of plain text, so that both count the same characters.
QString textCharacterSet(const QByteArray &nativePath)
{
    // Opened by its exact bytes: the name need not be valid text.
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return QStringLiteral("UTF8");
    QByteArray bytes;
    char chunk[65536];
    ssize_t n = 0;
    while (bytes.size() < kMaxTextBytes && (n = ::read(fd, chunk, sizeof chunk)) > 0)
        bytes.append(chunk, n);
    ::close(fd);
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return QStringLiteral("UNICODE");
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes); // decoding is lazy until the result is taken
    return utf8.hasError() ? QStringLiteral("MS_1252") : QStringLiteral("UTF8");
}

} // namespace

std::optional<ImportFilter> importFilterFor(const QString &engineFormat, const QByteArray &nativePath)
{
    // The engine's format names and the office's filters for them. The Word 2007 filter reads documents,
    // templates and macro-enabled files alike; the binary format has a filter per version (Word 97 to
    // 2003, 95, 6) and for templates, which refuse each other's files, so they are tried in turn.
    if (engineFormat == QLatin1String("OOXML"))
        return ImportFilter{QStringLiteral("MS Word 2007 XML"), {}};
    if (engineFormat == QLatin1String("OLE"))
        return ImportFilter{
            QStringLiteral("MS Word 97\nMS Word 97 Vorlage\nMS Word 95\nMS Word 95 Vorlage\nMS WinWord 6.0"), {}};
    if (engineFormat == QLatin1String("RTF"))
        return ImportFilter{QStringLiteral("Rich Text Format"), {}};
    if (engineFormat == QLatin1String("ODT"))
        return ImportFilter{QStringLiteral("writer8"), {}};
    if (engineFormat == QLatin1String("WORDML"))
        return ImportFilter{QStringLiteral("MS Word 2003 XML"), {}};
    if (engineFormat == QLatin1String("TEXT"))
        return ImportFilter{QStringLiteral("Text (encoded)"), textCharacterSet(nativePath)};
    return std::nullopt;
}

} // namespace office
