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
    // Flushes the stream; false when that or any earlier write failed.
    bool finish();
    bool failed() const { return m_errno != 0; }
    // Why the output failed, in the system's words.
    QString reason() const;

private:
    FILE *m_out;
    int m_errno = 0;
};

} // namespace cli
