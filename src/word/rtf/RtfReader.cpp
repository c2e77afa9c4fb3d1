// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/rtf/RtfReader.h"
#include "word/Errors.h"
#include "word/toolkit/Limits.h"

namespace word {

RtfReader::RtfReader(const FileContent &content, qint64 limit) : m_in(content, limit) {}

void RtfReader::run(RtfConsumer &consumer)
{
    m_consumer = &consumer;
    for (RtfToken t = m_in.next(); t.kind != RtfToken::Kind::End && !m_stopped; t = m_in.next()) {
        switch (t.kind) {
        case RtfToken::Kind::GroupStart: {
            if (m_stack.size() >= static_cast<size_t>(limits::kMaxRtfDepth))
                throw DamagedContent(QStringLiteral("its groups are nested too deeply"));
            Group g;
            g.uc = m_stack.empty() ? 1 : m_stack.back().uc;
            m_stack.push_back(g);
            m_fallback = 0;
            consumer.groupStarted();
            break;
        }
        case RtfToken::Kind::GroupEnd:
            m_fallback = 0;
            if (!m_stack.empty()) {
                consumer.groupEnded();
                m_stack.pop_back();
            }
            if (m_stack.empty()) { // the end of the document group, or a `}` that closes nothing
                m_stopped = true;
                consumer.documentEnded();
            }
            break;
        case RtfToken::Kind::Word:
            controlWord(t);
            break;
        case RtfToken::Kind::Symbol:
        case RtfToken::Kind::HexByte:
        case RtfToken::Kind::BadHex:
            controlSymbol(t);
            break;
        case RtfToken::Kind::Text:
            text(t.text);
            break;
        case RtfToken::Kind::End:
            break;
        }
    }
    m_consumer = nullptr;
}

void RtfReader::skipGroup()
{
    m_fallback = 0;
    m_in.skipGroup();
    if (m_stack.empty())
        return;
    m_consumer->groupSkipped();
    m_stack.pop_back();
}

bool RtfReader::decideGroup(const RtfToken *firstWord)
{
    m_stack.back().fresh = false;
    if (m_consumer->groupBegins(firstWord))
        return true;
    skipGroup();
    return false;
}

void RtfReader::controlWord(const RtfToken &w)
{
    if (w.name == "bin") { // its data was stepped over by the tokenizer
        dropFallback();
        return;
    }
    if (!beginGroup(&w))
        return;
    if (w.name == "uc") {
        if (!m_stack.empty() && w.hasParam && w.param >= 0 && w.param <= 16)
            m_stack.back().uc = static_cast<int>(w.param);
        return;
    }
    if (w.name == "u" && w.hasParam) {
        if (dropFallback())
            return;
        const qint64 v = w.param < 0 ? w.param + 65536 : w.param;
        if (v >= 0 && v <= 0xFFFF)
            m_consumer->character(static_cast<char16_t>(v));
        m_fallback = m_stack.empty() ? 1 : m_stack.back().uc;
        return;
    }
    if (dropFallback())
        return;
    m_consumer->word(w);
}

void RtfReader::controlSymbol(const RtfToken &t)
{
    if (t.kind == RtfToken::Kind::Symbol && t.ch == '*') {
        if (!m_stack.empty() && m_stack.back().fresh)
            m_stack.back().optional = true;
        m_consumer->optionalDestination();
        return;
    }
    if (!beginGroup(nullptr) || t.kind == RtfToken::Kind::BadHex || dropFallback())
        return;
    if (t.kind == RtfToken::Kind::HexByte) {
        m_consumer->bytes(std::string_view(&t.ch, 1));
        return;
    }
    switch (t.ch) {
    case '\\':
    case '{':
    case '}':
        m_consumer->bytes(std::string_view(&t.ch, 1));
        break;
    case '~':
        m_consumer->character(0x00A0);
        break;
    case '_':
        m_consumer->character(0x2011);
        break;
    default:
        m_consumer->symbol(t.ch);
        break;
    }
}

void RtfReader::text(std::string_view run)
{
    if (!beginGroup(nullptr))
        return; // the text began a group that was stepped over whole
    while (!run.empty() && dropFallback())
        run.remove_prefix(1);
    if (!run.empty())
        m_consumer->bytes(run);
}

} // namespace word
