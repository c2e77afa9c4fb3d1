// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/PropertyValue.h"
#include "word/Errors.h"
#include <limits>

namespace word {

qint32 PropertyValue::toInt32() const
{
    qint64 n = 0;
    switch (m_type) {
    case Type::Integer:
        n = m_int;
        break;
    case Type::Text: {
        bool ok = false;
        n = m_text.trimmed().toLongLong(&ok);
        if (!ok)
            throw Error(Fault::TypeMismatch, QStringLiteral("Type mismatch"));
        break;
    }
    case Type::DateTime:
        throw Error(Fault::TypeMismatch, QStringLiteral("Type mismatch"));
    }
    if (n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        throw Error(Fault::Overflow, QStringLiteral("Overflow"));
    return static_cast<qint32>(n);
}

} // namespace word
