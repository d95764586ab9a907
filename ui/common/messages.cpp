// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/messages.h"

#include "ui/common/failuretext.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace ravno {

void Messages::fileError(QWidget *parent, const FileError &error)
{
    inform(parent, QStringLiteral("Ошибка"), failureText(error));
}

namespace {

// A plain box as the program's messages have always looked: no icon, the
// title and the text, and Russian words on the buttons whatever the
// system's language.
QMessageBox::StandardButton ask(QWidget *parent, const QString &title, const QString &text,
                                QMessageBox::StandardButtons buttons)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, buttons, parent);
    if (QAbstractButton *cancel = box.button(QMessageBox::Cancel)) {
        cancel->setText(QStringLiteral("Отмена"));
        box.setDefaultButton(QMessageBox::Cancel); // replacing a file takes a deliberate OK
    }
    box.setEscapeButton(buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok);
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

void BoxMessages::inform(QWidget *parent, const QString &title, const QString &text)
{
    ask(parent, title, text, QMessageBox::Ok);
}

Messages::Reply BoxMessages::confirm(QWidget *parent, const QString &title, const QString &text)
{
    return ask(parent, title, text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok
               ? Reply::Ok
               : Reply::Cancel;
}

} // namespace ravno
