// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/failuretext.h"
#include "ui/extras/helplauncher.h"
#include "ui/main/form1.h"
#include "testsupport.h"

#include <QAction>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace ravno;

namespace {

const QString kShipped = QStringLiteral(RAVNO_SOURCE_DIR "/files/");

bool writeFile(const QString &path, const QByteArray &bytes, bool executable = false)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    return !executable
           || file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeUser);
}

// A stand-in for a page opener (xdg-open, gio, ...) that writes the page it
// was given, its last argument, to a record file (or fails with status 3 when
// told to).
bool fakeOpener(const QString &binFolder, const QString &record, bool fails = false,
                const QString &name = QStringLiteral("xdg-open"))
{
    const QByteArray body = fails ? QByteArray("exit 3\n")
                                  : "for page; do :; done\nprintf '%s' \"$page\" > '"
                                        + record.toUtf8() + "'\n";
    return writeFile(binFolder + u'/' + name, "#!/bin/sh\n" + body, true);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestHelpLauncher : public QObject
{
    Q_OBJECT
private slots:
    void commandLine_data();
    void commandLine();
    void startFailure_data();
    void startFailure();
    void startsLauncherWithPage();
    void launcherFailure_data();
    void launcherFailure();
    void launcher_data();
    void launcher();
    void helpPage();
};

void TestHelpLauncher::commandLine_data()
{
    QTest::addColumn<QString>("folder"); // below a temporary folder
    QTest::newRow("plain") << "ravno";
    QTest::newRow("blanks") << "Мои документы/Ravno data";
    QTest::newRow("dots in the path") << "a/./b/../c";
}

void TestHelpLauncher::commandLine()
{
    QFETCH(QString, folder);
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString base = QDir::cleanPath(tmp.filePath(folder));

    const HelpCommand command = helpCommand(QDir(tmp.filePath(folder)));
    QCOMPARE(command.program, base + QStringLiteral("/files/iexplore"));
    QCOMPARE(command.arguments, QStringList{base + QStringLiteral("/files/help.htm")});
    QVERIFY(QDir::isAbsolutePath(command.arguments.constFirst()));
    QCOMPARE(command.workingFolder, base);

    // The working folder is the current one unless told otherwise.
    const QString current = QDir::currentPath();
    QVERIFY(QDir::setCurrent(tmp.path()));
    const HelpCommand here = helpCommand();
    QVERIFY(QDir::setCurrent(current));
    QCOMPARE(here.program, QDir(tmp.path()).absoluteFilePath(QStringLiteral("files/iexplore")));
}

void TestHelpLauncher::startFailure_data()
{
    QTest::addColumn<bool>("hasFolder");
    QTest::addColumn<bool>("hasPage");
    QTest::addColumn<bool>("hasLauncher");
    QTest::addColumn<bool>("executable");
    QTest::addColumn<QString>("blamed");

    QTest::newRow("no files folder") << false << false << false << false << "files/help.htm";
    QTest::newRow("no help page") << true << false << true << true << "files/help.htm";
    QTest::newRow("no launcher") << true << true << false << false << "files/iexplore";
    QTest::newRow("launcher not executable") << true << true << true << false << "files/iexplore";
}

void TestHelpLauncher::startFailure()
{
    QFETCH(bool, hasFolder);
    QFETCH(bool, hasPage);
    QFETCH(bool, hasLauncher);
    QFETCH(bool, executable);
    QFETCH(QString, blamed);

    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    QDir work(tmp.path());
    if (hasFolder)
        QVERIFY(work.mkdir(QStringLiteral("files")));
    if (hasPage)
        QVERIFY(writeFile(work.filePath(kHelpPage), "<html></html>"));
    if (hasLauncher)
        QVERIFY(writeFile(work.filePath(kHelpLauncher), "#!/bin/sh\nexit 0\n", executable));

    const HelpStatus status = startHelp(work);
    QVERIFY(!status.ok());
    QCOMPARE(status.error().file, blamed);
    QCOMPARE(status.error().kind,
             blamed == kHelpPage ? HelpFailure::PageMissing : HelpFailure::NotStarted);
}

void TestHelpLauncher::startsLauncherWithPage()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    QDir work(tmp.filePath(QStringLiteral("Рабочая папка с пробелами")));
    QVERIFY(work.mkpath(QStringLiteral("files")));
    QVERIFY(QFile::copy(kShipped + QStringLiteral("iexplore"), work.filePath(kHelpLauncher)));
    QVERIFY(QFile::copy(kShipped + QStringLiteral("help.htm"), work.filePath(kHelpPage)));
    QVERIFY(QDir(tmp.path()).mkdir(QStringLiteral("bin")));
    const QString record = tmp.filePath(QStringLiteral("opened"));
    QVERIFY(fakeOpener(tmp.filePath(QStringLiteral("bin")), record));

    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(tmp.filePath(QStringLiteral("bin"))) + ':' + path);
    const HelpStatus status = startHelp(work);
    qputenv("PATH", path);

    QVERIFY2(status.ok(), qPrintable(status.ok() ? QString() : failureText(status.error())));
    QTRY_COMPARE(QString::fromUtf8(readAll(record)), work.absoluteFilePath(kHelpPage));
}

void TestHelpLauncher::launcherFailure_data()
{
    QTest::addColumn<QByteArray>("script"); // the launcher's body
    QTest::addColumn<int>("watchMs");
    QTest::addColumn<bool>("told");
    QTest::newRow("opens the page") << QByteArray("exit 0") << 5000 << false;
    QTest::newRow("no browser") << QByteArray("exit 127") << 5000 << true;
    QTest::newRow("killed") << QByteArray("kill -9 $$") << 5000 << true;
    // It waits for the test to open the pipe "go", after the watch is over.
    QTest::newRow("still running after the watch") << QByteArray("read x < go; exit 1") << 0
                                                   << false;
}

