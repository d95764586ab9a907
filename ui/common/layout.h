// SPDX-License-Identifier: GPL-3.0-or-later
// Window geometry, type and colours. Sizes are given in twips (1/1440 inch)
// and turned into pixels with the screen's logical DPI, so the windows keep
// their proportions on high-DPI screens (15 twips are one pixel at 96 dpi).
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>

class QMainWindow;
class QWidget;

namespace ravno {

inline const QColor kButtonGrey(128, 128, 128);
inline const QColor kGreenText(0, 255, 0);

// Twips to pixels of the widget's screen, unrounded: x and widths by its
// horizontal logical DPI, y and heights by its vertical (96 dpi without a
// widget). Every other size in twips is turned into pixels through this.
QPointF twipsToPixels(const QWidget *widget, qreal x, qreal y);
// The same, rounded to whole pixels.
QRect twipsRect(const QWidget *widget, int left, int top, int width, int height);
QSize twipsSize(const QWidget *widget, int width, int height);

// A control's place on its window's client area, in twips.
struct Place
{
    int left, top, width, height;
};

// The windows' type: MS Sans Serif where it exists, else a face of about its
// width, at the given size (8.25 pt on every control but the About labels).
QStringList uiFontFamilies();
QFont uiFont(qreal pointSize = 8.25, bool bold = false);

// The common look: black background, green text in boxes, grey buttons,
// MS Sans Serif-like 8.25 pt type.
void applyWindowLook(QWidget *window);

// A fixed-size main window whose client area (below the menu bar) is
// width x height twips, without minimise and maximise buttons.
void fixClientArea(QMainWindow *window, QWidget *client, int width, int height);

void centreOnScreen(QWidget *window);

// Where a window of the given frame size goes beside another window's
// frame: to its right when the available area has room, else to its left,
// else where it covers least of it, never over keepClear (all in screen
// coordinates). Returns the frame's top-left corner.
QPoint besideFrame(const QRect &other, const QSize &frame, const QRect &keepClear,
                   const QRect &available);

// Moves a shown window beside another, keeping clear of a part of it.
void placeBeside(QWidget *window, const QWidget *other, const QRect &keepClear);

// Calls fit whenever the window manager frames the window anew (and when it
// is first shown), as the frame decides how much of the screen is left.
void refitWhenFramed(QWidget *window, std::function<void()> fit);

// Shows a window in front and gives it the keyboard.
void showActive(QWidget *window);

// Ends the program at once. Unlike QApplication::quit() it asks no window to
// close, so the editor does not save its last array on the way out.
void endProgram();

} // namespace ravno
