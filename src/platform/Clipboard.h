#pragma once
#include <QString>

// One attempt each; false when the clipboard refused.
class IClipboard {
public:
    virtual ~IClipboard() = default;
    virtual bool clear() = 0;
    virtual bool setText(const QString &text) = 0;
};
