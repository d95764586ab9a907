// SPDX-License-Identifier: GPL-3.0-or-later
// What a hostile or unlucky world does to the files: a link swapped in
// between the check and the write, a line that never ends; and the locks:
// one another copy holds, one nobody holds, something that is no lock at a
// lock file's place, a lock file replaced while held.
#include "storage/filelock.h"
#include "storage/pausepoint.h"
#include "storage/textfile.h"
#include "testsupport.h"
#include "storageoperations.h"

#include <QFile>
#include <QLockFile>
#include <QSysInfo>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace ravno;
using namespace ravno::test;

namespace {

QString victim;  // the file outside files/ a swapped link leads to
bool swapped = false;

// At the last point before the write, the file is replaced by a link to
// the victim, once.
void swapInLink(PausePoint point, const QString &path)
{
    if ((point != PausePoint::BeforeReplace && point != PausePoint::BeforeAppend) || swapped)
        return;
    swapped = true;
    QFile::remove(path);
    QFile::link(victim, path);
}

} // namespace

class TestStorageGuards : public QObject
{
    Q_OBJECT
private slots:
    void linkSwappedIn_data() { addOperations([](const Operation &op) { return op.writes; }); }
    void linkSwappedIn();
    void lineTooLong_data();
    void lineTooLong();
    void lockBusy_data();
    void lockBusy();
    void staleLock_data();
    void staleLock();
    void lockBlocked_data();
    void lockBlocked();
    void replacedLockKeptByItsHolder();
};

// The write reaches what is at the name when it is made, relative to the
// folder: the link found there is refused, and the victim keeps its bytes.
void TestStorageGuards::linkSwappedIn()
{
    QFETCH(int, index);
    const Operation &op = operations()[std::size_t(index)];
    Sandbox work;
    victim = work.workingPath() + QStringLiteral("/victim");
    QVERIFY(work.write(op.file, kStored));
    QVERIFY(work.write(QStringLiteral("../victim"), kStored));
    swapped = false;
    pauseHook = swapInLink;
    const std::optional<FileError> error = op.run(*work.context);
    pauseHook = nullptr;
    QVERIFY(swapped);
    QVERIFY(error.has_value());
    QCOMPARE(error->kind, Failure::LinkOutside);
    QCOMPARE(work.read(QStringLiteral("../victim")), kStored);
    QVERIFY(QFileInfo(work.path(op.file)).isSymLink());
}

void TestStorageGuards::lineTooLong_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("refused");
    const QByteArray longest(kMostLineBytes, '7');
    for (std::size_t i = 0; i < operations().size(); ++i) {
        const Operation &op = operations()[i];
        const std::string_view name = op.name;
        const bool reads = !op.writes || (op.appendsOnly && name != "solve" && name != "append name")
                           || name == "all answers";
        if (!reads)
            continue;
        QTest::addRow("%s: longest line", op.name) << int(i) << longest + "\r\n" << false;
        QTest::addRow("%s: one byte more", op.name) << int(i) << longest + "7\r\n" << true;
        QTest::addRow("%s: 4 MiB, no line end", op.name)
            << int(i) << QByteArray(4 << 20, '7') << true;
    }
}

// No reader takes a line longer than any the program writes: the command
// says the file has one, and the file keeps its bytes (an empty line
// appended before a read aside).
void TestStorageGuards::lineTooLong()
{
    QFETCH(int, index);
    QFETCH(QByteArray, file);
    QFETCH(bool, refused);
    const Operation &op = operations()[std::size_t(index)];
    Sandbox work;
    QVERIFY(work.write(op.file, file));
    const std::optional<FileError> error = op.run(*work.context);
    QCOMPARE(error && error->kind == Failure::LineTooLong, refused);
    if (refused) {
        QCOMPARE(error->path, "files/" + op.file);
        QCOMPARE(error->access, Access::Read);
        QCOMPARE(work.read(op.file).left(file.size()), file);
        QVERIFY(work.read(op.file).size() <= file.size() + 2);
    }
}

void TestStorageGuards::lockBusy_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("lock"); // empty: held by a live QLockFile
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    for (std::size_t i = 0; i < operations().size(); ++i) {
        const std::string_view name = operations()[i].name;
        if (name == "solve" || name == "rewrite catalogue")
            QTest::newRow(operations()[i].name) << int(i) << QByteArray();
        // Written by copies that hold no flock on it: a process that runs
        // (of another user, in the unprivileged run) keeps it, fresh.
        if (name == "solve") {
            QTest::newRow("process 1, fresh") << int(i) << "1\nravno\n" + host + "\n";
            QTest::newRow("this process, no boot line")
                << int(i)
                << QByteArray::number(QCoreApplication::applicationPid()) + "\nravno\n" + host;
        }
    }
}

