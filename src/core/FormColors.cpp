// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/FormColors.h"
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

namespace {
void paintButtonFace(QWidget *w, const QColor &face)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, face);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}
} // namespace

void SetFormColors(QWidget *window)
{
    const QColor face = window->palette().color(QPalette::Active, QPalette::Button);
    paintButtonFace(window, face);
    for (QWidget *child : window->findChildren<QWidget *>()) {
        if (qobject_cast<QCheckBox *>(child) || qobject_cast<QRadioButton *>(child) || qobject_cast<QGroupBox *>(child)
            || qobject_cast<QLabel *>(child))
            paintButtonFace(child, face);
    }
}
