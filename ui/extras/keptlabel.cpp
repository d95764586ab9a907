// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/extras/keptlabel.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

KeptLabel::KeptLabel(const QString &text, QWidget *parent) : QLabel(text, parent) {}

void KeptLabel::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::EnabledChange:
    case QEvent::LayoutDirectionChange:
        m_stale = true;
        break;
    default:
        break;
    }
    QLabel::changeEvent(event);
}

KeptLabel::Shown KeptLabel::shownNow() const
{
    const qreal ratio = devicePixelRatioF();
    return {text(),   (QSizeF(size()) * ratio).toSize(), ratio, alignment(), margin(), indent(),
            wordWrap(), textFormat()};
}

void KeptLabel::paintEvent(QPaintEvent *event)
{
    if (text().isEmpty()) { // a label without a frame shows nothing then
        m_picture = QPixmap();
        m_pictureShows = Shown();
        if (frameShape() != QFrame::NoFrame)
            QLabel::paintEvent(event);
        return;
    }
    if (m_painting || m_stale || !(shownNow() == m_pictureShows)) {
        // Painted as any label; a widget cannot be rendered while it paints,
        // so the picture is taken as soon as this paint is over.
        QLabel::paintEvent(event);
        if (!m_painting && !m_retakeQueued) {
            m_retakeQueued = true;
            QMetaObject::invokeMethod(this, &KeptLabel::takePicture, Qt::QueuedConnection);
        }
        return;
    }
    QPainter painter(this); // clipped to the region asked for
    painter.drawPixmap(0, 0, m_picture);
}

void KeptLabel::takePicture()
{
    m_retakeQueued = false;
    Shown now = shownNow();
    // The label paints on a transparent picture; what lies beneath it shows
    // through, as it does through the label itself.
    QPixmap picture;
    if (!now.pixels.isEmpty()) {
        picture = QPixmap(now.pixels);
        picture.setDevicePixelRatio(now.ratio);
        picture.fill(Qt::transparent);
        m_painting = true;
        render(&picture, QPoint(), QRegion(), QWidget::RenderFlags());
        m_painting = false;
    }
    m_picture = picture;
    m_pictureShows = std::move(now);
    m_stale = false;
}
