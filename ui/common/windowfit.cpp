// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/windowfit.h"

#include "ui/common/layout.h"
#include "ui/common/textarea.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>

namespace ravno {

namespace {

// The window's place: kept while it fits on the screen, moved left or up
// only as far as it must. The place it had before such a move is kept on
// the window and taken again when it fits there, unless the person has
// moved the window since.
void keepOnScreen(QMainWindow *window, const QSize &frameSize, const QRect &available)
{
    const char *const homeKey = "ravnoHome";
    const char *const pushedKey = "ravnoPushedTo";
    QPoint start = window->pos();
    const QVariant pushedTo = window->property(pushedKey);
    if (pushedTo.isValid() && pushedTo.toPoint() == start)
        start = window->property(homeKey).toPoint();
    QPoint place = start;
    if (place.x() + frameSize.width() - 1 > available.right())
        place.setX(std::max(available.left(), available.right() + 1 - frameSize.width()));
    if (place.y() + frameSize.height() - 1 > available.bottom())
        place.setY(std::max(available.top(), available.bottom() + 1 - frameSize.height()));
    if (place != start) {
        window->setProperty(homeKey, start);
        window->setProperty(pushedKey, place);
    } else {
        window->setProperty(homeKey, QVariant());
        window->setProperty(pushedKey, QVariant());
    }
    if (place != window->pos())
        window->move(place);
}

} // namespace

void fitWindowToText(QMainWindow *window, const QSize &designed, const QList<TextArea *> &areas)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    const QSize frameExtra = window->frameGeometry().size() - window->geometry().size();
    const int menuHeight = window->menuBar() ? window->menuBar()->sizeHint().height() : 0;
    // On a screen lower than the window as designed (800 x 600 at scale 2)
    // the client is as high as the screen leaves, down to half its design:
    // the text areas take less room and scroll.
    const QSize most(std::max(designed.width(), available.width() - frameExtra.width()),
                     std::max(designed.height() / 2, available.height() - frameExtra.height() - menuHeight));

    // A grown area keeps its designed distance to the client's edges, but
    // no more than the windows' usual margin of 120 twips.
    const QSize edge = twipsSize(window, 120, 120);
    const auto margins = [&](const TextArea *area) {
        return QSize(std::min(edge.width(), designed.width() - 1 - area->designedHome().right()),
                     std::min(edge.height(), designed.height() - 1 - area->designedHome().bottom()));
    };
    const auto roomOf = [&](const TextArea *area, const QSize &client) {
        const int left = std::min(edge.width(), area->designedHome().left());
        return QRect(QPoint(left, 0), client - margins(area) - QSize(left, 0));
    };

    // Answers broken to the widest room first: what lies below them moves
    // down by as much as they grow, as far as the screen allows.
    int growth = 0;
    for (TextArea *area : areas) {
        if (area->growth() != TextArea::Growth::Wrap)
            continue;
        const int spare = std::max(0, most.height() - designed.height());
        area->wrapTo(roomOf(area, most));
        int moved = std::min(area->growthBelow(), spare);
        if (moved < area->growthBelow()) { // they scroll: the bar takes room from the lines
            area->wrapTo(roomOf(area, most).adjusted(0, 0, -area->verticalScrollBar()->sizeHint().width(), 0));
            moved = std::min(area->growthBelow(), spare);
        }
        area->moveFollowers(moved);
        growth = std::max(growth, moved);
    }

    QSize client(designed.width(), std::min(designed.height(), most.height()) + growth);
    for (TextArea *area : areas) {
        const QRect wanted = area->wantedWithin(roomOf(area, most));
        client = client.expandedTo(QSize(wanted.right() + 1, wanted.bottom() + 1) + margins(area));
    }
    client = client.boundedTo(most);
    for (TextArea *area : areas)
        area->placeWithin(roomOf(area, client));

    QWidget *central = window->centralWidget();
    if (central->size() != client) {
        central->setFixedSize(client);
        window->setFixedSize(client.width(), client.height() + menuHeight);
    }
    keepOnScreen(window, QSize(client.width(), client.height() + menuHeight) + frameExtra, available);
}

} // namespace ravno
