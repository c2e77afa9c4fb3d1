#pragma once
#include <QProgressBar>

// A progress bar that shows a text of the program's own: file names may hold '%', which the
// stock bar would read as a placeholder.
class TextProgressBar : public QProgressBar {
    Q_OBJECT
public:
    using QProgressBar::QProgressBar;
    QString text() const override { return m_text; }
    void setText(const QString &text)
    {
        m_text = text;
        update();
    }

private:
    QString m_text;
};
