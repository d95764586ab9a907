// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/copysurface.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>

namespace ravno {
namespace {

// Drawn over the label while it has focus, so the user sees what Ctrl+C
// will copy.
class FocusFrame : public QWidget
{
    Q_OBJECT
public:
    explicit FocusFrame(QLabel *label) : QWidget(label)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        // The label's own style sheet would paint its background over the
        // text it shows.
        setStyleSheet(QStringLiteral("background: transparent; border: none;"));
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(QPen(parentWidget()->palette().color(QPalette::WindowText), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    }
};

class CopySurface : public QObject
{
    Q_OBJECT
public:
    CopySurface(QLabel *label, std::function<QString()> shownText)
        : QObject(label), m_label(label), m_shownText(std::move(shownText)),
          m_frame(new FocusFrame(label)), m_menu(new QMenu(label))
    {
        m_menu->setObjectName(QStringLiteral("copyMenu"));
        m_copy = m_menu->addAction(kCopyCaption, this, &CopySurface::copy);
        m_copy->setObjectName(QStringLiteral("copy"));
        m_label->setFocusPolicy(Qt::StrongFocus);
        m_label->setContextMenuPolicy(Qt::DefaultContextMenu);
        m_frame->resize(m_label->size());
        m_label->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_label)
            return false;
        switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Ctrl+C belongs to the label that has focus, not to the window.
            if (static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
                event->accept();
                return true;
            }
            break;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
                copy();
                return true;
            }
            break;
        case QEvent::ContextMenu:
            m_copy->setEnabled(!m_shownText().isEmpty());
            m_menu->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
            return true;
        case QEvent::FocusIn:
            m_frame->show();
            break;
        case QEvent::FocusOut:
            m_frame->hide();
            break;
        case QEvent::Resize:
            m_frame->resize(m_label->size());
            break;
        default:
            break;
        }
        return false;
    }

private:
    void copy()
    {
        const QString text = m_shownText();
        if (!text.isEmpty())
            QGuiApplication::clipboard()->setText(text);
    }

    QLabel *m_label;
    std::function<QString()> m_shownText;
    FocusFrame *m_frame;
    QMenu *m_menu;
    QAction *m_copy = nullptr;
};

} // namespace

void makeCopyable(QLabel *label, std::function<QString()> shownText)
{
    new CopySurface(label, std::move(shownText));
}

} // namespace ravno

#include "copysurface.moc"
