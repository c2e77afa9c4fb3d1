#pragma once
#include <QString>
#include <optional>

// Per-user key/value texts of one application and section. Refused reads and writes throw RuntimeError.
class ISettingsBackend {
public:
    virtual ~ISettingsBackend() = default;
    virtual std::optional<QString> read(const QString &key) = 0;
    virtual void write(const QString &key, const QString &value) = 0;
    virtual void flush() = 0;
};
