// SPDX-License-Identifier: GPL-3.0-or-later
// The place of a label whose text is an answer or a system: the answer line
// and the eliminated matrix of the main window, the editor's preview. The
// area lies where the label is drawn, beneath the window's buttons and
// boxes, and grows as the text needs, so the whole text shows: to the right
// and down, or to the right up to the screen's room and then down on more
// lines (the answers), moving the controls below it down with it. Where the
// screen has no room for it the area scrolls.
//
// The road beneath leaves the box of every shown text line black (see
// lineBoxes()), so no dot ever lies on a digit.
#pragma once

#include <QList>
#include <QRect>
#include <QRegion>
#include <QScrollArea>

class QLabel;

namespace ravno {

class TextArea : public QScrollArea
{
    Q_OBJECT
public:
    // RightAndDown: the matrix. Wrap: a PrintBox, which breaks its lines to
    // the room and grows down. BothSides: the preview, centred on its home.
    enum class Growth { RightAndDown, Wrap, BothSides };

    // home: the label's own place in the client, in pixels. The label
    // becomes the area's content.
    TextArea(QLabel *label, const QRect &home, Growth growth, QWidget *client);

    QLabel *label() const { return m_label; }
    Growth growth() const { return m_growth; }
    // Home as designed, moved down by the growth of an area above.
    QRect home() const { return m_home.translated(0, m_shift); }
    QRect designedHome() const { return m_home; }

    // A centred text whose first line, its title, must stay clear of a
    // control lying over the area's top (the editor's "Готово").
    void keepTitleClearOf(const QWidget *control) { m_clearOf = control; }

    // A Wrap area: it may take this many pixels of the free room above its
    // home before it pushes the controls below it down.
    void setRoomAbove(int pixels) { m_roomAbove = pixels; }
    // A Wrap area: controls and areas below it, moved down by as much as it
    // grows. Their places now are their designed places.
    void setFollowers(const QList<QWidget *> &followers);
    // Moves the area's home down by the growth of an area above it.
    void setShift(int pixels) { m_shift = pixels; }

    // A Wrap area breaks its lines to the room's width (client coordinates).
    void wrapTo(const QRect &room);
    // Where the area would lie if the window had all the room it wanted:
    // its home, grown to hold the whole text.
    QRect wanted() const;
    // wanted() kept within the room's width; a text cut there scrolls
    // sideways, and its area is higher by the scroll bar.
    QRect wantedWithin(const QRect &room) const;
    // Lies at wantedWithin(room), cut to the room; what is cut off scrolls.
    void placeWithin(const QRect &room);
    // How much a Wrap area grows beyond its home, and moves its followers.
    int growthBelow() const;
    void moveFollowers(int pixels);

    // The boxes of the text lines as they show now, in the client's
    // coordinates, cut to what the area shows; a label with an opaque ground
    // of its own gives the whole area.
    QRegion lineBoxes() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void linesMoved();
    void showNewestLine();
    void fitEmptyBox();
    int sidewaysBar() const;

    QLabel *m_label;
    QRect m_home;
    Growth m_growth;
    const QWidget *m_clearOf = nullptr;
    int m_shift = 0;
    int m_roomAbove = 0;
    int m_followersMoved = 0;
    QList<std::pair<QWidget *, QRect>> m_followers;
    QRegion m_lineBoxes;
    QRect m_wrapRoom; // where a Wrap area last broke its lines
};

} // namespace ravno
