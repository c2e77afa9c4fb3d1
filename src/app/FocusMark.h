// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QWidget>

// A frame in the highlight colour drawn over a control's edge while the control has the keyboard focus.
// The buttons show their focus through the style; an empty list or the progress bar shows none of its
// own, so a user tabbing through the window would not see where the focus went. The mark lets every
// mouse event and every drop through to the control below it.
class FocusMark : public QWidget {
    Q_OBJECT
public:
    // Marks `control` from now on; the mark belongs to the control and goes with it.
    static FocusMark *attach(QWidget *control);

    static constexpr int Width = 2; // pixels, inside the control's edge

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    explicit FocusMark(QWidget *control);
    void follow();

    QWidget *m_control;
};
