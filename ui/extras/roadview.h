// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the decorative road of a RoadAnimation on the window background,
// beneath the window's other controls. RoadAnimator creates it; it never
// takes mouse input. After an event of the road, refresh() repaints only the
// pixels of the lines whose look changed, so the controls above the road are
// repainted only where those lines cross them. It paints the background of
// its parent itself, so that the windows beneath need no repainting. It
// leaves the box of every text line of the window's text areas black, so no
// dot lies on a digit, and does not repaint what a solid control covers.
#pragma once

#include "core/road/roadgeometry.h"

#include <QLineF>
#include <QRegion>
#include <QWidget>

#include <array>

namespace ravno {
class RoadAnimation;
}

class RoadView : public QWidget
{
    Q_OBJECT
public:
    // parent is the widget holding the window's controls; the view fills it
    // and lies beneath its other children.
    RoadView(const ravno::RoadAnimation &road, QWidget *parent);

    // Twips to this widget's pixels: 1440 twips to the inch of the screen's
    // logical resolution (15 twips to the pixel at 96 dpi).
    QPointF toPixels(int xTwips, int yTwips) const;
    // A width given in pixels at 96 dpi, scaled the same way.
    qreal scaledWidth(int widthPx) const;

    // Repaints the lines that are shown, hidden or coloured otherwise than at
    // the last call, and returns the region asked for (empty: nothing).
    QRegion refresh();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Every line the view draws: Line1 0..41, then Line2, then Line3.
    static constexpr int kHorizonLine = ravno::kDotCount;
    static constexpr int kFirstLane = kHorizonLine + 1;
    static constexpr int kLineCount = kFirstLane + ravno::kMaxLanes;

    struct Look
    {
        bool shown = false;
        ravno::Rgb colour;
        friend bool operator==(const Look &, const Look &) = default;
    };
    using Looks = std::array<Look, kLineCount>;

    Looks currentLooks() const;
    ravno::Segment segment(int line) const;
    // In this widget's pixels: the boxes of the shown text lines, and with
    // them, when asked, the solid controls lying over the road.
    QRegion keptClear(bool solidControls) const;
    int penWidth(int line) const;

    // A line in this widget's pixels, with the pixels it can touch: thin
    // strips along it, so that a long slanted line does not claim the whole
    // rectangle it spans.
    struct Placed
    {
        QLineF line;
        qreal width = 0;
        QRegion region;
    };
    // Worked out once for the screen's resolution, again when it is shown or
    // moves to another screen.
    const std::array<Placed, kLineCount> &placed();

    const ravno::RoadAnimation &m_road;
    Looks m_looks; // as last asked to be painted
    std::array<Placed, kLineCount> m_placed;
    bool m_placedValid = false;
};
