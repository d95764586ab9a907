// SPDX-License-Identifier: GPL-3.0-or-later
// The display platform the program asks Qt for at start.
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
    QTest::addColumn<QString>("environment"); // NAME=value, blank-separated
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QByteArray>("platform"); // empty: Qt's own choice
    const QString both = QStringLiteral("WAYLAND_DISPLAY=wayland-0 DISPLAY=:0");
    QTest::newRow("X11 session") << "DISPLAY=:0 XDG_SESSION_TYPE=x11" << "" << QByteArray();
    QTest::newRow("Wayland without X") << "WAYLAND_DISPLAY=wayland-0" << "" << QByteArray();
    QTest::newRow("Wayland with X") << both << "" << QByteArray("xcb");
    QTest::newRow("session type") << "XDG_SESSION_TYPE=wayland DISPLAY=:1" << "" << QByteArray("xcb");
    QTest::newRow("empty DISPLAY") << "WAYLAND_DISPLAY=wayland-0 DISPLAY=" << "" << QByteArray();
    QTest::newRow("QT_QPA_PLATFORM") << both + " QT_QPA_PLATFORM=wayland" << "" << QByteArray();
    QTest::newRow("empty QT_QPA_PLATFORM") << both + " QT_QPA_PLATFORM=" << "" << QByteArray("xcb");
    QTest::newRow("-platform") << both << "-platform wayland" << QByteArray();
    QTest::newRow("--platform") << both << "--platform wayland" << QByteArray();
    QTest::newRow("other arguments") << both << "-style fusion" << QByteArray("xcb");
}

// The choice, and the command line Qt gets: the program's own arguments,
// then -platform where one is chosen.
void TestStartup::platform()
{
    QFETCH(QString, environment);
    QFETCH(QString, arguments);
    QFETCH(QByteArray, platform);
    QProcessEnvironment env;
    for (const QString &pair : environment.split(u' '))
        env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    const QStringList given = arguments.split(u' ', Qt::SkipEmptyParts);
    QCOMPARE(chooseDisplayPlatform(env, given), platform);

    QList<QByteArray> bytes{"ravno"};
    for (const QString &argument : given)
        bytes << argument.toLocal8Bit();
    std::vector<char *> argv;
    for (QByteArray &argument : bytes)
        argv.push_back(argument.data());
    StartArguments start(int(argv.size()), argv.data(), env);
    QStringList seen;
    for (int i = 0; i < start.count(); ++i)
        seen << QString::fromLocal8Bit(start.values()[i]);
    QCOMPARE(seen, QStringList{"ravno"} + given
                       + (platform.isEmpty() ? QStringList() : QStringList{"-platform", platform}));
    QCOMPARE(start.values()[start.count()], nullptr);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
