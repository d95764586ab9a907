// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/extras/roadview.h"

#include "core/road/roadanimation.h"
#include "ui/common/layout.h"
#include "ui/common/readers.h"
#include "ui/common/textarea.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

using namespace ravno;

namespace {

QColor toColor(Rgb rgb)
{
    return QColor(rgb.r, rgb.g, rgb.b);
}

// A slanted line's region is made of pieces about this many pixels long.
constexpr qreal kPiecePx = 12;

} // namespace

RoadView::RoadView(const RoadAnimation &road, QWidget *parent)
    : QWidget(parent), m_road(road), m_looks(currentLooks())
{
    setObjectName(QStringLiteral("road"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Every pixel is painted here, the background too: what lies beneath is
    // not painted again for a moving dot.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    hideFromReaders(this); // a decoration
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

RoadView::Looks RoadView::currentLooks() const
{
    Looks looks;
    const RoadGeometry &g = m_road.geometry();
    for (int i = 0; i < kDotCount; ++i)
        looks[std::size_t(i)] = {m_road.dotVisible(i), dotColour(g, i)};
    looks[kHorizonLine] = {m_road.horizonVisible(), kHorizonColour};
    for (int i = 0; i < m_road.laneCount(); ++i)
        looks[std::size_t(kFirstLane + i)] = {m_road.laneVisible(i), m_road.laneColour(i)};
    return looks;
}

Segment RoadView::segment(int line) const
{
    const RoadGeometry &g = m_road.geometry();
    if (line < kDotCount)
        return g.line1.at(std::size_t(line));
    if (line == kHorizonLine)
        return g.line2;
    return g.line3.at(std::size_t(line - kFirstLane));
}

int RoadView::penWidth(int line) const
{
    return line < kDotCount ? dotWidth(line) : 1;
}

const std::array<RoadView::Placed, RoadView::kLineCount> &RoadView::placed()
{
    if (m_placedValid)
        return m_placed;
    m_placedValid = true;
    for (int i = 0; i < kLineCount; ++i) {
        const Segment s = segment(i);
        Placed &p = m_placed[std::size_t(i)];
        p.line = QLineF(toPixels(s.x1, s.y1), toPixels(s.x2, s.y2));
        p.width = scaledWidth(penWidth(i));
        // Half the pen each side (round caps reach as far), and a pixel or
        // two for the rounding of the raster.
        const int margin = int(std::ceil(p.width / 2)) + 2;
        const QPointF delta = p.line.p2() - p.line.p1();
        const int pieces = std::max(
            1, int(std::ceil(std::max(std::abs(delta.x()), std::abs(delta.y())) / kPiecePx)));
        p.region = QRegion();
        for (int k = 0; k < pieces; ++k) {
            const QPointF a = p.line.p1() + delta * (qreal(k) / pieces);
            const QPointF b = p.line.p1() + delta * (qreal(k + 1) / pieces);
            p.region += QRectF(a, b).normalized().toAlignedRect().adjusted(-margin, -margin, margin,
                                                                            margin);
        }
    }
    return m_placed;
}

QRegion RoadView::keptClear(bool solidControls) const
{
    QRegion clear;
    for (QObject *object : parentWidget()->children()) {
        auto *control = qobject_cast<QWidget *>(object);
        if (!control || control == this || control->isHidden())
            continue;
        if (const auto *area = qobject_cast<TextArea *>(control))
            clear += area->lineBoxes();
        else if (solidControls
                 && (qobject_cast<QAbstractButton *>(control) || qobject_cast<QLineEdit *>(control)
                     || qobject_cast<QAbstractScrollArea *>(control)
                     || qobject_cast<QAbstractSlider *>(control) || qobject_cast<QComboBox *>(control)))
            clear += control->geometry();
    }
    return clear.translated(-pos());
}

QRegion RoadView::refresh()
{
    const Looks now = currentLooks();
    if (now == m_looks)
        return {};
    const auto &lines = placed();
    QRegion changed;
    for (int line = 0; line < kLineCount; ++line) {
        if (now[std::size_t(line)] != m_looks[std::size_t(line)])
            changed += lines[std::size_t(line)].region;
    }
    m_looks = now;
    changed &= rect();
    // What lies under a text line or a solid control looks the same after.
    changed -= keptClear(true);
    if (!changed.isEmpty())
        repaint(changed); // at once: no second wake-up for it; nothing while hidden
    return changed;
}

bool RoadView::event(QEvent *event)
{
    // Another screen may have another resolution.
    if (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::Show)
        m_placedValid = false;
    return QWidget::event(event);
}

bool RoadView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void RoadView::paintEvent(QPaintEvent *event)
{
    // What is shown now; a change not yet refreshed is still found by the
    // next refresh(), which compares with what it last asked for.
    const Looks looks = currentLooks();
    const QRegion &dirty = event->region();
    const QRect dirtyBounds = dirty.boundingRect();
    QPainter painter(this);
    const QWidget *holder = parentWidget();
    painter.fillRect(dirtyBounds, holder->palette().brush(holder->backgroundRole()));
    painter.setClipRegion(dirty - keptClear(false));

    const auto &lines = placed();
    const auto draw = [&](int line) {
        const Look &look = looks[std::size_t(line)];
        const Placed &p = lines[std::size_t(line)];
        if (!look.shown || !dirtyBounds.intersects(p.region.boundingRect())
            || !dirty.intersects(p.region))
            return;
        // Thick solid lines end round, so the short dot segments are round
        // dots; the lanes are dotted.
        const Qt::PenStyle style = line >= kFirstLane ? Qt::DotLine : Qt::SolidLine;
        painter.setPen(QPen(toColor(look.colour), p.width, style,
                            style == Qt::SolidLine ? Qt::RoundCap : Qt::FlatCap));
        painter.drawLine(p.line);
    };
    // The horizon, the lanes over it and the dots over both.
    draw(kHorizonLine);
    for (int i = 0; i < m_road.laneCount(); ++i)
        draw(kFirstLane + i);
    for (int i = 0; i < kDotCount; ++i)
        draw(i);
}
