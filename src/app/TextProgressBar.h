// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "extract/RunProgress.h"
#include <QProgressBar>

// A progress bar that shows a text of the program's own: file names may hold '%', which the
// stock bar would read as a placeholder. The extraction run reports to it.
class TextProgressBar : public QProgressBar, public IRunProgress {
    Q_OBJECT
public:
    using QProgressBar::QProgressBar;
    void showPercent(int percent) override { setValue(percent); }
    void showText(const QString &text) override { setText(text); }
    QString text() const override { return m_text; }
    void setText(const QString &text)
    {
        m_text = text;
        update();
    }

private:
    QString m_text;
};
