// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/TypedValue.h"
#include "word/PropertyValue.h"

TypedValue TypedValue::wholeNumber(qint64 n)
{
    TypedValue v;
    v.kind = Kind::Number;
    v.number = n;
    return v;
}

TypedValue TypedValue::dateTime(QDate date, QTime time)
{
    TypedValue v;
    v.kind = Kind::DateTime;
    v.date = date;
    v.time = time;
    return v;
}

TypedValue TypedValue::of(const word::PropertyValue &value)
{
    switch (value.type()) {
    case word::PropertyValue::Type::Integer:
        return wholeNumber(value.asInteger());
    case word::PropertyValue::Type::DateTime: {
        const QDateTime &dt = value.asDateTime();
        if (!dt.isValid())
            return {};
        return dateTime(dt.date(), dt.time());
    }
    case word::PropertyValue::Type::Text:
        break;
    }
    return {};
}
