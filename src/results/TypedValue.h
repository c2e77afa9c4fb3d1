// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDate>
#include <QTime>
#include <QtGlobal>

namespace word {
class PropertyValue;
}

// What a value text of the results table stands for, kept beside the text. The text is written in the
// user's locale (its digits, its date shapes) and is never read back: the workbook takes numbers and
// dates from here, so they stay numbers and dates in every locale.
struct TypedValue {
    enum class Kind : quint8 { Text, Number, DateTime };
    Kind kind = Kind::Text; // Text: the value text stands for itself
    qint64 number = 0;      // Number: a whole number
    QDate date;             // DateTime: the date and time the text shows
    QTime time;

    static TypedValue wholeNumber(qint64 n);
    static TypedValue dateTime(QDate date, QTime time);
    // The engine's value: whole numbers and date-times keep their type, text stays text.
    static TypedValue of(const word::PropertyValue &value);

    bool operator==(const TypedValue &) const = default;
};
