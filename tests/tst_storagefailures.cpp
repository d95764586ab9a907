// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/filelock.h"
#include "testsupport.h"
#include "storageoperations.h"

#include <QFile>
#include <QLockFile>
#include <QTest>

#include <sys/stat.h>

using namespace ravno;
using namespace ravno::test;

namespace {

mode_t modeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

} // namespace

class TestStorageFailures : public QObject
{
    Q_OBJECT
private slots:
    void missingFolder_data() { addOperations([](const Operation &) { return true; }); }
    void missingFolder();
    void folderInPlaceOfFile_data() { addOperations([](const Operation &) { return true; }); }
    void folderInPlaceOfFile();
    void readOnlyFile_data() { addOperations([](const Operation &) { return true; }); }
    void readOnlyFile();
    void readOnlyFolder_data() { addOperations([](const Operation &op) { return op.writes; }); }
    void readOnlyFolder();
    void lockBusy_data();
    void lockBusy();
    void longName_data();
    void longName();
    void missingFileToRead_data();
    void missingFileToRead();
    void textOutsideCodePage_data();
    void textOutsideCodePage();
};

// Nothing is created: neither the folder nor a file somewhere else.
void TestStorageFailures::missingFolder()
{
    QFETCH(int, index);
    const Operation &op = operations()[std::size_t(index)];
    Sandbox work;
    work.removeFolder();
    OpenFiles files;
    const std::optional<FileError> error = op.run(work.folder(), files);
    QVERIFY(error.has_value());
    QCOMPARE(error->path, "files/" + op.file);
    QVERIFY2(error->message.contains("files/" + op.file) && error->message.contains("нет папки files"),
             qPrintable(error->message));
    QVERIFY(QDir(work.workingPath()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    QVERIFY(!files.isPaging());
}

void TestStorageFailures::folderInPlaceOfFile()
{
    QFETCH(int, index);
    const Operation &op = operations()[std::size_t(index)];
    Sandbox work;
    QVERIFY(QDir(work.path(QString())).mkdir(op.file));
    QVERIFY(QDir(work.path(op.file)).mkdir("inside"));
    OpenFiles files;
    const std::optional<FileError> error = op.run(work.folder(), files);
    QVERIFY(error.has_value());
    QVERIFY2(error->message.contains("files/" + op.file), qPrintable(error->message));
    QVERIFY(QFileInfo(work.path(op.file) + "/inside").isDir());
}

// Where permissions hold, a write is refused and the file stays as it was;
// where they do not (root), the write goes through and the file keeps its
// bits. CI runs these rows as an unprivileged user too.
void TestStorageFailures::readOnlyFile()
{
    QFETCH(int, index);
    const Operation &op = operations()[std::size_t(index)];
    Sandbox work;
    QVERIFY(work.write(op.file, kStored));
    QVERIFY(QFile::setPermissions(work.path(op.file), QFile::ReadOwner | QFile::ReadGroup));
    QFile probe(work.path(op.file));
    const bool enforced = !probe.open(QIODevice::WriteOnly | QIODevice::Append);
    probe.close();

    OpenFiles files;
    const std::optional<FileError> error = op.run(work.folder(), files);
    if (enforced) {
        QCOMPARE(error.has_value(), op.writes);
        if (error)
            QVERIFY2(error->message.contains("files/" + op.file), qPrintable(error->message));
        QCOMPARE(work.read(op.file), kStored);
    } else {
        QVERIFY2(!error, error ? qPrintable(error->message) : "");
    }
    QCOMPARE(modeOf(work.path(op.file)), mode_t(0440));
}

// No temporary file and no lock file can be made in a read-only folder; a
// writable file there is still written, in place.
void TestStorageFailures::readOnlyFolder()
{
    QFETCH(int, index);
    const Operation &op = operations()[std::size_t(index)];
    Sandbox work;
    QVERIFY(work.write(op.file, kStored));
    const QString folder = work.path(QString());
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther
                                              | QFile::ExeOther));
    OpenFiles files;
    const std::optional<FileError> error = op.run(work.folder(), files);
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY2(!error, error ? qPrintable(error->message) : "");
    QCOMPARE(left, QStringList{op.file});
    QVERIFY(work.read(op.file) != kStored);
}

