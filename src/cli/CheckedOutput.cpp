// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CheckedOutput.h"
#include <cerrno>
#include <cstring>

namespace cli {

bool CheckedOutput::write(const QByteArray &bytes)
{
    if (m_errno != 0)
        return false;
    if (bytes.isEmpty())
        return true;
    errno = 0;
    if (fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), m_out) != static_cast<size_t>(bytes.size())) {
        m_errno = errno != 0 ? errno : EIO;
        return false;
    }
    return true;
}

bool CheckedOutput::flush()
{
    if (m_errno != 0)
        return false;
    errno = 0;
    if (fflush(m_out) != 0 || ferror(m_out)) {
        m_errno = errno != 0 ? errno : EIO;
        return false;
    }
    return true;
}

QString CheckedOutput::reason() const { return QString::fromLocal8Bit(strerror(m_errno)); }

} // namespace cli
