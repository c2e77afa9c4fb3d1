// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/odf/OdfListNumbering.h"
#include "word/odf/OdfNames.h"
#include "word/toolkit/XmlParser.h"
#include <QString>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace word {

// The named styles (office:styles of styles.xml) that hide or show their text, by family: paragraph
// styles and text styles. Most documents have none, and then no paragraph or span looks its style up.
struct OdfDisplayStyles {
    using Map = std::map<std::string, bool, std::less<>>; // name: whether it hides its text
    enum Family { Paragraph, Text, Families };
    Map named[Families];
};

// What an OpenDocument part says about its styles, read as the part is parsed for its text: the levels
// of its list styles (for the labels the office suites count) and which paragraph and text styles hide
// their text. One reader a part; the named styles of styles.xml are kept for content.xml.
class OdfStyleReader {
public:
    OdfStyleReader(OdfListNumbering &lists, OdfDisplayStyles &named) : m_lists(lists), m_named(named) {}

    // Every element of the part, as it starts and ends, told apart (odf::elementOf) by the caller.
    void start(odf::Element e, const XmlAttributes &a);
    void end(odf::Element e);
    // Whether the style an element names (text:style-name) hides its text, shows it, or says nothing.
    std::optional<bool> hides(OdfDisplayStyles::Family family, const XmlAttributes &a) const;

private:
    void readStyle(const XmlAttributes &a);
    void endStyle();
    void readListLevel(odf::Element kind, const XmlAttributes &a);

    OdfListNumbering &m_lists;
    OdfDisplayStyles &m_named;
    std::string m_listStyle;                                       // inside a text:list-style with this name
    OdfListNumbering::StyleLevels *m_listLevels = nullptr;         // its entry, once it defines a level
    OdfDisplayStyles::Map m_automatic[OdfDisplayStyles::Families]; // this part's automatic styles
    bool m_inAutomaticStyles = false;
    OdfDisplayStyles::Family m_styleFamily = OdfDisplayStyles::Families; // of the style:style being read
    std::string m_styleName, m_styleParent;
    std::optional<bool> m_styleDisplay;
};

} // namespace word
