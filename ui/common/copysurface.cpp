// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/copysurface.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>

namespace ravno {
namespace {

class CopySurface : public QObject
{
    Q_OBJECT
public:
    CopySurface(QLabel *label, std::function<QString()> shownText)
        : QObject(label), m_label(label), m_shownText(std::move(shownText)),
          m_menu(new QMenu(label))
    {
        m_menu->setObjectName(QStringLiteral("copyMenu"));
        m_copy = m_menu->addAction(kCopyCaption, this, &CopySurface::copy);
        m_copy->setObjectName(QStringLiteral("copy"));
        m_label->setFocusPolicy(Qt::StrongFocus);
        m_label->setContextMenuPolicy(Qt::DefaultContextMenu);
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
