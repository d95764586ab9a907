// SPDX-License-Identifier: GPL-3.0-or-later
// Storage on a full file system and with two copies of the program at work,
// each in child processes of this test program (see main below).
#include "app/startup.h"
#include "storage/filelock.h"
#include "storage/pausepoint.h"
#include "storage/textfile.h"
#include "testsupport.h"
#include "storageoperations.h"

#include <QProcess>
#include <QSysInfo>
#include <QTextStream>

#include <cstdio>
#include <utility>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ravno;
using namespace ravno::test;

namespace {

// What a child process (below) reports of one operation.
struct ChildReport
{
    QString skipped; // why the child could not set up its file system
    QString failed;  // the child died or could not set up its files
    std::optional<QString> error;
    QByteArray bytes; // of the operation's file afterwards
    bool paging = false;
    bool lockLeft = false;
    bool read = false; // a read went on past the failed write
};

const QByteArray kShortStored(" 2 \r\n");

ChildReport runChild(const QStringList &arguments)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), QStringList{"--child"} + arguments);
    ChildReport report;
    if (!child.waitForFinished(60000) || child.exitCode() != 0) {
        report.failed = "child failed: " + QString::fromUtf8(child.readAllStandardError());
        return report;
    }
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        const QByteArray value = line.mid(line.indexOf(' ') + 1);
        if (line.startsWith("SKIP "))
            report.skipped = QString::fromUtf8(value);
        else if (line.startsWith("ERR "))
            report.error = QString::fromUtf8(value);
        else if (line.startsWith("BYTES "))
            report.bytes = QByteArray::fromHex(value);
        else if (line.startsWith("PAGING "))
            report.paging = value == "1";
        else if (line.startsWith("LOCK "))
            report.lockLeft = value == "1";
        else if (line.startsWith("READ "))
            report.read = value == "1";
    }
    return report;
}

} // namespace

class TestStorageChildren : public QObject
{
    Q_OBJECT
private slots:
    void fullDisk_data();
    void fullDisk();
    void readOnlyMount_data();
    void readOnlyMount();
    void twoCopies_data();
    void twoCopies();
    void clearedLockTakenOnce_data();
    void clearedLockTakenOnce();
};

void TestStorageChildren::fullDisk_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("mode");
    for (const char *mode : {"fsize", "tmpfs"})
        for (std::size_t i = 0; i < operations().size(); ++i)
            if (operations()[i].writes)
                QTest::addRow("%s: %s", mode, operations()[i].name) << int(i) << QString(mode);
    // A writable file in a read-only folder is never written in place, where
    // a failed write could not be undone: the save is refused, even under a
    // limit the old bytes fit. Runs where permissions hold.
    for (std::size_t i = 0; i < operations().size(); ++i)
        if (operations()[i].name == std::string_view("save array"))
            QTest::newRow("fsize, read-only folder: save array") << int(i) << QStringLiteral("inplace");
}

// Each write in a child process: under a file-size limit (no privileges
// needed), and on a full 64 KiB tmpfs where one can be mounted. The command
// says it failed, and the file keeps every byte; an append that got part of
// its line out is cut back.
void TestStorageChildren::fullDisk()
{
    QFETCH(int, index);
    QFETCH(QString, mode);
    const Operation &op = operations()[std::size_t(index)];
    Sandbox work;
    const ChildReport report = runChild({mode, QString::number(index), work.workingPath()});
    QVERIFY2(report.failed.isEmpty(), qPrintable(report.failed));
    if (!report.skipped.isEmpty())
        QSKIP(qPrintable("no full file system here: " + report.skipped));
    QVERIFY(report.error.has_value());
    QVERIFY2(report.error->startsWith("write files/" + op.file + " "), qPrintable(*report.error));
    // The kind follows the system's reason, taken at the write that failed.
    const bool full = mode == u"tmpfs";
    if (mode != u"inplace")
        QVERIFY2(report.error->endsWith(QStringLiteral(" %1 %2").arg(
                     QString::number(int(full ? Failure::NoSpace : Failure::TooLarge)),
                     QString::number(full ? ENOSPC : EFBIG))),
                 qPrintable(*report.error));
    QCOMPARE(report.bytes, mode == u"inplace" ? kShortStored : kStored);
    // The reading goes on past the failed append: paging has begun.
    QCOMPARE(report.paging, op.name == std::string_view("first answer"));
    QVERIFY(!report.lockLeft);
}

