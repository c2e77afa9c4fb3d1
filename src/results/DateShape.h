// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QDate>
#include <QList>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <QStringView>
#include <QTime>

namespace results {

// Recognises texts written with one date or time pattern of a locale. Qt's own parser goes through the
// local time zone on every call (and so does its formatting of a date), which costs a file-system check
// each time: some 18 microseconds a cell, seven seconds for a 100,000-row export. The pattern is therefore
// turned once into a regular expression, and the matched fields are checked to be exactly what the
// pattern writes (padding, names, range).
class DateShape {
public:
    DateShape(const QLocale &locale, const QString &pattern);

    // False for a pattern with a field the shape does not know (or a two-digit year): it reads nothing.
    bool valid() const { return m_valid; }

    // Fills date and/or time from the text; true when it is exactly what the pattern writes.
    bool read(QStringView text, QDate *date, QTime *time) const;

private:
    // What the fields of one matched text say.
    struct Fields {
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, weekday = 0;
        bool twelveHour = false, pm = false;
    };
    bool readFields(const QRegularExpressionMatch &m, Fields &out) const;
    bool readDayPeriod(QStringView v, bool upper, bool &pm) const;
    qsizetype addPiece(QString &re, const QString &pattern, qsizetype i);
    void addNumber(QString &re, char field, qsizetype digits);
    void addNames(QString &re, char field, QLocale::FormatType format, bool days);

    QLocale m_locale;
    QRegularExpression m_re;
    QByteArray m_fields;    // what each capture group holds
    QList<bool> m_unpadded; // per group: a number written without leading zero
    QStringList m_monthNames;
    QStringList m_dayNames;
    bool m_valid = true;
};

} // namespace results
