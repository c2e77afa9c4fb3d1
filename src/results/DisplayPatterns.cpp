// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/DisplayPatterns.h"
#include "word/PropertyValue.h"
#include <QList>

namespace results {
namespace {

// One piece of a Qt date/time pattern: a run of one unquoted ASCII letter (a field such as "yyyy" or
// "AP"), a quoted literal kept with its quotes, or one other character written as it stands.
struct Piece {
    enum Kind { Field, Quoted, Plain } kind;
    QString text;
    QChar letter() const { return text.at(0); }
    bool isSpace() const { return kind == Plain && text.at(0).isSpace(); }
    bool isPlain(QChar c) const { return kind == Plain && text.at(0) == c; }
};

bool isAsciiLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

QList<Piece> split(const QString &pattern)
{
    QList<Piece> pieces;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar ch = pattern.at(i);
        qsizetype end = i + 1;
        if (ch == u'\'') {
            // A quoted literal runs to the next lone quote; "''" inside it is a quote character.
            while (end < pattern.size()) {
                if (pattern.at(end) == u'\'') {
                    if (end + 1 < pattern.size() && pattern.at(end + 1) == u'\'') {
                        end += 2;
                        continue;
                    }
                    ++end;
                    break;
                }
                ++end;
            }
            pieces.append({Piece::Quoted, pattern.mid(i, end - i)});
        } else if (isAsciiLetter(ch)) {
            // Qt's am/pm field is the pair "AP" or "ap"; every other field is a run of one letter.
            if ((ch == u'A' || ch == u'a') && end < pattern.size() && pattern.at(end).toLower() == u'p')
                ++end;
            else
                while (end < pattern.size() && pattern.at(end) == ch)
                    ++end;
            pieces.append({Piece::Field, pattern.mid(i, end - i)});
        } else {
            pieces.append({Piece::Plain, QString(ch)});
        }
        i = end;
    }
    return pieces;
}

QString join(const QList<Piece> &pieces)
{
    QString out;
    for (const Piece &p : pieces)
        out += p.text;
    return out.trimmed();
}

bool isKnownField(QChar c) { return QStringView(u"dMyhHmszaA").contains(c); }

QChar closingBracket(const Piece &p)
{
    if (p.kind != Piece::Plain)
        return {};
    switch (p.text.at(0).unicode()) {
    case u'(':
        return u')';
    case u'[':
        return u']';
    case u'\uFF08':
        return u'\uFF09'; // full-width parentheses
    default:
        return {};
    }
}

// Takes the piece at `at` out together with what only framed it: the blanks around it, brackets left
// empty, and a comma that separated it from the text before. Blanks between two remaining parts become
// one blank. Returns where the removed range began; the pieces before it are untouched.
qsizetype removeWithFrame(QList<Piece> &pieces, qsizetype at)
{
    qsizetype first = at, last = at; // inclusive range to remove
    auto growOverSpaces = [&] {
        while (first > 0 && pieces.at(first - 1).isSpace())
            --first;
        while (last + 1 < pieces.size() && pieces.at(last + 1).isSpace())
            ++last;
    };
    growOverSpaces();
    while (first > 0 && last + 1 < pieces.size() && !closingBracket(pieces.at(first - 1)).isNull()
           && pieces.at(last + 1).isPlain(closingBracket(pieces.at(first - 1)))) {
        --first;
        ++last;
        growOverSpaces();
    }
    const bool atEnd = last + 1 == pieces.size();
    if (atEnd && first > 0 && pieces.at(first - 1).isPlain(u',')) {
        --first;
        growOverSpaces();
    }
    const bool keepBlank = first > 0 && !atEnd && (pieces.at(first).isSpace() || pieces.at(last).isSpace());
    pieces.remove(first, last - first + 1);
    if (keepBlank)
        pieces.insert(first, {Piece::Plain, QStringLiteral(" ")});
    return first;
}

QString datePattern(const QLocale &locale)
{
    QList<Piece> pieces = split(locale.dateFormat(QLocale::ShortFormat));
    for (qsizetype i = pieces.size() - 1; i >= 0; --i) {
        Piece &p = pieces[i];
        if (p.kind != Piece::Field)
            continue;
        if (p.letter() == u'y')
            p.text = QStringLiteral("yyyy"); // a two-digit year is ambiguous across centuries
        else if (!isKnownField(p.letter()))
            i = removeWithFrame(pieces, i); // Qt would write the letter itself
    }
    return join(pieces);
}

QString timePattern(const QLocale &locale)
{
    QList<Piece> pieces = split(locale.timeFormat(QLocale::LongFormat));
    for (qsizetype i = pieces.size() - 1; i >= 0; --i) {
        Piece &p = pieces[i];
        if (p.kind != Piece::Field)
            continue;
        if (p.letter() == u'B' || p.letter() == u'b')
            p.text = QStringLiteral("AP"); // a day period Qt cannot write; a 12-hour clock still needs one
        else if (p.letter() == u't' || !isKnownField(p.letter()))
            i = removeWithFrame(pieces, i); // the zone name, or a letter Qt would write as itself
    }
    return join(pieces);
}

} // namespace

DisplayPatterns displayPatterns(const QLocale &locale) { return {datePattern(locale), timePattern(locale)}; }

QString displayText(const word::PropertyValue &value, const QLocale &locale)
{
    switch (value.type()) {
    case word::PropertyValue::Type::Text:
        return value.asText();
    case word::PropertyValue::Type::Integer:
        return QString::number(value.asInteger());
    case word::PropertyValue::Type::DateTime: {
        const QDateTime &moment = value.asDateTime();
        const DisplayPatterns patterns = displayPatterns(locale);
        const QString date = locale.toString(moment.date(), patterns.date);
        if (moment.time() == QTime(0, 0))
            return date;
        return date + QLatin1Char(' ') + locale.toString(moment.time(), patterns.time);
    }
    }
    return {};
}

} // namespace results
