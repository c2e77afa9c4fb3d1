// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/SharedProperties.h"
#include "word/toolkit/XmlFields.h"

namespace word {

namespace {

QString textOf(const QString &text, XmlText encoding)
{
    return encoding == XmlText::OoxmlEscaped ? decodeOoxmlEscapes(text) : text;
}

struct Named {
    std::string_view name;
    Builtin id;
};

const Named kCoreTexts[] = {
    {"title", Builtin::Title},
    {"subject", Builtin::Subject},
    {"description", Builtin::Comments},
};

const Named kApplicationTexts[] = {
    {"Template", Builtin::Template},
    {"Company", Builtin::Company},
    {"Manager", Builtin::Manager},
    {"HyperlinkBase", Builtin::HyperlinkBase},
};

const Named kApplicationCounts[] = {
    {"TotalTime", Builtin::TotalEditingTime},
    {"Pages", Builtin::NumberOfPages},
    {"Words", Builtin::NumberOfWords},
    {"Characters", Builtin::NumberOfCharacters},
    {"CharactersWithSpaces", Builtin::NumberOfCharactersWithSpaces},
    {"Lines", Builtin::NumberOfLines},
    {"Paragraphs", Builtin::NumberOfParagraphs},
};

// Names told apart by their length and first letter before their bytes are compared: most names a part
// holds are none of those looked for.
bool isNamed(std::string_view name, std::string_view wanted)
{
    return name.size() == wanted.size() && !name.empty() && name[0] == wanted[0] && name == wanted;
}

} // namespace

bool setCoreProperty(DocumentData &d, const XmlField &field, const DateElementNames &dates, XmlText encoding)
{
    const std::string_view name = field.localName;
    for (const Named &n : kCoreTexts) {
        if (isNamed(name, n.name)) {
            d.setText(n.id, textOf(field.text(), encoding));
            return true;
        }
    }
    const std::pair<std::string_view, Builtin> dated[] = {{dates.created, Builtin::CreationDate},
                                                          {dates.saved, Builtin::LastSaveTime},
                                                          {dates.printed, Builtin::LastPrintDate}};
    for (const auto &[element, id] : dated) {
        if (isNamed(name, element)) {
            if (!d.setCommonW3cDate(id, field.utf8Text()))
                d.setW3cDate(id, field.text());
            return true;
        }
    }
    return false;
}

bool setApplicationProperty(DocumentData &d, const XmlField &field, XmlText encoding)
{
    const std::string_view name = field.localName;
    for (const Named &n : kApplicationTexts) {
        if (isNamed(name, n.name)) {
            d.setText(n.id, textOf(field.text(), encoding));
            return true;
        }
    }
    for (const Named &n : kApplicationCounts) {
        if (isNamed(name, n.name)) {
            // Read from the part's bytes; the text is decoded only to report a count that does not read.
            const std::optional<qint64> count = parseWholeNumber(field.utf8Text());
            d.setIntegerText(n.id, count ? QString() : field.text(), count);
            return true;
        }
    }
    return false;
}

} // namespace word