// "Справка" of the main window: a launcher that ends in failure soon is told
// of in a box; one that runs on, as a browser does, is left alone and never
// waited for.
void TestHelpLauncher::launcherFailure()
{
    QFETCH(QByteArray, script);
    QFETCH(int, watchMs);
    QFETCH(bool, told);
    test::Sandbox box;
    QDir work(box.workingPath()); // the launcher's working folder
    QVERIFY(writeFile(work.filePath(kHelpPage), "<html></html>"));
    QVERIFY(writeFile(work.filePath(kHelpLauncher), "#!/bin/sh\necho $$ > pid\n" + script + "\n",
                      true));
    QCOMPARE(::mkfifo(QFile::encodeName(work.filePath("go")).constData(), 0600), 0);
    box.context->helpWatchMs = watchMs;
    Form1 main(*box.context);
    main.findChild<QAction *>(QStringLiteral("what"))->trigger();

    QByteArray pid;
    QTRY_VERIFY((pid = readAll(work.filePath("pid")).trimmed()).size() > 0);
    if (watchMs == 0) {
        QCoreApplication::processEvents(); // the watch ends
        QFile go(work.filePath("go"));
        QVERIFY(go.open(QIODevice::WriteOnly));
        QVERIFY(go.write("\n") == 1);
    }
    // Once the program has heard the launcher's end, the process is gone.
    QTRY_VERIFY(!QFileInfo::exists("/proc/" + QString::fromLatin1(pid)));
    QCOMPARE(box.messages.boxes.size(), told ? 1 : 0);
    if (told) {
        QCOMPARE(box.messages.boxes[0].title, QStringLiteral("Ошибка"));
        const QString page = QDir::toNativeSeparators(work.absoluteFilePath(kHelpPage));
        QVERIFY2(box.messages.boxes[0].text.contains(page), qPrintable(box.messages.boxes[0].text));
    }
}

void TestHelpLauncher::launcher_data()
{
    QTest::addColumn<QString>("page"); // "-": no argument; "!": an existing page
    // The openers on the PATH, in the launcher's order: "works" or "fails"
    // for xdg-open, gio and x-www-browser; "-" where one is missing.
    QTest::addColumn<QStringList>("openers");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");

    const QStringList xdg{"works", "-", "-"};
    QTest::newRow("opens a page") << "!" << xdg << 0 << "";
    QTest::newRow("no argument") << "-" << xdg << 2 << "не указана страница справки";
    QTest::newRow("empty argument") << "" << xdg << 2 << "не указана страница справки";
    QTest::newRow("missing page") << "/nonexistent/help.htm" << xdg << 1 << "нет файла справки";
    QTest::newRow("no opener at all") << "!" << QStringList{"-", "-", "-"} << 127 << "xdg-open";
    QTest::newRow("xdg-open fails") << "!" << QStringList{"fails", "-", "-"} << 1
                                    << "xdg-open не смог открыть";
    QTest::newRow("gio without xdg-utils") << "!" << QStringList{"-", "works", "-"} << 0 << "";
    QTest::newRow("browser after failed openers")
        << "!" << QStringList{"fails", "fails", "works"} << 0 << "";
    QTest::newRow("every opener fails")
        << "!" << QStringList{"fails", "fails", "fails"} << 1 << "x-www-browser не смог открыть";
}

void TestHelpLauncher::launcher()
{
    QFETCH(QString, page);
    QFETCH(QStringList, openers);
    QFETCH(int, exitCode);
    QFETCH(QString, says);

    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString bin = tmp.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(bin));
    const QString record = tmp.filePath(QStringLiteral("opened"));
    const QStringList names{"xdg-open", "gio", "x-www-browser"};
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (openers.at(i) != u"-")
            QVERIFY(fakeOpener(bin, record, openers.at(i) == u"fails", names.at(i)));
    }
    const QString existing = tmp.filePath(QStringLiteral("справка с пробелом.htm"));
    QVERIFY(writeFile(existing, "<html></html>"));

    QStringList arguments;
    if (page == u"!")
        arguments << existing;
    else if (page != u"-")
        arguments << page;

    QProcess launcher;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), bin); // only the stand-in, or nothing at all
    launcher.setProcessEnvironment(env);
    launcher.start(kShipped + QStringLiteral("iexplore"), arguments);
    QVERIFY(launcher.waitForFinished(10000));
    QCOMPARE(launcher.exitStatus(), QProcess::NormalExit);
    QCOMPARE(launcher.exitCode(), exitCode);
    const QString errors = QString::fromUtf8(launcher.readAllStandardError());
    if (says.isEmpty()) {
        QCOMPARE(QString::fromUtf8(readAll(record)), existing);
    } else {
        QVERIFY2(errors.contains(says), qPrintable(errors));
    }
}

void TestHelpLauncher::helpPage()
{
    // A browser shows the Russian words only with the page's code named.
    const QByteArray bytes = readAll(kShipped + QStringLiteral("help.htm"));
    QVERIFY(bytes.contains("<meta charset=\"utf-8\">"));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    QVERIFY(!utf8.hasError());
    QVERIFY(text.contains(QStringLiteral("Справка")));
}

QTEST_MAIN(TestHelpLauncher)
#include "tst_helplauncher.moc"
