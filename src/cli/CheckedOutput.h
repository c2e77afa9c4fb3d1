// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <cstdio>

namespace cli {

// The output stream, every write and the final flush checked: a full disk or a closed pipe must not end
// a run with a cut-short output and a status that says all went well.
class CheckedOutput {
public:
    explicit CheckedOutput(FILE *out) : m_out(out) {}

    // False once any write has failed; later writes are not attempted.
    bool write(const QByteArray &bytes);
    // Hands what is buffered to the system, so that a reader of a pipe sees finished records while the
    // run waits for more input; false when that or any earlier write failed.
    bool flush();
    // The final flush; false when that or any earlier write failed.
    bool finish() { return flush(); }
    bool failed() const { return m_errno != 0; }
    // Why the output failed, in the system's words.
    QString reason() const;

private:
    FILE *m_out;
    int m_errno = 0;
};

} // namespace cli
