// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
class QWidget;

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Warning };
enum class MsgAnswer { Ok, Yes, No };

// Modal message boxes and the text input box.
class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    virtual MsgAnswer show(QWidget *owner, const QString &title, const QString &text, MsgButtons buttons,
                           MsgIcon icon) = 0;
    // Returns the typed answer; an empty text when the user cancels.
    virtual QString inputBox(QWidget *owner, const QString &title, const QString &prompt,
                             const QString &defaultAnswer) = 0;
};
