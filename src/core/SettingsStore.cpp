// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SettingsStore.h"

QString SettingsStore::read(const QString &key, const QString &defaultValue) const
{
    const std::optional<QString> stored = m_backend->read(key);
    return stored ? *stored : defaultValue;
}

void SettingsStore::write(const QString &key, const QString &value) { m_backend->write(key, value); }

bool SettingsStore::contains(const QString &key) const { return m_backend->read(key).has_value(); }
