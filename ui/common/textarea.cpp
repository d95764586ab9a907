// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/textarea.h"

#include "ui/common/layout.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>

namespace ravno {

TextArea::TextArea(QLabel *label, const QRect &home, Growth growth, QWidget *client)
    : QScrollArea(client), m_label(label), m_home(home), m_growth(growth)
{
    setObjectName(label->objectName() + QStringLiteral("Area"));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setWidgetResizable(true);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidget(label);
    // A text taller than the area shows its newest line. The label takes its
    // new height only when the area lays it out, after the text changed, so
    // the area follows the scroll range rather than the text.
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this](int, int newest) { verticalScrollBar()->setValue(newest); });
    // The area shows the road through it, the label too (setWidget would
    // fill the label with the light window colour).
    label->setAutoFillBackground(false);
    setGeometry(m_home); // not home: it may be the label's own geometry, now changed
    // Beneath every button and box of the window; only the road lies lower.
    lower();
    if (QWidget *road = client->findChild<QWidget *>(QStringLiteral("road"), Qt::FindDirectChildrenOnly))
        road->lower();
}

QRect TextArea::wanted() const
{
    QSize size = m_label->sizeHint().expandedTo(m_home.size());
    if (m_growth == Growth::RightOnly)
        size.setHeight(m_home.height());
    QRect rect(m_home.topLeft(), size);
    if (m_growth != Growth::BothSides)
        return rect;
    rect.moveLeft(std::max(0, m_home.center().x() - size.width() / 2));
    if (m_clearOf && !m_clearOf->isHidden()) {
        const QFontMetrics metrics = m_label->fontMetrics();
        const int titleWidth = metrics.horizontalAdvance(m_label->text().section(u'\n', 0, 0));
        QRect title(0, rect.top(), titleWidth, metrics.height());
        title.moveLeft(rect.left() + (rect.width() - titleWidth) / 2);
        const QRect over = m_clearOf->geometry();
        if (title.intersects(over))
            rect.translate(over.right() + 2 - title.left(), 0);
    }
    return rect;
}

void TextArea::placeWithin(const QRect &room)
{
    // A box one line high shows one line whole within its frame, although
    // the frame and the font's spacing ask for a little more; it scrolls
    // only when it holds several lines.
    if (m_growth == Growth::RightOnly) {
        const bool oneLine = !m_label->text().contains(u'\n');
        m_label->setSizePolicy(QSizePolicy::Preferred, oneLine ? QSizePolicy::Ignored : QSizePolicy::Preferred);
    }
    QRect rect = wanted();
    if (rect.right() > room.right())
        rect.moveRight(room.right());
    rect.setLeft(std::max(rect.left(), room.left()));
    setGeometry(rect.intersected(room));
}

void fitWindowToText(QMainWindow *window, const QSize &designed, const QList<TextArea *> &areas)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    const QSize frameExtra = window->frameGeometry().size() - window->geometry().size();
    const int menuHeight = window->menuBar() ? window->menuBar()->sizeHint().height() : 0;
    const QSize most(std::max(designed.width(), available.width() - frameExtra.width()),
                     std::max(designed.height(), available.height() - frameExtra.height() - menuHeight));

    // A grown area keeps its designed distance to the client's edges, but
    // no more than the windows' usual margin of 120 twips.
    const QSize edge = twipsSize(window, 120, 120);
    const auto margins = [&](const TextArea *area) {
        return QSize(std::min(edge.width(), designed.width() - 1 - area->home().right()),
                     std::min(edge.height(), designed.height() - 1 - area->home().bottom()));
    };
    QSize client = designed;
    for (const TextArea *area : areas) {
        const QRect wanted = area->wanted();
        client = client.expandedTo(QSize(wanted.right() + 1, wanted.bottom() + 1) + margins(area));
    }
    client = client.boundedTo(most);
    for (TextArea *area : areas)
        area->placeWithin(QRect(QPoint(0, 0), client - margins(area)));

    QWidget *central = window->centralWidget();
    if (central->size() != client) {
        central->setFixedSize(client);
        window->setFixedSize(client.width(), client.height() + menuHeight);
    }
    // Kept where it is, unless it now reaches past the screen's edge.
    QRect frame = window->frameGeometry();
    frame.setSize(QSize(client.width(), client.height() + menuHeight) + frameExtra);
    QPoint topLeft = frame.topLeft();
    if (frame.right() > available.right())
        topLeft.setX(std::max(available.left(), available.right() + 1 - frame.width()));
    if (frame.bottom() > available.bottom())
        topLeft.setY(std::max(available.top(), available.bottom() + 1 - frame.height()));
    if (topLeft != frame.topLeft())
        window->move(topLeft);
}

} // namespace ravno
