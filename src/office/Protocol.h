// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

// The line protocol between the programs and the office helper (quillmere-office). One request line
// on the helper's standard input gets one answer line on its standard output. Words are separated by
// one blank; a path or a text travels as base64, so that a file name is passed as its exact bytes
// (it need not be valid UTF-8) and a message may hold blanks or line breaks.
//
//   helper, once started:  ready layout                  | ready nolayout <reason>
//   layout <path> <filters> <filter options> <limit ms> -> ok <pages> <lines> <words> <characters>
//                                                          <characters with spaces> <paragraphs>
//                                                        | fail <timed out: 0|1> <reason>
//   open-new <path>                                    -> ok <modified: 0|1> <has a location: 0|1> <title>
//                                                        | fail 0 <reason>
//   status                                             -> status <office pid> <office starts>
//                                                          <peak office KiB> <isolated: 0|1>
//   (<filters>: the import filters to try in turn, one a line)
//   quit (or the end of the input)                     -> the helper ends its office and exits
namespace office::protocol {

inline constexpr qsizetype kMaxLineBytes = 64 * 1024; // a path of PATH_MAX bytes fits many times over

inline QByteArray encode(const QByteArray &bytes) { return bytes.isEmpty() ? QByteArray("-") : bytes.toBase64(); }
inline QByteArray encode(const QString &text) { return encode(text.toUtf8()); }
inline QByteArray decode(const QByteArray &word)
{
    if (word == "-")
        return {};
    const auto result = QByteArray::fromBase64Encoding(word, QByteArray::AbortOnBase64DecodingErrors);
    return result ? *result : QByteArray();
}
inline QString decodeText(const QByteArray &word) { return QString::fromUtf8(decode(word)); }

inline QList<QByteArray> words(QByteArray line)
{
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return line.split(' ');
}

} // namespace office::protocol
