// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/ListNumberFormat.h"
#include <QStringList>

namespace word {

namespace {

QString roman(qint64 n)
{
    if (n <= 0 || n >= 4000)
        return QString::number(n);
    static const std::pair<int, const char *> kDigits[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
        {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    QString s;
    for (const auto &[value, digits] : kDigits)
        for (; n >= value; n -= value)
            s += QLatin1String(digits);
    return s;
}

// A, B ... Z, then AA ... ZZ, AAA: the letter repeated, as both word processors write it.
QString letters(qint64 n)
{
    if (n <= 0 || n > 26 * 64)
        return QString::number(n);
    return QString(int((n - 1) / 26 + 1), QChar(u'a' + char16_t((n - 1) % 26)));
}

QString cardinalWords(qint64 n)
{
    static const char *const kOnes[] = {
        "zero", "one",    "two",    "three",    "four",     "five",    "six",     "seven",     "eight",    "nine",
        "ten",  "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
    static const char *const kTens[] = {"",      "",      "twenty",  "thirty", "forty",
                                        "fifty", "sixty", "seventy", "eighty", "ninety"};
    if (n < 0 || n >= 1000)
        return QString::number(n);
    QStringList parts;
    if (n >= 100) {
        parts << QLatin1String(kOnes[n / 100]) + QLatin1String(" hundred");
        n %= 100;
        if (n == 0)
            return parts.join(QLatin1Char(' '));
    }
    if (n < 20)
        parts << QLatin1String(kOnes[n]);
    else
        parts << QLatin1String(kTens[n / 10]) + (n % 10 ? QLatin1Char('-') + QLatin1String(kOnes[n % 10]) : QString());
    return parts.join(QLatin1Char(' '));
}

QString ordinalWords(qint64 n)
{
    QString s = cardinalWords(n);
    static const std::pair<const char *, const char *> kIrregular[] = {
        {"one", "first"},    {"two", "second"}, {"three", "third"},   {"five", "fifth"},
        {"eight", "eighth"}, {"nine", "ninth"}, {"twelve", "twelfth"}};
    for (const auto &[cardinal, ordinal] : kIrregular)
        if (s.endsWith(QLatin1String(cardinal)))
            return s.left(s.size() - qsizetype(qstrlen(cardinal))) + QLatin1String(ordinal);
    if (s.endsWith(QLatin1Char('y')))
        return s.left(s.size() - 1) + QLatin1String("ieth");
    return s + QLatin1String("th");
}

QString ordinalSuffix(qint64 n)
{
    const qint64 lastTwo = n % 100, last = n % 10;
    if (lastTwo >= 11 && lastTwo <= 13)
        return QStringLiteral("th");
    return last == 1   ? QStringLiteral("st")
           : last == 2 ? QStringLiteral("nd")
           : last == 3 ? QStringLiteral("rd")
                       : QStringLiteral("th");
}

QString capitalised(QString s)
{
    if (!s.isEmpty())
        s[0] = s[0].toUpper();
    return s;
}

} // namespace

ListNumberFormat listFormatFromWordName(QStringView name)
{
    static const std::pair<const char *, ListNumberFormat> kNames[] = {{"decimal", ListNumberFormat::Decimal},
                                                                       {"decimalZero", ListNumberFormat::DecimalZero},
                                                                       {"upperRoman", ListNumberFormat::UpperRoman},
                                                                       {"lowerRoman", ListNumberFormat::LowerRoman},
                                                                       {"upperLetter", ListNumberFormat::UpperLetter},
                                                                       {"lowerLetter", ListNumberFormat::LowerLetter},
                                                                       {"ordinal", ListNumberFormat::Ordinal},
                                                                       {"cardinalText", ListNumberFormat::CardinalText},
                                                                       {"ordinalText", ListNumberFormat::OrdinalText},
                                                                       {"bullet", ListNumberFormat::Bullet},
                                                                       {"none", ListNumberFormat::None}};
    for (const auto &[n, f] : kNames)
        if (name == QLatin1String(n))
            return f;
    return ListNumberFormat::Decimal;
}

ListNumberFormat listFormatFromOdf(QStringView format)
{
    if (format.isEmpty())
        return ListNumberFormat::None;
    if (format == u"i")
        return ListNumberFormat::LowerRoman;
    if (format == u"I")
        return ListNumberFormat::UpperRoman;
    if (format == u"a")
        return ListNumberFormat::LowerLetter;
    if (format == u"A")
        return ListNumberFormat::UpperLetter;
    return ListNumberFormat::Decimal;
}

ListNumberFormat listFormatFromOdf(std::string_view format)
{
    // The formats named by one letter are ASCII: compared as bytes, without a conversion.
    if (format.empty())
        return ListNumberFormat::None;
    if (format.size() == 1) {
        switch (format[0]) {
        case 'i':
            return ListNumberFormat::LowerRoman;
        case 'I':
            return ListNumberFormat::UpperRoman;
        case 'a':
            return ListNumberFormat::LowerLetter;
        case 'A':
            return ListNumberFormat::UpperLetter;
        default:
            break;
        }
    }
    return ListNumberFormat::Decimal;
}

ListNumberFormat listFormatFromCode(int nfc)
{
    switch (nfc) {
    case 0:
        return ListNumberFormat::Decimal;
    case 1:
        return ListNumberFormat::UpperRoman;
    case 2:
        return ListNumberFormat::LowerRoman;
    case 3:
        return ListNumberFormat::UpperLetter;
    case 4:
        return ListNumberFormat::LowerLetter;
    case 5:
        return ListNumberFormat::Ordinal;
    case 6:
        return ListNumberFormat::CardinalText;
    case 7:
        return ListNumberFormat::OrdinalText;
    case 22:
        return ListNumberFormat::DecimalZero;
    case 23:
        return ListNumberFormat::Bullet;
    case 255:
        return ListNumberFormat::None;
    default:
        return ListNumberFormat::Decimal;
    }
}

QString listNumberText(qint64 n, ListNumberFormat format)
{
    switch (format) {
    case ListNumberFormat::Decimal:
        return QString::number(n);
    case ListNumberFormat::DecimalZero:
        return n >= 0 && n < 10 ? QLatin1Char('0') + QString::number(n) : QString::number(n);
    case ListNumberFormat::UpperRoman:
        return roman(n).toUpper();
    case ListNumberFormat::LowerRoman:
        return roman(n);
    case ListNumberFormat::UpperLetter:
        return letters(n).toUpper();
    case ListNumberFormat::LowerLetter:
        return letters(n);
    case ListNumberFormat::Ordinal:
        return QString::number(n) + ordinalSuffix(n);
    case ListNumberFormat::CardinalText:
        return capitalised(cardinalWords(n));
    case ListNumberFormat::OrdinalText:
        return capitalised(ordinalWords(n));
    case ListNumberFormat::Bullet:
    case ListNumberFormat::None:
        return QString();
    }
    return QString::number(n);
}

} // namespace word
