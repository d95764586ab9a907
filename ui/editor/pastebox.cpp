// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/editor/pastebox.h"

#include "core/text/pastedsystem.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMimeData>

PasteBox::PasteBox(QWidget *parent) : QLineEdit(parent) {}

bool PasteBox::takeSystem(const QString &paste)
{
    using Kind = ravno::PastedSystem::Kind;
    if (isReadOnly())
        return false;
    const ravno::PastedSystem system = ravno::readPastedSystem(paste);
    switch (system.kind) {
    case Kind::Typed: return false;
    case Kind::Cell: insert(system.text); return true;
    case Kind::Refused: emit refused(refusalLine(system.text)); return true;
    case Kind::System: break;
    }
    if (system.order != 0)
        emit orderPasted(system.order);
    // Replacing through the selection keeps the paste one step of undo.
    selectAll();
    insert(system.text);
    return true;
}

QString PasteBox::refusalLine(const QString &cell)
{
    return cell.isEmpty()
               ? QStringLiteral("Вставка не принята: в ней больше %1 чисел. Текст не изменён.")
                     .arg(QLocale(QLocale::Russian, QLocale::Russia).toString(qlonglong(ravno::kMostValues)))
               : QStringLiteral("Вставка не принята: в ячейке «%1» лишний пробел, числа сдвинулись "
                                "бы. Текст не изменён.")
                     .arg(cell.left(60));
}

void PasteBox::pasteClipboard()
{
    if (!takeSystem(QGuiApplication::clipboard()->text()))
        paste();
}

void PasteBox::keyPressEvent(QKeyEvent *event)
{
    // Ctrl+V, Shift+Insert and whatever else the platform pastes with.
    if (event->matches(QKeySequence::Paste) && !isReadOnly()) {
        pasteClipboard();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void PasteBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    // The standard menu's paste item, known by its caption (as translated).
    const QString pasteCaption = QLineEdit::tr("&Paste");
    for (QAction *action : menu->actions()) {
        if (action->text().section(u'\t', 0, 0) == pasteCaption) {
            action->setObjectName(QStringLiteral("edit-paste"));
            disconnect(action, &QAction::triggered, this, nullptr);
            connect(action, &QAction::triggered, this, [this] { pasteClipboard(); });
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void PasteBox::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button pastes the selection where the platform has one.
    if (event->button() == Qt::MiddleButton && !isReadOnly()
        && QGuiApplication::clipboard()->supportsSelection()
        && takeSystem(QGuiApplication::clipboard()->text(QClipboard::Selection))) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void PasteBox::dropEvent(QDropEvent *event)
{
    if (event->mimeData()->hasText() && takeSystem(event->mimeData()->text())) {
        event->acceptProposedAction();
        return;
    }
    QLineEdit::dropEvent(event);
}
