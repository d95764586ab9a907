// SPDX-License-Identifier: GPL-3.0-or-later
// A main window sized for the text areas it holds: the main window and the
// editor call it whenever their answers, matrix or preview change.
#pragma once

#include <QList>
#include <QSize>

class QMainWindow;

namespace ravno {

class TextArea;

// Sizes a main window of a fixed client size (designed, in pixels) for its
// text areas: the designed size where every text fits it, else just large
// enough, each area keeping the designed margin to the client's edge. The
// window keeps its top-left corner and moves left or up only to stay on
// the screen's available area; it never grows past that area. When it
// shrinks back, it returns to where it was before it moved, unless the
// person has moved it meanwhile.
// On a screen lower than the designed window, the client is only as high as
// the screen leaves (its text areas scroll).
void fitWindowToText(QMainWindow *window, const QSize &designed, const QList<TextArea *> &areas);

} // namespace ravno
