// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "platform/Product.h"
#include <QString>
#include <optional>

// Where the program's settings live: the organisation's folder, the application's file and its section.
// The window names itself with the same organisation, so anything Qt keeps per application lands beside them.
namespace settingsIdentity {
inline const QString Organisation = QStringLiteral("Velkorn");
inline const QString Application = product::Name;
inline const QString Section = product::Name;
} // namespace settingsIdentity

// Per-user key/value texts of one application and section. Refused reads and writes throw RuntimeError.
class ISettingsBackend {
public:
    virtual ~ISettingsBackend() = default;
    virtual std::optional<QString> read(const QString &key) = 0;
    virtual void write(const QString &key, const QString &value) = 0;
    virtual void flush() = 0;
};
