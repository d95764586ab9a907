// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"
#include "ui/common/messages.h"
#include "ui/main/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    ravno::prepareProcess();
    ravno::StartArguments arguments(argc, argv);
    QApplication app(arguments.count(), arguments.values());
    QApplication::setApplicationName(QStringLiteral("Ravno"));
    ravno::installTranslations(app);

    // Everything the program keeps lives in files/ below the folder it was
    // started in.
    ravno::BoxMessages messages;
    auto context = ravno::makeContext(messages);

    Form1 main(*context);
    main.show();
    return app.exec();
}
