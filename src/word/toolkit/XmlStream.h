// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/toolkit/XmlParser.h"
#include <QString>

namespace word {

class ZipArchive;
class InputFile;

// Streams the part at `index` of `zip` through `parser`. A part up to the size a tree is read from is
// unpacked whole and parsed in one go (the cheaper way); a larger one is streamed in pieces, never held
// whole: a main part may be large, and one that packs tens of megabytes into a few kilobytes must cost no
// more memory than a small one. Refuses (DamagedContent) a part that unpacks to more than `limit` bytes.
void streamZipPart(const ZipArchive &zip, qint64 index, qint64 limit, XmlParser &parser);

// Streams the bytes of `file` through `parser` (whole when small enough, as above); refuses a file whose
// XML is longer than `limit`.
void streamFile(const InputFile &file, qint64 limit, XmlParser &parser);

// Skips the subtrees of chosen elements while streaming: enter() at each start element and leave() at
// each end element tell whether the token lies inside a skipped subtree.
class SkippedSubtree {
public:
    // `skip` says whether the element starting now begins a skipped subtree.
    bool enter(bool skip)
    {
        ++m_depth;
        if (m_skipFrom == 0 && skip)
            m_skipFrom = m_depth;
        return m_skipFrom != 0;
    }
    bool leave()
    {
        const bool inside = m_skipFrom != 0;
        if (m_skipFrom == m_depth)
            m_skipFrom = 0;
        --m_depth;
        return inside;
    }
    bool inside() const { return m_skipFrom != 0; }

private:
    int m_depth = 0;
    int m_skipFrom = 0; // depth of the skipped element, 0 when none is open
};

} // namespace word
