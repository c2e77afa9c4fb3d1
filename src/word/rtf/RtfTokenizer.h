// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/Formats.h"
#include "word/toolkit/Limits.h"
#include <QByteArray>
#include <optional>
#include <string_view>

namespace word {

// One token of an RTF file.
struct RtfToken {
    enum class Kind {
        End,        // the end of the file, or of the part of it that is read
        GroupStart, // {
        GroupEnd,   // }
        Word,       // \name, \nameN or \name-N
        Symbol,     // \ and one character that is not a letter (\\ \{ \} \~ \_ \* \- ...), except \'hh
        HexByte,    // \'hh: the byte in `ch`
        BadHex,     // \' without two hex digits after it: carries nothing
        Text,       // a run of bytes as written, without braces, backslashes or line breaks (the file's
                    // line breaks are not text and never come as tokens)
    };
    Kind kind = Kind::End;
    std::string_view name; // Word: at most kMaxRtfWordLetters letters; valid until the next token
    std::string_view text; // Text: valid until the next token
    bool hasParam = false;
    qint64 param = 0; // its first kMaxRtfParamDigits digits, signed
    char ch = 0;      // Symbol and HexByte

    bool is(std::string_view word) const { return kind == Kind::Word && name == word; }
};

// The character a typographic control word stands for (\emdash, \ldblquote, \bullet ...); nothing for
// any other word.
std::optional<char16_t> rtfTypographicCharacter(std::string_view word);

// The one reader of RTF syntax for the header and the body alike. It reads the file forward in chunks,
// never more than `limit` bytes of it, and steps over the data of \binN itself, so a reader above only
// sees tokens.
class RtfTokenizer {
public:
    RtfTokenizer(const FileContent &content, qint64 limit);

    RtfToken next();
    // Steps over the rest of the group whose start was read last, nested groups and \bin data included,
    // up to and with its closing brace.
    void skipGroup();
    // True when the reading stopped at `limit` with more of the file behind it.
    bool stoppedAtLimit() const { return m_end < m_fileSize && m_base + m_buf.size() >= m_end; }

private:
    int get()
    {
        if (m_i >= m_buf.size() && !refill())
            return -1;
        return static_cast<unsigned char>(m_buf.constData()[m_i++]);
    }
    int peek()
    {
        if (m_i >= m_buf.size() && !refill())
            return -1;
        return static_cast<unsigned char>(m_buf.constData()[m_i]);
    }
    bool refill();
    void skipBytes(qint64 n);
    void readWord(RtfToken &token);
    // The token's name moved out of the loaded buffer, which the next read may replace.
    void keepName(RtfToken &token);
    int peekKeeping(RtfToken &token)
    {
        if (m_i >= m_buf.size())
            keepName(token);
        return peek();
    }

    InputFile &m_file;
    QByteArray m_buf;
    qint64 m_base = 0; // file offset of m_buf[0]
    qsizetype m_i = 0;
    qint64 m_fileSize;
    qint64 m_end;
    char m_name[limits::kMaxRtfWordLetters];
};

} // namespace word
