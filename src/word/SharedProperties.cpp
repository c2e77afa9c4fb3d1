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
    const char *name;
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

} // namespace

bool setCoreProperty(DocumentData &d, QStringView name, const QString &text, const DateElementNames &dates,
                     XmlText encoding)
{
    for (const Named &n : kCoreTexts) {
        if (name == QLatin1String(n.name)) {
            d.setText(n.id, textOf(text, encoding));
            return true;
        }
    }
    const std::pair<QLatin1String, Builtin> dated[] = {{dates.created, Builtin::CreationDate},
                                                       {dates.saved, Builtin::LastSaveTime},
                                                       {dates.printed, Builtin::LastPrintDate}};
    for (const auto &[element, id] : dated) {
        if (name == element) {
            d.setW3cDate(id, text);
            return true;
        }
    }
    return false;
}

bool setApplicationProperty(DocumentData &d, QStringView name, const QString &text, XmlText encoding)
{
    for (const Named &n : kApplicationTexts) {
        if (name == QLatin1String(n.name)) {
            d.setText(n.id, textOf(text, encoding));
            return true;
        }
    }
    for (const Named &n : kApplicationCounts) {
        if (name == QLatin1String(n.name)) {
            d.setIntegerText(n.id, text, parseWholeNumber(text));
            return true;
        }
    }
    return false;
}

} // namespace word
