// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/BuiltinProperty.h"
#include "word/PropertyValue.h"
#include "word/toolkit/Dates.h"
#include <QDateTime>
#include <QList>
#include <QString>
#include <array>
#include <optional>
#include <string_view>

namespace word {

// What a format reader found in a document: the content's format and the stored property values.
struct DocumentData {
    // Short code of what the content is: "OOXML", "OLE", "RTF", "ODT", "WORDML" or "TEXT".
    QString format;
    std::array<std::optional<PropertyValue>, kBuiltinCount> values;
    // The statistics counted from the text rather than read from what the file stores, in counting order.
    QList<Builtin> computed;

    bool has(Builtin id) const { return values[static_cast<int>(id)].has_value(); }
    const std::optional<PropertyValue> &value(Builtin id) const { return values[static_cast<int>(id)]; }

    // A text ends at its first NUL, in every format, as the binary property sets define their strings.
    void setText(Builtin id, const QString &text);
    void setInteger(Builtin id, qint64 n) { values[static_cast<int>(id)] = PropertyValue::integer(n); }
    // A moment in time (UTC or with an offset); kept for display in local time. Dates no document can
    // mean (see isNeverDate) are left out, in this and the next two.
    void setInstant(Builtin id, const QDateTime &instant);
    // A date-time stored without a zone: it is local time.
    void setLocal(Builtin id, QDate date, QTime time);
    // A W3C date-time as OOXML, ODF and Word XML write it: a moment when it has a zone, else local time.
    // Values that do not parse and the "never" dates are left out.
    void setW3cDate(Builtin id, QStringView text);
    // The same for a date in the form office programs nearly always write, "YYYY-MM-DDThh:mm:ss" with or
    // without a Z, read from the part's bytes; false, with nothing set, for any other text.
    bool setCommonW3cDate(Builtin id, std::string_view utf8);
    // The same for a date already read.
    void setW3cDate(Builtin id, const ParsedDateTime &p);
    // A whole number written as text (counts, durations in minutes); one that does not read as such is
    // left out, and noted.
    void setIntegerText(Builtin id, QStringView text, std::optional<qint64> read);
};

// Notes a value a document states in a form this program cannot read, and so leaves out. Blank texts
// are not noted: a field left empty states nothing.
void noteUnreadable(Builtin id, QStringView stated);

// The local-time form of a moment, fixed to the local offset of that moment, so that date() and time()
// read as local time and the moment itself survives (even in the repeated hour of a clock change).
QDateTime toLocalDisplay(const QDateTime &instant);

} // namespace word
