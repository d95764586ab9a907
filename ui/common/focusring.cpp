// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/focusring.h"

#include "ui/common/textarea.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace ravno {

namespace {

constexpr int kYellow = 2; // pixels
constexpr int kBlack = 1;  // pixels, between the yellow and the control
constexpr int kWidth = kYellow + kBlack;

class FocusRing : public QWidget
{
public:
    explicit FocusRing(QWidget *client) : QWidget(client)
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
        // Never over the answers, the matrix or the preview: the text of an
        // area next to the control stays whole.
        QRegion clear(rect());
        for (const TextArea *area : parentWidget()->findChildren<TextArea *>(Qt::FindDirectChildrenOnly))
            if (area->isVisible())
                clear -= area->lineBoxes().translated(-pos());
        painter.setClipRegion(clear);
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
        return QWidget::eventFilter(watched, event);
    }

private:
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
        const QRect want = m_control->geometry().adjusted(-kWidth, -kWidth, kWidth, kWidth);
        // Along the client's edge the ring lies inside the control.
        const QRect ring(QPoint(std::max(want.left(), bounds.left()), std::max(want.top(), bounds.top())),
                         QPoint(std::min(want.right(), bounds.right()), std::min(want.bottom(), bounds.bottom())));
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
