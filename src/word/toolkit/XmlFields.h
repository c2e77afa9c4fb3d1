// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace word {

// An attribute of an element of interest, as the part holds it: UTF-8, with a NUL in a value standing as
// the stand-in walkXmlFields reads it through (XmlField::decode turns a value into text).
struct XmlFieldAttribute {
    std::string_view namespaceUri; // empty for no namespace
    std::string_view name;         // local name
    std::string_view value;
};

// The attributes of an element of interest.
class XmlFieldAttributes {
public:
    // The value of the attribute in no namespace named `name`; empty when absent.
    std::string_view value(std::string_view name) const { return value({}, name); }
    std::string_view value(std::string_view namespaceUri, std::string_view name) const
    {
        for (const XmlFieldAttribute &a : *this)
            if (a.name == name && a.namespaceUri == namespaceUri)
                return a.value;
        return {};
    }
    const XmlFieldAttribute *begin() const { return m_all.data(); }
    const XmlFieldAttribute *end() const { return m_all.data() + m_count; }
    // Room for `count` attributes, to be filled in through at(); the storage is reused from element to element.
    void resize(std::size_t count)
    {
        if (m_all.size() < count)
            m_all.resize(count);
        m_count = count;
    }
    XmlFieldAttribute &at(std::size_t i) { return m_all[i]; }

private:
    std::vector<XmlFieldAttribute> m_all;
    std::size_t m_count = 0;
};

// One element of interest in a small XML part: its local name, namespace, attributes and its text (the
// text of all its descendants, in order). Names and values are compared as the UTF-8 the part holds,
// which is what most of them are asked for; only what is kept is turned into text. Valid during the
// call it is handed to.
class XmlField {
public:
    XmlField(std::string_view parent, std::string_view local, std::string_view ns, const XmlFieldAttributes &all,
             std::string_view utf8Text, QString &textBuffer, bool nulsStoodIn)
        : parentLocalName(parent), localName(local), namespaceUri(ns), attributes(all), m_utf8Text(utf8Text),
          m_text(textBuffer), m_nulsStoodIn(nulsStoodIn)
    {
    }
    XmlField(const XmlField &) = delete;
    XmlField &operator=(const XmlField &) = delete;

    const std::string_view parentLocalName;
    const std::string_view localName;
    const std::string_view namespaceUri;
    const XmlFieldAttributes &attributes;

    // The element's text, decoded the first time it is asked for.
    const QString &text() const
    {
        if (!m_decoded) {
            decodeInto(m_text, m_utf8Text);
            m_decoded = true;
        }
        return m_text;
    }
    // The element's text as the part holds it (UTF-8, a NUL as its stand-in): for comparisons and numbers.
    std::string_view utf8Text() const { return m_utf8Text; }
    // An attribute value (or other UTF-8 of this part) as text, a NUL's stand-in turned back into the NUL.
    QString decode(std::string_view utf8) const
    {
        QString out;
        decodeInto(out, utf8);
        return out;
    }

private:
    void decodeInto(QString &out, std::string_view utf8) const;

    std::string_view m_utf8Text;
    QString &m_text;
    const bool m_nulsStoodIn;
    mutable bool m_decoded = false;
};

// Whether two ASCII names or keywords are the same, letter case aside (bytes above 0x7F compared as they are).
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Walks `xml` and calls `onField` for every element at `depth` (the root element is depth 1); `onField`
// returns false to stop early. Refuses what a property part never has and what could be made to explode: a DTD (and
// with it every entity definition), nesting deeper than the limit, an element with more attributes than
// the limit, malformed XML. Throws DamagedContent naming `partName` when the XML is broken.
// A NUL character (which XML cannot carry, yet writers put in as a byte or a character reference) reaches
// the text as QChar(0), so that the value ends there as in every other format.
// `isPrefix`: `xml` is the start of a larger file; running out of it ends the walk without an error.
void walkXmlFields(const QByteArray &xml, const QString &partName, int depth,
                   const std::function<bool(const XmlField &)> &onField, bool isPrefix = false);

// UTF-8 from the parser as a QString, converted once while the same text comes back: the same names and
// values recur element after element, and the copies share one string.
class RecentText {
public:
    const QString &operator()(std::string_view utf8)
    {
        if (utf8 != m_utf8 || !m_valid) {
            m_utf8.assign(utf8);
            m_text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
            m_valid = true;
        }
        return m_text;
    }

private:
    std::string m_utf8;
    QString m_text;
    bool m_valid = false;
};

// A whole number written in decimal (leading/trailing blanks allowed), as OOXML and ODF counts are.
std::optional<qint64> parseWholeNumber(QStringView text);
// The same, from UTF-8 (an attribute value as the parser gives it).
std::optional<qint64> parseWholeNumber(std::string_view utf8);

// Office Open XML text with its escapes decoded: a character that XML cannot carry (a carriage return,
// a tab, another control character) is written as _xHHHH_ (four hex digits), and _x005F_ stands for an
// underscore that would otherwise begin such an escape. Text that only looks similar stays as it is.
QString decodeOoxmlEscapes(const QString &text);

} // namespace word
