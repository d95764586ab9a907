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

QByteArray chooseDisplayPlatform(const QProcessEnvironment &environment, const QStringList &arguments)
{
    const auto isSet = [&](const char *name) { return !environment.value(QLatin1String(name)).isEmpty(); };
    if (isSet("QT_QPA_PLATFORM"))
        return {};
    // Qt reads -platform and --platform alike.
    for (const QString &argument : arguments)
        if (argument == u"-platform" || argument == u"--platform")
            return {};
    const bool wayland = isSet("WAYLAND_DISPLAY")
                         || environment.value(QStringLiteral("XDG_SESSION_TYPE")) == u"wayland";
    if (wayland && isSet("DISPLAY"))
        return QByteArrayLiteral("xcb");
    return {};
}

StartArguments::StartArguments(int argc, char **argv, const QProcessEnvironment &environment)
    : m_count(argc), m_values(argv, argv + argc)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    m_platform = chooseDisplayPlatform(environment, arguments);
    if (!m_platform.isEmpty()) {
        static char flag[] = "-platform";
        m_values.push_back(flag);
        m_values.push_back(m_platform.data());
        m_count += 2;
    }
    m_values.push_back(nullptr);
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
