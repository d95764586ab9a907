#include "ui/common/messages.h"

#include "storage/fileresult.h"

#include <QMessageBox>

namespace ravno {

void Messages::fileError(QWidget *parent, const FileError &error)
{
    inform(parent, QStringLiteral("Ошибка"), error.message);
}

void BoxMessages::inform(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

Messages::Reply BoxMessages::confirm(QWidget *parent, const QString &title, const QString &text)
{
    const auto button = QMessageBox::question(parent, title, text,
                                              QMessageBox::Ok | QMessageBox::Cancel,
                                              QMessageBox::Cancel);
    return button == QMessageBox::Ok ? Reply::Ok : Reply::Cancel;
}

} // namespace ravno
