// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/focusring.h"

#include "ui/common/textarea.h"

#include <QApplication>
#include <QEvent>
#include <QFocusFrame>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>

namespace ravno {

namespace {

constexpr int kYellow = 2; // pixels
constexpr int kBlack = 1;  // pixels, between the yellow and the control
constexpr int kWidth = kYellow + kBlack;

// A focus frame of Qt's kind, so that screen readers leave it out.
class FocusRing : public QFocusFrame
{
    Q_OBJECT
public:
    explicit FocusRing(QWidget *client) : QFocusFrame(client)
    {
        setObjectName(QStringLiteral("focusRing"));
        // Clicks and the search for the control under a point pass through.
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { follow(now); });
        // The ring is cut at the client's edge: a client that grows after
        // the control did gives the ring its room back.
        client->installEventFilter(this);
        follow(QApplication::focusWidget());
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setClipRegion(QRegion(rect()) - obstacles().translated(-pos()));
        const QRect outer = rect();
        painter.fillRect(outer, QColor(255, 255, 0));
        painter.fillRect(outer.adjusted(kYellow, kYellow, -kYellow, -kYellow), Qt::black);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == parentWidget() && event->type() == QEvent::Resize)
            place();
        if (watched == m_control) {
            switch (event->type()) {
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::Hide:
                place();
                break;
            default:
                break;
            }
        }
        return QFocusFrame::eventFilter(watched, event);
    }

private:
    // What the ring must leave as it is, in the client's coordinates: every
    // other control, and of the answers, the matrix and the preview the
    // text lines (its own control's too) and scroll bars. The road and the ring itself pass mouse
    // events through and are no obstacle.
    QRegion obstacles(bool withText = true) const
    {
        QRegion blocked;
        if (const auto *own = qobject_cast<const TextArea *>(m_control.data()); own && withText)
            blocked += own->lineBoxes();
        for (QWidget *other : parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (other == m_control || other->isHidden() || other->testAttribute(Qt::WA_TransparentForMouseEvents))
                continue;
            if (const auto *area = qobject_cast<const TextArea *>(other)) {
                if (withText)
                    blocked += area->lineBoxes();
                for (const QWidget *bar : {static_cast<QWidget *>(area->horizontalScrollBar()),
                                           static_cast<QWidget *>(area->verticalScrollBar())})
                    if (bar->isVisible())
                        blocked += QRect(bar->mapTo(parentWidget(), QPoint(0, 0)), bar->size());
                continue;
            }
            blocked += other->geometry();
        }
        return blocked;
    }

    // The control on the client area that holds the focus widget: a combo
    // box for its line edit, a text area for its label.
    void follow(QWidget *focused)
    {
        QWidget *client = parentWidget();
        QWidget *control = focused;
        while (control && control->parentWidget() != client)
            control = control->parentWidget();
        if (control == this)
            control = nullptr;
        if (m_control != control) {
            if (m_control)
                m_control->removeEventFilter(this);
            m_control = control;
            if (m_control)
                m_control->installEventFilter(this);
        }
        place();
    }

    void place()
    {
        if (!m_control || m_control->isHidden()) {
            hide();
            return;
        }
        const QRect bounds = parentWidget()->rect();
        const QRect control = m_control->geometry();
        // A side lies just outside the control. Where that would cover
        // another control, it lies just inside, on the control's own ground,
        // as along the client's edge. Text lines only cut it.
        const QRegion controls = obstacles(false) + (QRegion(bounds.adjusted(-kWidth, -kWidth, kWidth, kWidth)) - bounds);
        const auto edge = [&](const QRect &strip, int outer, int inner) {
            return controls.intersects(strip) ? inner : outer;
        };
        const QRect ring(
            QPoint(edge(QRect(control.left() - kWidth, control.top(), kWidth, control.height()),
                        control.left() - kWidth, control.left()),
                   edge(QRect(control.left(), control.top() - kWidth, control.width(), kWidth),
                        control.top() - kWidth, control.top())),
            QPoint(edge(QRect(control.right() + 1, control.top(), kWidth, control.height()),
                        control.right() + kWidth, control.right()),
                   edge(QRect(control.left(), control.bottom() + 1, control.width(), kWidth),
                        control.bottom() + kWidth, control.bottom())));
        setGeometry(ring);
        setMask(QRegion(rect()).subtracted(QRegion(rect().adjusted(kWidth, kWidth, -kWidth, -kWidth))));
        raise();
        show();
    }

    QPointer<QWidget> m_control;
};

} // namespace

void showFocusRing(QWidget *client)
{
    new FocusRing(client);
}

} // namespace ravno

#include "focusring.moc"
