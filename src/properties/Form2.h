// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/UiContext.h"
#include "core/WindowPointer.h"
#include <QDialog>
#include <array>

class QCheckBox;
class QPushButton;

// The property chooser: one box per catalogue row; every click is stored at once.
class Form2 : public QDialog {
    Q_OBJECT
public:
    explicit Form2(const UiContext &ctx, QWidget *parent = nullptr);

    // The load steps; run by the constructor's owner before the window shows.
    void Form_Load();
    QCheckBox *check(int number) const { return m_checks.at(static_cast<size_t>(number - 1)); }
    QPushButton *closeButton() const { return m_close; }
    int mousePointer() const { return m_pointer.value(); }
    void setMousePointer(int value) { m_pointer.set(value); }

    static QString location(const QString &procedure);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void checkClicked(int number, bool ticked);
    void Pushbutton11_Click();
    void hover(int value);

    UiContext m_ctx;
    std::array<QCheckBox *, 24> m_checks{};
    QPushButton *m_close = nullptr;
    WindowPointer m_pointer;
};

// "2. Choose Word Properties To Extract": opens the chooser modally; the results table is left alone.
void chooseProperties(const UiContext &ctx);
