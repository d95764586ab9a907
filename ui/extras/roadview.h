// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the decorative road of a RoadAnimation on the window background,
// beneath the window's other controls. RoadAnimator creates it; it never
// takes mouse input.
#pragma once

#include <QWidget>

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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    const ravno::RoadAnimation &m_road;
};
