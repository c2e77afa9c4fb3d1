// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "properties/Form2.h"
#include "core/ErrorLocation.h"
#include "core/FileExists.h"
#include "core/FormColors.h"
#include "core/PointerFile.h"
#include "core/ProgramIcon.h"
#include "core/ReturnKey.h"
#include "core/Twips.h"
#include "platform/RuntimeError.h"
#include "properties/PropertyCatalogue.h"

#include <QCheckBox>
#include <QEvent>
#include <QIcon>
#include <QMouseEvent>
#include <QPushButton>

namespace {
int px(int twips) { return twipsToPixels(twips); }

struct BoxPlace {
    int left, top, width;
};
constexpr std::array<BoxPlace, 24> boxPlaces{{
    {240, 200, 1600},   {240, 600, 1600},   {240, 1000, 1600},  {240, 1400, 1600},  {240, 1800, 1600},
    {240, 2200, 1600},  {240, 2600, 1600},  {240, 3000, 1600},  {240, 3400, 1600},  {240, 3800, 1600},
    {240, 4200, 1600},  {240, 4600, 1600},  {2160, 200, 1600},  {2160, 600, 1600},  {2160, 1000, 1600},
    {2160, 1400, 1935}, {2160, 1800, 1935}, {2160, 2200, 1965}, {2160, 2600, 2445}, {2160, 3000, 2325},
    {2160, 3400, 2445}, {2160, 3800, 2325}, {2160, 4200, 3015}, {2160, 4600, 1600},
}};
constexpr int BoxHeight = 240;
} // namespace

QString Form2::location(const QString &procedure) { return errorLocation::of(QStringLiteral("Form2"), procedure); }

Form2::Form2(const UiContext &ctx, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      m_ctx(ctx), m_pointer(this)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Word Properties"));
    setModal(true);
    setFixedSize(px(5280), px(5490));
    QFont font(QStringLiteral("Arial"), 9);
    font.setBold(true);
    setFont(font);
    // White until the load gives the window its button-face colour.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    setMouseTracking(true);

    for (int n = 1; n <= catalogue::RowCount; ++n) {
        const CatalogueRow &row = catalogue::row(n);
        auto *box = new QCheckBox(QString::fromUtf16(row.caption), this);
        box->setObjectName(QString::fromUtf16(row.checkBox));
        const BoxPlace &place = boxPlaces[static_cast<size_t>(n - 1)];
        box->setGeometry(px(place.left), px(place.top), px(place.width), px(BoxHeight));
        box->setMouseTracking(true);
        // Moves over a box belong to the box alone, not also to the background behind it.
        box->setAttribute(Qt::WA_NoMousePropagation);
        box->installEventFilter(this);
        // A box reports a click also when the load ticks it, so the load stores every ticked row.
        connect(box, &QCheckBox::toggled, this, [this, n](bool ticked) { checkClicked(n, ticked); });
        m_checks[static_cast<size_t>(n - 1)] = box;
    }
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("PushButton11"));
    QFont buttonFont(QStringLiteral("Arial"));
    buttonFont.setPointSizeF(11.25);
    buttonFont.setBold(true);
    m_close->setFont(buttonFont);
    m_close->setGeometry(px(120), px(4980), px(5040), px(405));
    m_close->setMouseTracking(true);
    m_close->setAttribute(Qt::WA_NoMousePropagation);
    m_close->installEventFilter(this);
    // A dialog's buttons are auto-default: Return on a check box would close the window.
    pressOnReturn(m_close);
    connect(m_close, &QPushButton::clicked, this, &Form2::Pushbutton11_Click);

    // Keyboard order: Check1..Check10, Check12, Close, Check11, Check13..Check24.
    QList<QWidget *> order;
    for (int n = 1; n <= 10; ++n)
        order << check(n);
    order << check(12) << m_close << check(11);
    for (int n = 13; n <= 24; ++n)
        order << check(n);
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void Form2::Form_Load()
{
    Trap t(*m_ctx.errors, location(QStringLiteral("Form_Load")));
    t.run(100, [&] { SetFormColors(this); });
    t.run(102, [&] { setWindowIcon(programIcon()); });
    const QString cursorPath = m_ctx.programFolder + QStringLiteral("/HAND-M.CUR");
    if (t.test(108, [&] { return FileExists(cursorPath); })) {
        t.run(110, [&] {
            if (auto cursor = loadPointerFile(cursorPath))
                m_pointer.setCustomCursor(*cursor);
        });
    }
    for (int n = 1; n <= catalogue::RowCount; ++n) {
        t.run(110 + 2 * n, [&] {
            const QString stored = catalogue::readSelection(*m_ctx.settings, n);
            check(n)->setChecked(catalogue::tickedInChooser(stored));
        });
    }
}

void Form2::checkClicked(int number, bool ticked)
{
    // The click handlers have no trap of their own; a refused write must still not pass unseen.
    try {
        catalogue::writeSelection(*m_ctx.settings, number, ticked);
    } catch (const RuntimeError &e) {
        m_ctx.errors->report(location(QStringLiteral("Check%1_Click").arg(number)), 100, e.description());
    }
}

void Form2::Pushbutton11_Click()
{
    Trap t(*m_ctx.errors, location(QStringLiteral("Pushbutton11_Click")));
    t.run(100, [&] { close(); });
}

void Form2::hover(int value)
{
    if (m_pointer.value() != pointer::Busy)
        m_pointer.set(value);
}

void Form2::mouseMoveEvent(QMouseEvent *event)
{
    hover(pointer::Default);
    QDialog::mouseMoveEvent(event);
}

bool Form2::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        if (watched == check(6))
            hover(pointer::Default);
        else if (watched == check(11) || watched == m_close)
            hover(pointer::Custom);
    }
    return QDialog::eventFilter(watched, event);
}

void chooseProperties(const UiContext &ctx)
{
    Trap t(*ctx.errors, errorLocation::of(QStringLiteral("Form1"), QStringLiteral("PushButton6_Click")));
    t.run(100, [&] {
        // Loaded afresh on every opening; shown without an owner, modal to the whole program.
        Form2 chooser(ctx, nullptr);
        chooser.Form_Load();
        chooser.exec();
    });
}
