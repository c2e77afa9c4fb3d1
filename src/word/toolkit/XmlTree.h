// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArrayView>
#include <QtGlobal>
#include <cstddef>

namespace word::xmltree {

// The events of a part read whole, in document order. Each returns false to end the walk early.
class Visitor {
public:
    virtual ~Visitor() = default;
    // `attributes` lists name and value pairs and ends with nullptr, as expat gives them; `line` is the
    // line the start tag stands on, reckoned as expat does (asked only for error messages).
    // Any eight bytes may be read from within a name or value on, up to seven past its terminating zero.
    virtual bool start(const char *name, const char **attributes, qint64 (*line)(const void *), const void *at) = 0;
    // The element last started and not yet ended ends.
    virtual bool end() = 0;
    virtual bool text(const char *text, std::size_t length) = 0;
};

// The largest part read whole; larger ones are streamed through expat.
inline constexpr qint64 kMaxTreeBytes = 8ll * 1024 * 1024;

// Reads `xml` whole with pugixml, much cheaper than expat on the attribute-heavy markup of office parts,
// and walks it. pugixml is lenient where XML is strict (unknown entities, stray text after the root, bad
// name characters...), so the fast path takes only a part it can read exactly as expat would: plain
// UTF-8 without comments, processing instructions, CDATA or a document type, every reference sound, no
// name outside ASCII, every bound of XmlParser kept. Anything else returns false before the visitor has
// been called: the part then goes to expat, whose verdict and messages stand.
bool walk(QByteArrayView xml, Visitor &visitor);

} // namespace word::xmltree
