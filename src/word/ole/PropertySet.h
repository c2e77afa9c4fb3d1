// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/toolkit/Limits.h"
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace word {

// One decoded property of a binary property set.
struct OleValue {
    enum class Kind { Integer, Text, FileTime, Blob };
    Kind kind = Kind::Integer;
    qint64 integer = 0;
    quint64 fileTime = 0; // 100 ns ticks since 1601-01-01 (a moment, or a duration for the edit time)
    QString text;
    QByteArray blob;
};

struct OleProperty {
    quint32 id = 0;
    OleValue value;
};

// A section of a property-set stream: its format id, its code page (property 1; -1 when absent) and the
// properties of the types the program uses (strings, integers, FILETIMEs, blobs). Names of the
// dictionary (property 0) are kept for the user-defined section.
struct OleSection {
    std::array<unsigned char, 16> fmtid{};
    int codePage = -1;
    std::vector<OleProperty> properties;
    std::vector<std::pair<quint32, QString>> dictionary;

    const OleValue *find(quint32 id) const;
    // True when the dictionary names this id: then it is a user-defined property, whatever its number.
    bool isNamed(quint32 id) const;
    // The id the dictionary gives to `name` (compared case-insensitively), if any.
    std::optional<quint32> idOfName(const QString &name) const;
};

// The format ids of the three sections the program reads.
extern const std::array<unsigned char, 16> kFmtidSummaryInformation;
extern const std::array<unsigned char, 16> kFmtidDocSummaryInformation;
extern const std::array<unsigned char, 16> kFmtidUserDefined;

// The bytes of text and blobs that decoding may still produce for one document, shared by its streams.
struct PropertyBudget {
    qint64 remaining = limits::kMaxDecodedPropertyBytes;
};

// Decodes a property-set stream (\005SummaryInformation, \005DocumentSummaryInformation). Every offset,
// count and length is checked against the stream; a property that does not fit is skipped and the rest
// are kept. A stream whose header is not a property set gives no sections. Each value is decoded once
// however many entries point at it, and section records naming the same section share one decoding;
// what is decoded is charged to `budget`, and a document that overdraws it is refused (DamagedContent).
std::vector<OleSection> decodePropertySetStream(const QByteArray &stream, PropertyBudget &budget);

} // namespace word