// Another copy keeps the lock: after a few seconds the command gives up,
// says so, and changes nothing.
void TestStorageGuards::lockBusy()
{
    QFETCH(int, index);
    QFETCH(QByteArray, lock);
    const Operation &op = operations()[std::size_t(index)];
    Sandbox work;
    QVERIFY(work.write(op.file, kStored));
    QLockFile other(lockFileName(work.path(op.file)));
    if (lock.isEmpty())
        QVERIFY(other.tryLock());
    else
        QVERIFY(work.write(lockFileName(op.file), lock));
    const std::optional<FileError> error = op.run(*work.context);
    QVERIFY(error.has_value());
    QCOMPARE(error->kind, Failure::LockBusy);
    QCOMPARE(work.read(op.file), kStored);
    QVERIFY(work.exists(lockFileName(op.file)));
}

void TestStorageGuards::staleLock_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QByteArray>("lock");
    QTest::addColumn<int>("ageSeconds");
    // This test program is running here, but holds no lock.
    const QByteArray running = QByteArray::number(QCoreApplication::applicationPid()) + "\n"
                               + QCoreApplication::applicationName().toUtf8() + "\n"
                               + QSysInfo::machineHostName().toUtf8() + "\n";
    QTest::newRow("empty") << "solve" << QByteArray() << 0;
    QTest::newRow("empty catalogue lock") << "list names" << QByteArray() << 0;
    QTest::newRow("garbage") << "solve" << QByteArray("\x01\xff not a lock") << 0;
    QTest::newRow("another computer") << "solve" << QByteArray("1\nravno\nelsewhere\n") << 0;
    QTest::newRow("old") << "rewrite catalogue" << running << 60;
}

// A lock that no running copy holds here is cleared, and the command goes on
// at once.
void TestStorageGuards::staleLock()
{
    QFETCH(QString, operation);
    QFETCH(QByteArray, lock);
    QFETCH(int, ageSeconds);
    const auto op = std::find_if(operations().begin(), operations().end(),
                                 [&](const Operation &o) { return operation == o.name; });
    Sandbox work;
    const QString lockName = lockFileName(op->file);
    QVERIFY(work.write(lockName, lock));
    QFile lockFile(work.path(lockName));
    QVERIFY(lockFile.open(QIODevice::ReadWrite));
    QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                                 QFileDevice::FileModificationTime));
    lockFile.close();
    const std::optional<FileError> error = op->run(*work.context);
    QVERIFY2(!error, error ? qPrintable(failureText(*error)) : "");
    QVERIFY(!work.exists(lockName));
}

void TestStorageGuards::lockBlocked_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder") << "folder";
    QTest::newRow("link to a file") << "link";
    QTest::newRow("dangling link") << "dangling";
    QTest::newRow("fifo") << "fifo";
}

// No copy could ever take a lock where something else lies: the command
// says which file is in the way, at once, and changes nothing.
void TestStorageGuards::lockBlocked()
{
    QFETCH(QString, kind);
    Sandbox work;
    QVERIFY(work.write(kAnswerLogName, kStored));
    const QString lock = work.path(lockFileName(kAnswerLogName));
    if (kind == "folder")
        QVERIFY(QDir().mkdir(lock));
    else if (kind == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(lock).constData(), 0644), 0);
    else
        QVERIFY(QFile::link(kind == "link" ? work.path(kAnswerLogName) : work.path("gone"), lock));
    // The wait is long: a lock that is merely busy would fail the test's time.
    AppContext context(DataFolder(QDir(work.workingPath()), 60000), work.messages);
    const Status appended = context.log.append(QStringLiteral("1,000  "));
    QVERIFY(!appended.ok());
    QCOMPARE(appended.error().kind, Failure::LockBlocked);
    QVERIFY(failureText(appended.error()).contains("files/lastans.lock"));
    QCOMPARE(work.read(kAnswerLogName), kStored);
    QVERIFY(QFileInfo(lock).isSymLink() || QFileInfo(lock).exists());
}

// A lock file removed and taken by a second copy while the first held it:
// the first, leaving, leaves the second's lock in place, so a third waits.
void TestStorageGuards::replacedLockKeptByItsHolder()
{
    Sandbox work;
    const QString log = work.path(kAnswerLogName);
    auto first = std::make_unique<FileLock>(log, 0);
    QVERIFY(!first->acquire(kAnswerLogName));
    QVERIFY(QFile::remove(lockFileName(log)));
    FileLock second(log, 0);
    QVERIFY(!second.acquire(kAnswerLogName));
    first.reset();
    QVERIFY(QFile::exists(lockFileName(log)));
    FileLock third(log, 0);
    const std::optional<FileError> busy = third.acquire(kAnswerLogName);
    QVERIFY(busy.has_value());
    QCOMPARE(busy->kind, Failure::LockBusy);
}

QTEST_GUILESS_MAIN(TestStorageGuards)
#include "tst_storageguards.moc"
