// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/extras/form4.h"

#include "ui/common/controltable.h"
#include "ui/common/focusring.h"
#include "ui/common/readers.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPointer>

#include <algorithm>

using namespace ravno;

namespace {

QPointer<Form4> g_single;

// The labels' face is that of the other windows. A wider face must not cut
// a text off, so a label grows where its text needs more room than the
// layout gives it (Image1 is empty, and below the labels there is free
// space).
struct AboutLabel
{
    ControlRow row;
    qreal pointSize;
    bool bold;
    bool wrap; // a paragraph rather than a single line
};

const AboutLabel kLabels[] = {
    {{"Label1", {120, 120, 2535, 495}, "О программе"}, 18, true, false},
    {{"Label2", {120, 600, 2535, 255}, "Ravno v1.0 русская версия"}, 8.25, true, false},
    {{"Label3", {120, 960, 2535, 615}, "Программа предназначена для решения систем уравнений 2-10 порядка."},
     8.25, false, true},
    {{"Label4", {120, 1680, 2535, 375}, "Создатель"}, 12, false, false},
    {{"Label5", {120, 2040, 3015, 615}, "Разработчики Ravno.\nСпасибо всем, кто проверял программу."},
     8.25, false, true},
};
constexpr ControlRow kImage{"Image1", {2760, 0, 1920, 1920}};

constexpr int kClientWidth = 4680;  // twips
constexpr int kClientHeight = 2820; // twips

} // namespace

Form4::Form4()
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("О программе"));
    setAttribute(Qt::WA_DeleteOnClose);
    announceAsDialog(this);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(38, 38, 38));
    pal.setColor(QPalette::WindowText, QColor(0, 255, 0));
    setPalette(pal);
    setAutoFillBackground(true);
    setFont(uiFont());
    setFixedSize(twipsSize(this, kClientWidth, kClientHeight));

    for (const AboutLabel &item : kLabels) {
        auto *label = makeControl<QLabel>(this, item.row);
        label->setFont(uiFont(item.pointSize, item.bold));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(item.wrap);
        QSize room = label->size();
        if (item.wrap)
            room.setHeight(std::max(room.height(), label->heightForWidth(room.width())));
        else
            room = room.expandedTo(label->sizeHint());
        label->resize(room);
    }
    makeControl<QLabel>(this, kImage);
    // What the program is for has the keyboard, so a screen reader reads
    // it after the window's title; the frame shows it.
    auto *purpose = findChild<QLabel *>(QStringLiteral("Label3"));
    purpose->setFocusPolicy(Qt::StrongFocus);
    // The frame keeps a few pixels clear of the words.
    purpose->setMargin(2);
    purpose->resize(purpose->width(), std::max(purpose->height(), purpose->heightForWidth(purpose->width())));
    showFocusRing(this);
    purpose->setFocus();
}

Form4 *Form4::instance()
{
    return g_single.data();
}

Form4 *Form4::showSingle()
{
    if (!g_single) {
        g_single = new Form4;
        g_single->show();
        // The frame is known once the window is shown; centring the whole
        // window, frame and all, puts the client area a little below the
        // middle.
        centreOnScreen(g_single);
    }
    g_single->raise();
    g_single->activateWindow();
    return g_single.data();
}

void Form4::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
