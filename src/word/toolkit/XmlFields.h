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

struct XmlFieldAttribute {
    QString namespaceUri;
    QString name; // local name
    QString value;
};

// The attributes of an element of interest, kept as text.
class XmlFieldAttributes {
public:
    // The value of the attribute in no namespace named `name`; empty when absent.
    QStringView value(QLatin1String name) const { return value(QLatin1String(), name); }
    QStringView value(QLatin1String namespaceUri, QLatin1String name) const
    {
        for (const XmlFieldAttribute &a : *this)
            if (a.name == name && a.namespaceUri == namespaceUri)
                return a.value;
        return {};
    }
    std::vector<XmlFieldAttribute>::const_iterator begin() const { return m_all.begin(); }
    std::vector<XmlFieldAttribute>::const_iterator end() const { return m_all.begin() + m_count; }
    // Room for `count` attributes, to be filled in through at(). The strings of the previous element's
    // attributes are kept and written over, so that their buffers are reused rather than made again.
    void resize(std::size_t count)
    {
        if (m_all.size() < count)
            m_all.resize(count);
        m_count = static_cast<std::ptrdiff_t>(count);
    }
    XmlFieldAttribute &at(std::size_t i) { return m_all[i]; }

private:
    std::vector<XmlFieldAttribute> m_all;
    std::ptrdiff_t m_count = 0;
};

// One element of interest in a small XML part: its local name, namespace, attributes and its text (the
// text of all its descendants, in order).
struct XmlField {
    QStringView parentLocalName;
    QStringView localName;
    QStringView namespaceUri;
    const XmlFieldAttributes &attributes;
    const QString &text;
};

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
