// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/editor/saveloadicon.h"

#include <QPainter>
#include <QPixmap>

namespace ravno {

QIcon saveLoadIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // Disk body, shutter and label.
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(0, 96, 160));
    p.drawRoundedRect(QRectF(3.5, 3.5, 25, 25), 2, 2);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(9.5, 3.5, 13, 8));
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(QRectF(17.5, 5.5, 3, 4));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7.5, 16.5, 17, 10));
    // Arrows: in and out.
    p.setPen(QPen(QColor(0, 160, 0), 2));
    p.drawLine(QPointF(12, 19), QPointF(12, 25));
    p.drawLine(QPointF(10, 23), QPointF(12, 25));
    p.drawLine(QPointF(14, 23), QPointF(12, 25));
    p.setPen(QPen(QColor(192, 0, 0), 2));
    p.drawLine(QPointF(20, 25), QPointF(20, 19));
    p.drawLine(QPointF(18, 21), QPointF(20, 19));
    p.drawLine(QPointF(22, 21), QPointF(20, 19));
    return QIcon(pixmap);
}

} // namespace ravno