void TestStorageChildren::readOnlyMount_data()
{
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < operations().size(); ++i)
        if (operations()[i].writes)
            QTest::newRow(operations()[i].name) << int(i);
}

// On a file system mounted read-only nothing can be written, for root too:
// each write says so and changes nothing, and a read that appends first
// (or rewrites after) still reads.
void TestStorageChildren::readOnlyMount()
{
    QFETCH(int, index);
    const Operation &op = operations()[std::size_t(index)];
    Sandbox work;
    const ChildReport report = runChild({"romount", QString::number(index), work.workingPath()});
    QVERIFY2(report.failed.isEmpty(), qPrintable(report.failed));
    if (!report.skipped.isEmpty())
        QSKIP(qPrintable("no read-only mount here: " + report.skipped));
    QVERIFY(report.error.has_value());
    QVERIFY2(report.error->startsWith("write files/" + op.file + " "), qPrintable(*report.error));
    QCOMPARE(report.bytes, kStored);
    const std::string_view name = op.name;
    QCOMPARE(report.read, name == "first answer" || name == "last answer" || name == "all answers"
                              || name == "load last array" || name == "list names");
}

void TestStorageChildren::twoCopies_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("writable folder") << false;
    // No lock file and no new file can be made there: the rewrites are
    // refused, and the appends wait on the files' own locks.
    QTest::newRow("read-only folder") << true;
}