void TestStorageFailures::lockBusy_data()
{
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < operations().size(); ++i)
        if (operations()[i].name == std::string_view("solve")
            || operations()[i].name == std::string_view("rewrite catalogue"))
            QTest::newRow(operations()[i].name) << int(i);
}

// Another copy keeps the lock: after a few seconds the command gives up,
// says so, and changes nothing.
void TestStorageFailures::lockBusy()
{
    QFETCH(int, index);
    const Operation &op = operations()[std::size_t(index)];
    Sandbox work;
    QVERIFY(work.write(op.file, kStored));
    QLockFile other(lockFileName(work.path(op.file)));
    QVERIFY(other.tryLock());
    OpenFiles files;
    const std::optional<FileError> error = op.run(work.folder(), files);
    QVERIFY(error.has_value());
    QVERIFY2(error->message.contains("другая копия программы"), qPrintable(error->message));
    QCOMPARE(work.read(op.file), kStored);
}

void TestStorageFailures::longName_data()
{
    QTest::addColumn<int>("bytes");
    QTest::addColumn<bool>("fits");
    // Room is left for the temporary file's suffix beside the file.
    QTest::newRow("longest") << 248 << true;
    QTest::newRow("one byte more") << 249 << false;
    QTest::newRow("file system limit") << 255 << false;
}

// A name saves twice or not at all: the second save needs room for the
// temporary file's longer name.
void TestStorageFailures::longName()
{
    QFETCH(int, bytes);
    QFETCH(bool, fits);
    Sandbox work;
    const QString name(bytes, u'n');
    for (int save = 0; save < 2; ++save) {
        const Status written = writeArrayFile(work.folder(), name, 9, "1 2");
        QCOMPARE(written.ok(), fits);
        if (!fits)
            QVERIFY2(written.error().message.contains("имя слишком длинное"),
                     qPrintable(written.error().message));
    }
    QCOMPARE(work.exists(name), fits);
}

void TestStorageFailures::missingFileToRead_data()
{
    addOperations([](const Operation &op) { return !op.writes; });
}

// Reading a file that is not there fails and does not create it.
void TestStorageFailures::missingFileToRead()
{
    QFETCH(int, index);
    const Operation &op = operations()[std::size_t(index)];
    Sandbox work;
    OpenFiles files;
    const std::optional<FileError> error = op.run(work.folder(), files);
    QVERIFY(error.has_value());
    QCOMPARE(error->message, "Не удалось прочитать файл files/" + op.file + ": такого файла нет.");
    QVERIFY(!work.exists(op.file));
}

void TestStorageFailures::textOutsideCodePage_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<std::function<Status(const DataFolder &)>>("write");
    const QString emoji = QStringLiteral("ответ 😀");
    QTest::newRow("solve") << kAnswerLogName << std::function<Status(const DataFolder &)>(
        [=](const DataFolder &f) { OpenFiles o; return AnswerLog(f, o).append(emoji); });
    QTest::newRow("save answers") << kAnswerLogName << std::function<Status(const DataFolder &)>(
        [=](const DataFolder &f) { OpenFiles o; return status(AnswerLog(f, o).save(emoji)); });
    QTest::newRow("rewrite catalogue") << kCatalogueName << std::function<Status(const DataFolder &)>(
        [=](const DataFolder &f) { return status(rewriteCatalogue(f, emoji)); });
    QTest::newRow("append name") << kCatalogueName << std::function<Status(const DataFolder &)>(
        [=](const DataFolder &f) { return appendCatalogueName(f, emoji); });
}

// A character the code page lacks would come back as another one: the text
// is refused and the file keeps what it held.
void TestStorageFailures::textOutsideCodePage()
{
    QFETCH(QString, file);
    QFETCH(std::function<Status(const DataFolder &)>, write);
    Sandbox work;
    QVERIFY(work.write(file, kStored));
    const Status status = write(work.folder());
    QVERIFY(!status.ok());
    QVERIFY2(status.error().message.contains("«😀»"), qPrintable(status.error().message));
    QCOMPARE(work.read(file), kStored);
}

QTEST_GUILESS_MAIN(TestStorageFailures)
#include "tst_storagefailures.moc"
