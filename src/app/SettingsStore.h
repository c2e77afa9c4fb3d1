#pragma once
#include "platform/SettingsBackend.h"
#include <QString>
#include <memory>

// The user's stored choices, read and written key by key at the moment of use; nothing is cached.
class SettingsStore {
public:
    explicit SettingsStore(std::shared_ptr<ISettingsBackend> backend) : m_backend(std::move(backend)) {}
    // The stored text, or the default for a key never written. Throws RuntimeError when refused.
    QString read(const QString &key, const QString &defaultValue) const;
    // Writes at once. Throws RuntimeError when refused.
    void write(const QString &key, const QString &value);
    bool contains(const QString &key) const;

private:
    std::shared_ptr<ISettingsBackend> m_backend;
};
