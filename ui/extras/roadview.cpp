// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/extras/roadview.h"

#include "core/roadanimation.h"
#include "ui/common/layout.h"

#include <QEvent>
#include <QPainter>

using namespace ravno;

namespace {

QColor toColor(Rgb rgb)
{
    return QColor(rgb.r, rgb.g, rgb.b);
}

} // namespace

RoadView::RoadView(const RoadAnimation &road, QWidget *parent) : QWidget(parent), m_road(road)
{
    setObjectName(QStringLiteral("road"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(parent->rect());
    parent->installEventFilter(this);
    lower();
}

QPointF RoadView::toPixels(int xTwips, int yTwips) const
{
    return twipsToPixels(this, xTwips, yTwips);
}

qreal RoadView::scaledWidth(int widthPx) const
{
    return widthPx * logicalDpiX() / 96.0;
}

bool RoadView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void RoadView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const auto draw = [&](const Segment &s, int widthPx, Rgb colour, Qt::PenStyle style) {
        // Thick solid lines end round, so the short dot segments are round dots.
        QPen pen(toColor(colour), scaledWidth(widthPx), style,
                 style == Qt::SolidLine ? Qt::RoundCap : Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(toPixels(s.x1, s.y1), toPixels(s.x2, s.y2));
    };

    const RoadGeometry &g = m_road.geometry();
    if (m_road.horizonVisible())
        draw(g.line2, 1, kHorizonColour, Qt::SolidLine);
    for (int i = 0; i < m_road.laneCount(); ++i) {
        if (m_road.laneVisible(i))
            draw(g.line3.at(std::size_t(i)), 1, m_road.laneColour(i), Qt::DotLine);
    }
    for (int i = 0; i < kDotCount; ++i) {
        if (m_road.dotVisible(i))
            draw(g.line1.at(std::size_t(i)), dotWidth(i), dotColour(g, i), Qt::SolidLine);
    }
}
