// SPDX-License-Identifier: GPL-3.0-or-later
// The display platform the program asks for at start.
#include "app/startup.h"

#include <QTest>

using namespace ravno;

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void platform_data();
    void platform();
};

void TestStartup::platform_data()
{
    QTest::addColumn<QStringList>("environment"); // NAME=value
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("platform");
    const QStringList none;
    const QByteArray own; // Qt's own choice
    QTest::newRow("X11 session") << QStringList{"DISPLAY=:0", "XDG_SESSION_TYPE=x11"} << none << own;
    QTest::newRow("Wayland without X") << QStringList{"WAYLAND_DISPLAY=wayland-0"} << none << own;
    QTest::newRow("Wayland with X") << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"} << none
                                    << QByteArray("xcb");
    QTest::newRow("Wayland session type with X")
        << QStringList{"XDG_SESSION_TYPE=wayland", "DISPLAY=:1"} << none << QByteArray("xcb");
    QTest::newRow("empty DISPLAY is no X") << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY="} << none
                                           << own;
    QTest::newRow("platform chosen in the environment")
        << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM=wayland"} << none << own;
    QTest::newRow("empty QT_QPA_PLATFORM chooses nothing")
        << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM="} << none
        << QByteArray("xcb");
    QTest::newRow("platform chosen by -platform")
        << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"} << QStringList{"-platform", "wayland"} << own;
    QTest::newRow("platform chosen by --platform")
        << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"} << QStringList{"--platform", "wayland"} << own;
    QTest::newRow("other arguments") << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}
                                     << QStringList{"-style", "fusion"} << QByteArray("xcb");
}

void TestStartup::platform()
{
    QFETCH(QStringList, environment);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, platform);
    QProcessEnvironment env;
    for (const QString &pair : environment)
        env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    QCOMPARE(chooseDisplayPlatform(env, arguments), platform);

    // What Qt gets: the program's arguments, then -platform where chosen.
    std::vector<QByteArray> given{"ravno"};
    for (const QString &argument : arguments)
        given.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : given)
        argv.push_back(argument.data());
    StartArguments start(int(argv.size()), argv.data(), env);
    QStringList seen;
    for (int i = 0; i < start.count(); ++i)
        seen << QString::fromLocal8Bit(start.values()[i]);
    QStringList wanted = QStringList{"ravno"} + arguments;
    if (!platform.isEmpty())
        wanted << "-platform" << QString::fromLatin1(platform);
    QCOMPARE(seen, wanted);
    QCOMPARE(start.values()[start.count()], nullptr);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
