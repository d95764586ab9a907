// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/datafolder.h"
#include "ui/common/context.h"
#include "ui/common/messages.h"
#include "ui/main/form1.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ravno"));

    // The interface is Russian whatever the desktop's language, so the
    // standard context menus of the text boxes ("Вставить", "Выделить всё")
    // are too. Without Qt's translations installed they stay in English.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_ru"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    // Everything the program keeps lives in files/ below the folder it was
    // started in.
    ravno::BoxMessages messages;
    ravno::AppContext context(ravno::DataFolder(QDir::current()), messages);

    Form1 main(context);
    main.show();
    return app.exec();
}
