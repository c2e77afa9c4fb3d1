// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "cli/Options.h"
#include "cli/Record.h"
#include <QByteArray>
#include <QStringList>
#include <memory>

namespace cli {

// Turns records into the bytes of one output format. record() is called on many threads at once, in no
// particular order, each appending to a buffer of its own that is reused from record to record; the
// writer then puts begin(), the records in input order with separator() between them, and end(anyRecords)
// out.
class OutputFormat {
public:
    virtual ~OutputFormat() = default;
    virtual QByteArray begin() const { return {}; }
    virtual void record(const Record &record, QByteArray &out) const = 0;
    virtual QByteArray separator() const { return {}; }
    virtual QByteArray end(bool anyRecords) const
    {
        Q_UNUSED(anyRecords);
        return {};
    }
};

std::unique_ptr<OutputFormat> makeOutputFormat(OutputFormatKind kind, const QStringList &columns);

// One record as a JSON object (without a line end), appended to `out`.
void appendJsonObject(QByteArray &out, const Record &record);
// One CSV field as RFC 4180 writes it: texts always quoted, quotes doubled; numbers bare; null empty.
void appendCsvField(QByteArray &out, const Cell &cell);

} // namespace cli
