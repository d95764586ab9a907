// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/messages.h"

#include "ui/common/failuretext.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGridLayout>
#include <QSpacerItem>

namespace ravno {

void Messages::error(QWidget *parent, const QString &text)
{
    inform(parent, QStringLiteral("Ошибка"), text);
}

void Messages::showFailure(QWidget *parent, const FileError &error)
{
    this->error(parent, failureText(error));
}

void Messages::showFailure(QWidget *parent, const NameRefusal &refusal)
{
    this->error(parent, failureText(refusal));
}

void Messages::showFailure(QWidget *parent, const HelpFault &fault)
{
    this->error(parent, failureText(fault));
}

// Title bars take the room of their buttons and icon beside the title.
constexpr int kTitleBarExtra = 100;

std::unique_ptr<QMessageBox> messageBox(QWidget *parent, const QString &title, const QString &text,
                                        QMessageBox::StandardButtons buttons)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, title, text, buttons, parent);
    if (QAbstractButton *cancel = box->button(QMessageBox::Cancel)) {
        cancel->setText(QStringLiteral("Отмена"));
        box->setDefaultButton(QMessageBox::Cancel); // replacing a file takes a deliberate OK
    }
    box->setEscapeButton(buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok);
    // The box sizes itself to its text and buttons; a row as wide as the
    // title keeps a short text ("Нет данных") from hiding the title.
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout())) {
        const int width = QFontMetrics(QApplication::font()).horizontalAdvance(title) + kTitleBarExtra;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(),
                      0, 1, grid->columnCount());
    }
    return box;
}

namespace {

QMessageBox::StandardButton ask(QWidget *parent, const QString &title, const QString &text,
                                QMessageBox::StandardButtons buttons)
{
    return QMessageBox::StandardButton(messageBox(parent, title, text, buttons)->exec());
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
