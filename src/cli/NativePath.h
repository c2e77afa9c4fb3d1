// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>

namespace cli {

// A path as the system names the file: its exact bytes, which need not be valid UTF-8. Files are opened,
// walked and laid out by the bytes; the text is only for what people read (records, messages, progress),
// where bytes that are not UTF-8 show as replacement characters.
class NativePath {
public:
    NativePath() = default;
    explicit NativePath(QByteArray bytes) : m_bytes(std::move(bytes)) {}

    const QByteArray &bytes() const { return m_bytes; }
    QString text() const { return QString::fromUtf8(m_bytes); }
    // Whether the text gives back the bytes exactly; where it does not, a record also carries the bytes.
    bool textIsExact() const { return text().toUtf8() == m_bytes; }
    bool isEmpty() const { return m_bytes.isEmpty(); }

    bool operator==(const NativePath &) const = default;

private:
    QByteArray m_bytes;
};

} // namespace cli
