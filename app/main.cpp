// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/datafolder.h"
#include "ui/common/context.h"
#include "ui/common/messages.h"
#include "ui/main/form1.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ravno"));

    // Everything the program keeps lives in files/ below the folder it was
    // started in.
    ravno::BoxMessages messages;
    ravno::AppContext context(ravno::DataFolder(QDir::current()), messages);

    Form1 main(context);
    main.show();
    return app.exec();
}
