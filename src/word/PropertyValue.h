#pragma once
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace word {

// A built-in property value typed as the word processor types it.
class PropertyValue {
public:
    enum class Type { Text, Integer, DateTime };

    static PropertyValue text(const QString &t) { PropertyValue v; v.m_type = Type::Text; v.m_text = t; return v; }
    static PropertyValue integer(qint64 n) { PropertyValue v; v.m_type = Type::Integer; v.m_int = n; return v; }
    // A date-time in local time (zone-less values are taken as local, UTC values are converted).
    static PropertyValue dateTime(const QDateTime &dt) { PropertyValue v; v.m_type = Type::DateTime; v.m_dt = dt; return v; }

    Type type() const { return m_type; }
    const QString &asText() const { return m_text; }
    qint64 asInteger() const { return m_int; }
    const QDateTime &asDateTime() const { return m_dt; }

    // The value as the user's regional settings write it: whole numbers without grouping; a date-time as
    // the short date with a four-digit year, a blank and the long time without zone name; midnight as the
    // date alone.
    QString toText(const QLocale &locale = QLocale()) const;
    // The value converted to a 32-bit integer; throws RuntimeError (type mismatch or overflow) otherwise.
    qint32 toInt32() const;

    bool operator==(const PropertyValue &o) const = default;

private:
    Type m_type = Type::Text;
    QString m_text;
    qint64 m_int = 0;
    QDateTime m_dt;
};

} // namespace word
