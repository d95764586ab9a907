// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/answerlog.h"
#include "storage/arrayfile.h"
#include "storage/catalogue.h"

#include "storagefixture.h"

#include <QFile>
#include <QTest>

#include <functional>
#include <optional>

using namespace ravno;

namespace {

template<typename T>
std::optional<FileError> failure(const Result<T> &result)
{
    if (result.ok())
        return std::nullopt;
    return result.error();
}

struct Operation
{
    const char *name;
    QString file;
    bool writes;      // fails when the file is read-only
    bool appendsOnly; // reaches the file by appending before anything else
    std::function<std::optional<FileError>(const DataFolder &, OpenFiles &)> run;
};

const QString kArray = QStringLiteral("Массив");

const std::vector<Operation> &operations()
{
    static const std::vector<Operation> table = {
        {"solve", kAnswerLogName, true, true,
         [](const DataFolder &f, OpenFiles &o) { return failure(AnswerLog(f, o).append("1,000  ")); }},
        {"first answer", kAnswerLogName, true, true,
         [](const DataFolder &f, OpenFiles &o) { return failure(AnswerLog(f, o).first()); }},
        {"last answer", kAnswerLogName, true, true,
         [](const DataFolder &f, OpenFiles &o) { return failure(AnswerLog(f, o).last()); }},
        {"all answers", kAnswerLogName, true, false,
         [](const DataFolder &f, OpenFiles &o) { return failure(AnswerLog(f, o).all()); }},
        {"save answers", kAnswerLogName, true, false,
         [](const DataFolder &f, OpenFiles &o) { return failure(AnswerLog(f, o).save("x")); }},
        {"save array", kArray, true, false,
         [](const DataFolder &f, OpenFiles &) { return failure(writeArrayFile(f, kArray, 9, "1 2")); }},
        {"load array", kArray, false, false,
         [](const DataFolder &f, OpenFiles &) { return failure(readNamedArray(f, kArray)); }},
        {"save last array", kLastArrayName, true, false,
         [](const DataFolder &f, OpenFiles &) {
             return failure(writeArrayFile(f, kLastArrayName, 9, "1 2"));
         }},
        {"load last array", kLastArrayName, true, true,
         [](const DataFolder &f, OpenFiles &) { return failure(readLastArray(f)); }},
        {"create catalogue", kCatalogueName, true, false,
         [](const DataFolder &f, OpenFiles &) { return failure(createCatalogue(f)); }},
        {"append name", kCatalogueName, true, true,
         [](const DataFolder &f, OpenFiles &) { return failure(appendCatalogueName(f, "a")); }},
        {"append empty line", kCatalogueName, true, true,
         [](const DataFolder &f, OpenFiles &) { return failure(appendCatalogueEmptyLine(f)); }},
        {"rewrite catalogue", kCatalogueName, true, false,
         [](const DataFolder &f, OpenFiles &) { return failure(rewriteCatalogue(f, "a")); }},
        {"read names", kCatalogueName, false, false,
         [](const DataFolder &f, OpenFiles &) { return failure(readCatalogueNames(f)); }},
        {"read for display", kCatalogueName, false, false,
         [](const DataFolder &f, OpenFiles &) { return failure(readCatalogueForDisplay(f)); }},
    };
    return table;
}

void addOperations(const std::function<bool(const Operation &)> &keep)
{
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < operations().size(); ++i)
        if (keep(operations()[i]))
            QTest::newRow(operations()[i].name) << int(i);
}

const QByteArray kStored(" 9 \r\n 1 \r\n");

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
    void fullDisk_data() { addOperations([](const Operation &op) { return op.appendsOnly; }); }
    void fullDisk();
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
    StorageFixture work;
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
    StorageFixture work;
    QVERIFY(QDir(work.path(QString())).mkdir(op.file));
    QVERIFY(QDir(work.path(op.file)).mkdir("inside"));
    OpenFiles files;
    const std::optional<FileError> error = op.run(work.folder(), files);
    QVERIFY(error.has_value());
    QVERIFY2(error->message.contains("files/" + op.file), qPrintable(error->message));
    QVERIFY(QFileInfo(work.path(op.file) + "/inside").isDir());
}

void TestStorageFailures::readOnlyFile()
{
    QFETCH(int, index);
    const Operation &op = operations()[std::size_t(index)];
    StorageFixture work;
    work.put(op.file, kStored);
    QVERIFY(QFile::setPermissions(work.path(op.file), QFile::ReadOwner | QFile::ReadGroup));
    QFile probe(work.path(op.file));
    if (probe.open(QIODevice::WriteOnly | QIODevice::Append))
        QSKIP("permissions are not enforced for this user (root)");

    OpenFiles files;
    const std::optional<FileError> error = op.run(work.folder(), files);
    QCOMPARE(error.has_value(), op.writes);
    if (error)
        QVERIFY2(error->message.contains("files/" + op.file), qPrintable(error->message));
    QCOMPARE(work.bytes(op.file), kStored);
}

// /dev/full takes no byte: an append to it fails as on a full disk.
void TestStorageFailures::fullDisk()
{
    QFETCH(int, index);
    const Operation &op = operations()[std::size_t(index)];
    if (!QFileInfo(QStringLiteral("/dev/full")).exists())
        QSKIP("no /dev/full here");
    StorageFixture work;
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), work.path(op.file)));
    OpenFiles files;
    const std::optional<FileError> error = op.run(work.folder(), files);
    QVERIFY(error.has_value());
    QVERIFY2(error->message.startsWith("Не удалось записать файл files/" + op.file + ":"),
             qPrintable(error->message));
    QVERIFY(!files.isPaging());
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
    StorageFixture work;
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
        [=](const DataFolder &f) { OpenFiles o; return AnswerLog(f, o).save(emoji); });
    QTest::newRow("rewrite catalogue") << kCatalogueName << std::function<Status(const DataFolder &)>(
        [=](const DataFolder &f) { return rewriteCatalogue(f, emoji); });
    QTest::newRow("append name") << kCatalogueName << std::function<Status(const DataFolder &)>(
        [=](const DataFolder &f) { return appendCatalogueName(f, emoji); });
}

// A character the code page lacks would come back as another one: the text
// is refused and the file keeps what it held.
void TestStorageFailures::textOutsideCodePage()
{
    QFETCH(QString, file);
    QFETCH(std::function<Status(const DataFolder &)>, write);
    StorageFixture work;
    work.put(file, kStored);
    const Status status = write(work.folder());
    QVERIFY(!status.ok());
    QVERIFY2(status.error().message.contains("«😀»"), qPrintable(status.error().message));
    QCOMPARE(work.bytes(file), kStored);
}

QTEST_GUILESS_MAIN(TestStorageFailures)
#include "tst_storagefailures.moc"
