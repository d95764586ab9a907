// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <csignal>

namespace ravno {

void prepareProcess()
{
    // Over a file-size limit (ulimit -f) a write must fail with EFBIG and
    // take the path of every other write failure: a message, the file cut
    // back, the lock released. The default action would kill the program.
    std::signal(SIGXFSZ, SIG_IGN);
}

void installTranslations(QApplication &app)
{
    // The interface is Russian whatever the desktop's language, so the
    // standard context menus of the text boxes ("Вставить", "Выделить всё")
    // are too. Without Qt's translations installed they stay in English.
    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ru"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
}

std::unique_ptr<AppContext> makeContext(Messages &messages, const QDir &workingFolder)
{
    // QLocale() is the user's locale (ru_RU gives "1,000" on the answer
    // line and in the log).
    return std::make_unique<AppContext>(DataFolder(workingFolder), messages, QLocale());
}

} // namespace ravno
