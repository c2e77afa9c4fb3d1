// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/Settings.h"
#include "platform/SettingsBackend.h"
#include <QString>
#include <memory>

// The user's stored choices, read and written key by key at the moment of use; nothing is cached.
class SettingsStore {
public:
    explicit SettingsStore(std::shared_ptr<ISettingsBackend> backend) : m_backend(std::move(backend)) {}
    // The stored text, or the default for a key never written. Throws RuntimeError when refused.
    QString read(const QString &key, const QString &defaultValue) const;
    QString read(const Setting &setting) const { return read(setting.key, setting.defaultValue); }
    // Writes at once. Throws RuntimeError when refused.
    void write(const QString &key, const QString &value);
    void write(const Setting &setting, const QString &value) { write(setting.key, value); }
    bool contains(const QString &key) const;

private:
    std::shared_ptr<ISettingsBackend> m_backend;
};
