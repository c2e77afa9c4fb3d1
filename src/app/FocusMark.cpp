// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FocusMark.h"
#include <QEvent>
#include <QPainter>
#include <QPen>

FocusMark *FocusMark::attach(QWidget *control) { return new FocusMark(control); }

FocusMark::FocusMark(QWidget *control) : QWidget(control), m_control(control)
{
    setObjectName(control->objectName() + QStringLiteral("FocusMark"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    control->installEventFilter(this);
    follow();
}

bool FocusMark::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_control) {
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::Resize:
        case QEvent::ChildAdded: // a view's parts come and go; the mark stays above them
            follow();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusMark::follow()
{
    setGeometry(m_control->rect());
    setVisible(m_control->hasFocus());
    if (isVisible())
        raise();
}

void FocusMark::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Active, QPalette::Highlight));
    pen.setWidth(Width);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // A pen of width 2 on a line through pixel 1 covers pixels 0 and 1: the outermost two of the control.
    painter.drawRect(QRectF(rect()).adjusted(Width / 2.0, Width / 2.0, -Width / 2.0, -Width / 2.0));
}