// Two copies at once: one rewrites the answer log (shown, then saved) and
// the catalogue (shown, then saved); each time it has read a file and is
// about to write it, it waits until the other copy has appended a line to
// that file or found it locked. Without the locks every such line is lost.
void TestStorageChildren::twoCopies()
{
    QFETCH(bool, readOnly);
    Sandbox work;
    QVERIFY(work.write(kAnswerLogName, encodeText("старый ответ\r\n")));
    QVERIFY(work.write(kCatalogueName, "a\r\n"));
    for (const char *pipe : {"/toAppender", "/toRewriter"})
        QCOMPARE(::mkfifo(QFile::encodeName(work.workingPath() + pipe).constData(), 0600), 0);
    const QString files = work.path(QString());
    if (readOnly) {
        QVERIFY(QFile::setPermissions(files, QFile::ReadOwner | QFile::ExeOwner));
        if (::access(QFile::encodeName(files).constData(), W_OK) == 0)
            QSKIP("permissions are not enforced for this user; the test command runs this row "
                  "again as user 65534");
    }
    QProcess copies[2];
    const char *roles[2] = {"rewriter", "appender"};
    for (int i = 0; i < 2; ++i)
        copies[i].start(QCoreApplication::applicationFilePath(),
                        {"--copy", work.workingPath(), roles[i], readOnly ? "readonly" : ""});
    for (QProcess &copy : copies) {
        QVERIFY(copy.waitForFinished(20000));
        QVERIFY2(copy.exitCode() == 0, copy.readAllStandardOutput().constData());
    }
    QVERIFY(QFile::setPermissions(files, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QCOMPARE(work.read(kAnswerLogName),
             encodeText(readOnly ? "старый ответ\r\nA 1\r\nA 2\r\n"
                                 : "старый ответ\r\n\r\nA 1\r\nA 2\r\n"));
    QCOMPARE(readCatalogueNames(work.folder()).value(), (QStringList{"a", "A-3"}));
}

void TestStorageChildren::clearedLockTakenOnce_data()
{
    QTest::addColumn<QByteArray>("lock");
    // Every kind of stale lock is cleared the same way (staleLock has them
    // all); one that says nothing, and one that names a process here.
    QTest::newRow("garbage") << QByteArray("\x01\xff not a lock");
    QTest::newRow("process gone")
        << "2147483646\nravno\n" + QSysInfo::machineHostName().toUtf8() + "\n";
}

// Copy B opens a stale lock and is stopped before it locks it; copy A
// clears it and takes the lock. B, going on, must find A's lock and not
// clear it: never are both inside.
void TestStorageChildren::clearedLockTakenOnce()
{
    QFETCH(QByteArray, lock);
    Sandbox work;
    const QString lockPath = lockFileName(work.path(kAnswerLogName));
    QVERIFY(work.write(lockFileName(kAnswerLogName), lock));
    QProcess copies[2];
    const auto said = [](QProcess &copy) {
        while (!copy.canReadLine() && copy.waitForReadyRead(10000)) {
        }
        return copy.readLine().trimmed();
    };
    for (const char *role : {"stalled", "clearer"}) {
        QProcess &copy = copies[role[0] == 'c'];
        copy.start(QCoreApplication::applicationFilePath(), {"--lock", work.workingPath(), role});
        QCOMPARE(said(copy), role[0] == 'c' ? "inside" : "opened");
    }
    copies[0].write("go\n");
    QCOMPARE(said(copies[0]), "busy");
    copies[1].write("leave\n");
    for (QProcess &copy : copies)
        QVERIFY(copy.waitForFinished(10000) && copy.exitCode() == 0);
    QVERIFY(!QFile::exists(lockPath));
}

namespace {

// The lock copies' lines to the test, and the test's word to go on.
void say(const char *what)
{
    std::printf("%s\n", what);
    std::fflush(stdout);
}

bool heard()
{
    char line[16];
    return std::fgets(line, sizeof line, stdin) != nullptr;
}

// --lock <working folder> stalled|clearer: says "inside" once it holds the
// answer log's lock and leaves when told, or says "busy". The stalled copy
// first says "opened" once it has opened a lock to clear, and goes on when
// told.
int lockChild(const QStringList &args)
{
    static bool stalled = args[1] == u"clearer";
    pauseHook = [](PausePoint point, const QString &) {
        if (point == PausePoint::LockOpened && !std::exchange(stalled, true)) {
            say("opened");
            heard();
        }
    };
    const QString log = DataFolder(QDir(args[0])).pathOf(kAnswerLogName);
    const Status held = underLock(log, kAnswerLogName, 0, [] {
        say("inside");
        return heard() ? success() : Status(FileError());
    });
    if (!held && held.error().kind == Failure::LockBusy)
        say("busy");
    return 0;
}

// --child fsize|tmpfs|inplace <operation> <working folder>: stores the
// operation's file, fills the file system up, runs the operation, reports.
int fullDiskChild(const QStringList &args)
{
    const Operation &op = operations()[std::size_t(args[1].toInt())];
    const QString files = args[2] + QStringLiteral("/files");
    QTextStream out(stdout);
    const bool mounted = args[0] == u"tmpfs" || args[0] == u"romount";
    if (mounted
        && (::unshare(CLONE_NEWNS) != 0
            || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || ::mount("tmpfs", QFile::encodeName(files).constData(), "tmpfs", 0, "size=64k")
                   != 0)) {
        out << "SKIP mounting a tmpfs needs CAP_SYS_ADMIN (" << qt_error_string(errno) << ")\n";
        return 0;
    }
    const DataFolder folder{QDir(args[2])};
    QFile stored(folder.pathOf(op.file));
    if (!stored.open(QIODevice::WriteOnly) || stored.write(kStored) != kStored.size())
        return 1;
    stored.close();
    if (args[0] == u"inplace") {
        // Shorter than what the operation writes, so that the write fails
        // under a limit the old bytes fit.
        if (!stored.open(QIODevice::WriteOnly) || stored.write(kShortStored) != kShortStored.size()
            || !QFile::setPermissions(files, QFile::ReadOwner | QFile::ExeOwner))
            return 1;
        stored.close();
        if (::access(QFile::encodeName(files).constData(), W_OK) == 0) {
            out << "SKIP permissions are not enforced for this user\n";
            return 0;
        }
    }
    if (args[0] == u"romount") {
        if (::mount("none", QFile::encodeName(files).constData(), nullptr,
                    MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
            out << "SKIP remounting read-only failed (" << qt_error_string(errno) << ")\n";
            return 0;
        }
    } else if (args[0] == u"tmpfs") {
        QFile filler(files + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return 1;
        const QByteArray page(4096, 'x');
        while (filler.write(page) == page.size()) {
        }
    } else {
        // An append may get part of its line out before the limit.
        const rlim_t limit = args[0] == u"inplace" ? rlim_t(kShortStored.size())
                             : op.appendsOnly         ? rlim_t(kStored.size() + 1)
                                                      : 1;
        const struct rlimit fsize = {limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &fsize) != 0)
            return 1;
    }
    RecordingMessages messages;
    AppContext context(folder, messages);
    const Outcome outcome = op.run(context);
    out << "READ " << (outcome.read.value_or(false) ? 1 : 0) << "\n";
    if (const std::optional<FileError> error = outcome.error)
        out << "ERR " << (error->access == Access::Write ? "write " : "read ") << error->path
            << " " << int(error->kind) << " " << error->errorNumber << "\n";
    out << "PAGING " << (context.files.isPaging() ? 1 : 0) << "\n";
    out << "LOCK " << (QFile::exists(lockFileName(folder.pathOf(op.file))) ? 1 : 0) << "\n";
    QFile::setPermissions(files, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile after(folder.pathOf(op.file));
    if (after.open(QIODevice::ReadOnly))
        out << "BYTES " << after.readAll().toHex() << "\n";
    return 0;
}

// The two copies of twoCopies talk through two named pipes in the working
// folder: the rewriter names the file it is about to replace, the appender
// answers "busy" when it finds that file locked and "done" once it appended.
FILE *toAppender = nullptr;
FILE *toRewriter = nullptr;

QByteArray receive(FILE *pipe)
{
    char line[64] = {};
    return std::fgets(line, sizeof line, pipe) ? QByteArray(line).trimmed() : QByteArray("eof");
}

void send(FILE *pipe, const QByteArray &line)
{
    std::fputs((line + '\n').constData(), pipe);
    std::fflush(pipe);
}

// --copy <working folder> rewriter|appender
int copyChild(const QStringList &args)
{
    const DataFolder folder{QDir(args[0])};
    const QByteArray pipes = QFile::encodeName(args[0]);
    QTextStream out(stdout);
    OpenFiles files;
    if (args[1] == u"appender") {
        toAppender = std::fopen(pipes + "/toAppender", "r");
        toRewriter = std::fopen(pipes + "/toRewriter", "w");
        pauseHook = [](PausePoint point, const QString &) {
            if (point == PausePoint::LockBusy)
                send(toRewriter, "busy");
        };
        AnswerLog log(folder, files);
        for (int i = 1;; ++i) {
            const QByteArray file = receive(toAppender);
            if (file == "end")
                return 0;
            const Status appended = file == kAnswerLogName.toUtf8()
                                        ? log.append(QStringLiteral("A %1").arg(i))
                                        : appendCatalogueName(folder, QStringLiteral("A-%1").arg(i));
            send(toRewriter, "done");
            if (!appended) {
                out << "append to " << file << " failed: " << int(appended.error().kind) << "\n";
                return 1;
            }
        }
    }
    toAppender = std::fopen(pipes + "/toAppender", "w");
    toRewriter = std::fopen(pipes + "/toRewriter", "r");
    static bool appending = false; // the appender waits for a lock this copy holds
    pauseHook = [](PausePoint point, const QString &path) {
        if (point != PausePoint::BeforeReplace)
            return;
        send(toAppender, QFileInfo(path).fileName().toUtf8());
        appending = receive(toRewriter) == "busy";
    };
    // Before the next change the appender has finished the last one.
    const auto settled = [] {
        if (std::exchange(appending, false))
            return receive(toRewriter) == "done";
        return true;
    };
    // In a read-only folder every rewrite is refused, after the appender
    // found the file locked: then it says so. Elsewhere every one succeeds.
    static const bool readOnly = args.value(2) == u"readonly";
    static bool alwaysBusy = true;
    const auto refusedThere = [](const std::optional<FileError> &error) {
        alwaysBusy = alwaysBusy && appending;
        return readOnly ? error && error->kind == Failure::FolderReadOnly : !error;
    };
    AnswerLog log(folder, files);
    Catalogue catalogue(folder, files);
    const Result<LogText> shown = log.all();
    const bool logSaved = shown && refusedThere(shown.value().notice) && settled()
                          && refusedThere(failure(log.save(shown.value().entries))) && settled();
    const Result<QString> list = catalogue.show();
    const bool listSaved =
        list && refusedThere(failure(catalogue.rewrite(list.value()))) && settled();
    if (readOnly && !alwaysBusy) {
        out << "the appender did not wait for the rewrite\n";
        return 1;
    }
    send(toAppender, "end");
    if (!logSaved || !listSaved) {
        out << "view save failed\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // The children start as the program does; a file-size limit then meets
    // the program's own signal settings.
    ravno::prepareProcess();
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(2);
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0)
        return fullDiskChild(args);
    if (argc > 1 && qstrcmp(argv[1], "--copy") == 0)
        return copyChild(args);
    if (argc > 1 && qstrcmp(argv[1], "--lock") == 0)
        return lockChild(args);
    TestStorageChildren test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_storagechildren.moc"
