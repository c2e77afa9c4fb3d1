// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/Formats.h"
#include "word/rtf/RtfTokenizer.h"
#include <string_view>
#include <vector>

namespace word {

// What one reading of an RTF file does with what the state machine hands on: the {\info} reader and the
// body counter are the two. The machine keeps the RTF state that both need alike (groups and their
// nesting bound, which destination a group is, \* groups, \uc and the fallback characters after \uN,
// \bin data, control symbols that stand for characters); a consumer keeps only what it reads.
class RtfConsumer {
public:
    virtual ~RtfConsumer() = default;

    // A group was opened (`{`), or is closed (`}`, before it is gone), or was stepped over whole.
    virtual void groupStarted() {}
    virtual void groupEnded() {}
    virtual void groupSkipped() {}
    // The document group has closed (or a `}` closed nothing): reading ends here.
    virtual void documentEnded() {}
    // The first token of a group decides what the group is: its first control word, or nothing when the
    // group begins with text or a symbol. False steps over the rest of the group unread.
    virtual bool groupBegins(const RtfToken *firstWord) = 0;
    // A control word other than \uc, \uN and \bin, which the machine handles itself.
    virtual void word(const RtfToken &w) = 0;
    // \*: the group is one a reader may ignore when it does not know it.
    virtual void optionalDestination() {}
    // Bytes as the file writes them (text runs, \'hh, \\ \{ \}), to be decoded in the current code page.
    virtual void bytes(std::string_view bytes) = 0;
    // A character the file names: \uN, \~, \_.
    virtual void character(char16_t c) = 0;
    // Any other control symbol (\- \| \: a backslash before a line break or a tab ...).
    virtual void symbol(char c) = 0;
};

// The one RTF state machine, over the shared tokenizer. It reads at most `limit` bytes and stops at the
// end of the document group, at a `}` with no group open, or when a consumer calls stop().
class RtfReader {
public:
    RtfReader(const FileContent &content, qint64 limit);

    void run(RtfConsumer &consumer);
    // Steps over the rest of the current group; the consumer hears groupSkipped().
    void skipGroup();
    void stop() { m_stopped = true; }

    // Groups open now, the document group included.
    size_t depth() const { return m_stack.size(); }
    // Whether the current group began with \*.
    bool optional() const { return !m_stack.empty() && m_stack.back().optional; }
    // Whether reading ended at the limit with more of the file behind it.
    bool stoppedAtLimit() const { return m_in.stoppedAtLimit(); }

private:
    struct Group {
        int uc = 1; // fallback characters after \uN
        bool fresh = true;
        bool optional = false;
    };
    // After \uN the next `uc` characters (a byte, a \'hh, a symbol or a control word) are the fallback
    // for readers without Unicode, and are dropped.
    bool dropFallback()
    {
        if (m_fallback <= 0)
            return false;
        --m_fallback;
        return true;
    }
    // Lets the consumer decide what a group is at its first token; false when it was stepped over. Kept
    // inline, as every token asks; the decision itself is rare.
    bool beginGroup(const RtfToken *firstWord)
    {
        return m_stack.empty() || !m_stack.back().fresh || decideGroup(firstWord);
    }
    bool decideGroup(const RtfToken *firstWord);
    void controlWord(const RtfToken &w);
    void controlSymbol(const RtfToken &t);
    void text(std::string_view run);

    RtfTokenizer m_in;
    RtfConsumer *m_consumer = nullptr;
    std::vector<Group> m_stack;
    int m_fallback = 0;
    bool m_stopped = false;
};

} // namespace word
