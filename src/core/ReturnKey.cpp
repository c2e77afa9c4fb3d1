// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ReturnKey.h"
#include <QKeyEvent>
#include <QPushButton>

namespace {

// Lives as a child of its button, so it goes with it.
class ReturnPresses : public QObject {
public:
    explicit ReturnPresses(QPushButton *button) : QObject(button), m_button(button) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_button || event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        const bool isReturn = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        // Ctrl/Alt combinations belong to shortcuts; a held key does not press the button again and again.
        const Qt::KeyboardModifiers other = key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
        if (!isReturn || other != Qt::NoModifier)
            return false;
        if (!key->isAutoRepeat() && m_button->isEnabled() && m_button->isVisible())
            m_button->click();
        return true;
    }

private:
    QPushButton *m_button;
};

} // namespace

void pressOnReturn(QPushButton *button)
{
    button->setAutoDefault(false);
    button->setDefault(false);
    button->installEventFilter(new ReturnPresses(button));
}
