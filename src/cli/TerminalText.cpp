// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/TerminalText.h"

namespace cli {

namespace {

void appendOctal(QByteArray &out, unsigned char b)
{
    out += '\\';
    out += static_cast<char>('0' + (b >> 6));
    out += static_cast<char>('0' + ((b >> 3) & 7));
    out += static_cast<char>('0' + (b & 7));
}

} // namespace

QByteArray escapedForTerminal(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size());
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        switch (b) {
        case '\\':
            out += "\\\\";
            continue;
        case '\n':
            out += "\\n";
            continue;
        case '\r':
            out += "\\r";
            continue;
        case '\t':
            out += "\\t";
            continue;
        default:
            break;
        }
        if (b < 0x20 || b == 0x7F) {
            appendOctal(out, b);
        } else if (b == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
            // U+0080 to U+009F: the second set of control characters, which some terminals obey too.
            appendOctal(out, b);
            appendOctal(out, static_cast<unsigned char>(utf8[++i]));
        } else {
            out += static_cast<char>(b);
        }
    }
    return out;
}

} // namespace cli
