// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/ooxml/WordprocessingVocabulary.h"
#include <charconv>

namespace word::wordml {

using namespace std::string_view_literals;

bool isOn(const XmlAttributes &a)
{
    bool found = false;
    const std::string_view v = a.value(kWordNs, "val"sv, &found);
    if (!found) {
        for (int i = 0; i < a.count(); ++i)
            if (a.nameAt(i).local == "val"sv)
                return a.valueAt(i) != "0"sv && a.valueAt(i) != "false"sv && a.valueAt(i) != "off"sv;
        return true;
    }
    return v != "0"sv && v != "false"sv && v != "off"sv;
}

QString valueOf(const XmlAttributes &a)
{
    for (int i = 0; i < a.count(); ++i)
        if (a.nameAt(i).local == "val"sv)
            return QString::fromUtf8(a.valueAt(i).data(), qsizetype(a.valueAt(i).size()));
    return QString();
}

char16_t symbolCharacter(const XmlAttributes &a)
{
    for (int i = 0; i < a.count(); ++i)
        if (a.nameAt(i).local == "char"sv) {
            std::string_view v = a.valueAt(i);
            // Blanks around the digits are allowed, and so is a 0x in front, as a number in text would be.
            while (!v.empty() && (v.front() == ' ' || v.front() == '\t' || v.front() == '\n' || v.front() == '\r'))
                v.remove_prefix(1);
            while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\n' || v.back() == '\r'))
                v.remove_suffix(1);
            if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X'))
                v.remove_prefix(2);
            unsigned v32 = 0;
            const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), v32, 16);
            if (error == std::errc() && end == v.data() + v.size() && !v.empty() && v32 > 0x20 && v32 <= 0xFFFF)
                return static_cast<char16_t>(v32);
        }
    return u'\uF000';
}

} // namespace word::wordml
