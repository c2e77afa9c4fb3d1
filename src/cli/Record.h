// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "cli/InputSource.h"
#include "cli/Options.h"
#include "word/Errors.h"
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>
#include <vector>

namespace office {
class LayoutClient;
}

namespace cli {

// The version of the record layout, written in every record so that scripts can tell layouts apart.
inline constexpr int kSchemaVersion = 3;

// One value of a record: absent (null), a text, a whole number or a list of texts.
struct Cell {
    enum class Kind { Null, Text, Number, List };
    Kind kind = Kind::Null;
    QString text;
    qint64 number = 0;
    QStringList list;

    static Cell null() { return {}; }
    static Cell of(const QString &t) { return {Kind::Text, t, 0, {}}; }
    static Cell of(qint64 n) { return {Kind::Number, {}, n, {}}; }
    static Cell of(const QStringList &l) { return {Kind::List, {}, 0, l}; }
};

struct Field {
    QString name;
    Cell value;
};

// What is written for one input: top-level fields in order, then either the properties or the failure.
// Writers take the fields as they come, so a new field is one more entry here and one more column name.
struct Record {
    std::vector<Field> fields;
    bool failed = false;
    std::vector<Field> properties;                   // when read
    word::ErrorKind errorKind = word::ErrorKind::Io; // when failed (its text is the "error_kind" field)
    QString layoutFailure; // why pages or lines could not be had from a layout (the document itself was read)

    // Back to an empty record, the room of its lists kept for the next one.
    void clear()
    {
        fields.clear();
        failed = false;
        properties.clear();
        errorKind = word::ErrorKind::Io;
        layoutFailure.clear();
    }
};

// Everything a record depends on besides the input.
struct RecordSettings {
    std::vector<word::Builtin> properties;
    std::optional<Digest> digest;
    std::optional<NativePath> root; // absolute and without "." or ".." steps
    bool recount = false;
    std::chrono::milliseconds layoutTimeout{kDefaultLayoutTimeout};
};

RecordSettings recordSettings(const Options &options);

// Reads one input (or reports why its folder could not be walked) into a record. With a layout session,
// pages and lines that the document does not store (and that are asked for) are taken from its layout.
Record describeInput(const Input &input, const RecordSettings &settings, office::LayoutClient *layout = nullptr);
// The same into `record`, whose lists keep their room: a run describes one input after another into one record.
void describeInput(const Input &input, const RecordSettings &settings, office::LayoutClient *layout, Record &record);

// The names of every top-level field a record can have under these settings, in order, and then the
// property names: the CSV header.
QStringList columnNames(const RecordSettings &settings);

// The readable failure text of a record that failed (empty otherwise).
QString failureText(const Record &record);

// Date-times as written: ISO 8601, in UTC with a Z for a moment, without an offset for a zone-less
// reading; milliseconds only when there are any.
QString isoDateTime(QDate date, QTime time, bool utc);

// `path` relative to `root` (both absolute and clean), with ".." steps where it lies outside.
NativePath relativePath(const NativePath &path, const NativePath &root);
// An absolute form of `path` without "." and ".." steps and doubled slashes, computed without looking at
// the file system (links are not resolved, so the result names what the user named).
NativePath cleanAbsolutePath(const NativePath &path);

} // namespace cli
