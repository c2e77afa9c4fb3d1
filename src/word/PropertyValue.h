// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QString>

namespace word {

// A built-in property value typed as the word processor types it.
class PropertyValue {
public:
    enum class Type { Text, Integer, DateTime };

    static PropertyValue text(const QString &t)
    {
        PropertyValue v;
        v.m_type = Type::Text;
        v.m_text = t;
        return v;
    }
    static PropertyValue integer(qint64 n)
    {
        PropertyValue v;
        v.m_type = Type::Integer;
        v.m_int = n;
        return v;
    }
    // A date-time in local time (zone-less values are taken as local, UTC values are converted).
    static PropertyValue dateTime(const QDateTime &dt)
    {
        PropertyValue v;
        v.m_type = Type::DateTime;
        v.m_dt = dt;
        return v;
    }
    // A date-time the document stored without a zone: `local` for display, and the reading as stored, so
    // that a batch export can print it the same on every machine whatever the machine's zone.
    static PropertyValue zonelessDateTime(const QDateTime &local, QDate storedDate, QTime storedTime)
    {
        PropertyValue v = dateTime(local);
        v.m_storedDate = storedDate;
        v.m_storedTime = storedTime;
        return v;
    }

    Type type() const { return m_type; }
    const QString &asText() const { return m_text; }
    qint64 asInteger() const { return m_int; }
    const QDateTime &asDateTime() const { return m_dt; }
    // Whether a date-time names a moment (stored in UTC or with an offset) rather than a local reading.
    bool hasZone() const { return !m_storedDate.isValid(); }
    // The date and time as a zone-less document stored them (invalid for dates with a zone).
    QDate storedDate() const { return m_storedDate; }
    QTime storedTime() const { return m_storedTime; }

    // The value converted to a 32-bit integer; throws Error (type mismatch or overflow) otherwise.
    qint32 toInt32() const;

    // Equal values read the same to the user; whether a date carried a zone is not part of the value.
    bool operator==(const PropertyValue &o) const
    {
        return m_type == o.m_type && m_text == o.m_text && m_int == o.m_int && m_dt == o.m_dt;
    }

private:
    Type m_type = Type::Text;
    QString m_text;
    qint64 m_int = 0;
    QDateTime m_dt;
    QDate m_storedDate;
    QTime m_storedTime;
};

} // namespace word
