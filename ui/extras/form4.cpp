// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/extras/form4.h"

#include <QLabel>
#include <QPointer>
#include <QScreen>

#include <algorithm>

namespace {

QPointer<Form4> g_single;

// The labels' face is "MS Sans Serif"; where it is missing a face of about
// the same width, or else the system's sans serif face, takes its place at the
// same size. A wider face must not cut a text off, so a label grows where its
// text needs more room than the layout gives it (Image1 is empty, and below
// the labels there is free space).
constexpr qreal kDefaultPointSize = 8.25;

struct LabelLayout
{
    const char *name;
    int left, top, width, height; // twips
    const char16_t *text;
    qreal pointSize;
    bool bold;
    bool wrap; // a paragraph rather than a single line
};

const LabelLayout kLabels[] = {
    {"Label1", 120, 120, 2535, 495, u"О программе", 18, true, false},
    {"Label2", 120, 600, 2535, 255, u"Ravno v1.0 русская версия", 8.25, true, false},
    {"Label3", 120, 960, 2535, 615,
     u"Программа предназначена для решения систем уравнений 2-10 порядка.", kDefaultPointSize,
     false, true},
    {"Label4", 120, 1680, 2535, 375, u"Создатель", 12, false, false},
    {"Label5", 120, 2040, 3015, 615, u"Разработчики Ravno.\nСпасибо всем, кто проверял программу.",
     kDefaultPointSize, false, true},
};

constexpr int kClientWidth = 4680;  // twips
constexpr int kClientHeight = 2820; // twips

QFont labelFont(qreal pointSize, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Nimbus Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace

Form4::Form4()
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("О программе"));
    setAttribute(Qt::WA_DeleteOnClose);

    const auto px = [this](int twips, int dpi) { return qRound(twips * dpi / 1440.0); };
    const auto rect = [&](int left, int top, int width, int height) {
        return QRect(px(left, logicalDpiX()), px(top, logicalDpiY()), px(width, logicalDpiX()),
                     px(height, logicalDpiY()));
    };

    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(38, 38, 38));
    pal.setColor(QPalette::WindowText, QColor(0, 255, 0));
    setPalette(pal);
    setAutoFillBackground(true);
    setFont(labelFont(kDefaultPointSize, false));
    setFixedSize(px(kClientWidth, logicalDpiX()), px(kClientHeight, logicalDpiY()));

    for (const LabelLayout &item : kLabels) {
        auto *label = new QLabel(QString::fromUtf16(item.text), this);
        label->setObjectName(QLatin1String(item.name));
        label->setGeometry(rect(item.left, item.top, item.width, item.height));
        label->setFont(labelFont(item.pointSize, item.bold));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(item.wrap);
        QSize room = label->size();
        if (item.wrap)
            room.setHeight(std::max(room.height(), label->heightForWidth(room.width())));
        else
            room = room.expandedTo(label->sizeHint());
        label->resize(room);
    }
    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(rect(2760, 0, 1920, 1920));
}

void Form4::centre()
{
    // The frame is known once the window is shown; centring the whole
    // window, frame and all, puts the client area a little below the middle.
    if (const QScreen *s = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(s->availableGeometry().center());
        move(frame.topLeft());
    }
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
        g_single->centre();
    }
    g_single->raise();
    g_single->activateWindow();
    return g_single.data();
}
