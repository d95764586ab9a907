// SPDX-License-Identifier: GPL-3.0-or-later
// The place of a label whose text is an answer or a system: the answer line
// and the eliminated matrix of the main window, the editor's preview. The
// area lies where the label is drawn, beneath the window's buttons and
// boxes, and grows to the right and down as the text needs, so the whole
// text shows. Where the screen has no room for it the area scrolls.
#pragma once

#include <QRect>
#include <QScrollArea>

class QLabel;
class QMainWindow;

namespace ravno {

class TextArea : public QScrollArea
{
    Q_OBJECT
public:
    enum class Growth { RightAndDown, RightOnly, BothSides };

    // home: the label's own place in the client, in pixels. The label
    // becomes the area's content.
    TextArea(QLabel *label, const QRect &home, Growth growth, QWidget *client);

    QLabel *label() const { return m_label; }
    QRect home() const { return m_home; }
    // For an area that follows another: where it lies when its text fits.
    void setHome(const QRect &home) { m_home = home; }

    // A centred text whose first line, its title, must stay clear of a
    // control lying over the area's top (the editor's "Готово").
    void keepTitleClearOf(const QWidget *control) { m_clearOf = control; }

    // Where the area would lie if the window had all the room it wanted:
    // its home, grown to hold the whole text.
    QRect wanted() const;
    // Lies at wanted(), cut to the room (client coordinates); what is cut
    // off scrolls. The newest line of a text of several lines is shown.
    void placeWithin(const QRect &room);

private:
    QLabel *m_label;
    QRect m_home;
    Growth m_growth;
    const QWidget *m_clearOf = nullptr;
};

// Sizes a main window of a fixed client size (designed, in pixels) for its
// text areas: the designed size where every text fits it, else just large
// enough, each area keeping the designed margin to the client's edge. The
// window keeps its top-left corner and moves left or up only to stay on
// the screen's available area; it never grows past that area.
void fitWindowToText(QMainWindow *window, const QSize &designed, const QList<TextArea *> &areas);

} // namespace ravno
