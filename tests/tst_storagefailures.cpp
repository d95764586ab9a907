// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/answerlog.h"
#include "storage/arrayfile.h"
#include "storage/catalogue.h"

#include "storage/filelock.h"
#include "storagefixture.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTextStream>
#include <QTest>

#include <functional>
#include <optional>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace ravno;

namespace {

template<typename T>
std::optional<FileError> failure(const Result<T> &result)
{
    if (result.ok())
        return std::nullopt;
    return result.error();
}

template<typename T>
Status status(const Result<T> &result)
{
    return result ? success() : Status(result.error());
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

// A stored file that fills one 4 KiB page exactly: on a full tmpfs not even
// an append to it finds room.
QByteArray storedBytes()
{
    QByteArray bytes(" 9 \r\n");
    for (int i = 0; i < 817; ++i)
        bytes += " 1 \r\n";
    return bytes + " 12 \r\n";
}
const QByteArray kStored = storedBytes();

mode_t modeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// What a child process (below) reports of one operation.
struct ChildReport
{
    QString skipped; // why the child could not set up its file system
    std::optional<QString> error;
    QByteArray bytes; // of the operation's file afterwards
    bool paging = false;
};

ChildReport runChild(const QStringList &arguments)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), QStringList{"--child"} + arguments);
    ChildReport report;
    if (!child.waitForFinished(60000) || child.exitCode() != 0) {
        report.skipped = "child failed: " + QString::fromUtf8(child.readAllStandardError());
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
    }
    return report;
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
    void fullDisk_data();
    void fullDisk();
    void lockBusy_data();
    void lockBusy();
    void longName_data();
    void longName();
    void twoCopies();
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

// Where permissions hold, a write is refused and the file stays as it was;
// where they do not (root), the write goes through and the file keeps its
// bits. CI runs these rows as an unprivileged user too.
void TestStorageFailures::readOnlyFile()
{
    QFETCH(int, index);
    const Operation &op = operations()[std::size_t(index)];
    StorageFixture work;
    work.put(op.file, kStored);
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
        QCOMPARE(work.bytes(op.file), kStored);
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
    StorageFixture work;
    work.put(op.file, kStored);
    const QString folder = work.path(QString());
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther
                                              | QFile::ExeOther));
    OpenFiles files;
    const std::optional<FileError> error = op.run(work.folder(), files);
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY2(!error, error ? qPrintable(error->message) : "");
    QCOMPARE(left, QStringList{op.file});
    QVERIFY(work.bytes(op.file) != kStored);
}

void TestStorageFailures::fullDisk_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("mode");
    for (const char *mode : {"fsize", "tmpfs"})
        for (std::size_t i = 0; i < operations().size(); ++i)
            if (operations()[i].writes)
                QTest::addRow("%s: %s", mode, operations()[i].name) << int(i) << QString(mode);
}

// Each write in a child process: under a file-size limit (no privileges
// needed), and on a full 64 KiB tmpfs where one can be mounted. The command
// says it failed, and the file keeps every byte; an append that got part of
// its line out is cut back.
void TestStorageFailures::fullDisk()
{
    QFETCH(int, index);
    QFETCH(QString, mode);
    const Operation &op = operations()[std::size_t(index)];
    StorageFixture work;
    const ChildReport report = runChild({mode, QString::number(index), work.workingPath()});
    if (!report.skipped.isEmpty())
        QSKIP(qPrintable("no full file system here: " + report.skipped));
    QVERIFY(report.error.has_value());
    QVERIFY2(report.error->startsWith("Не удалось записать файл files/" + op.file + ":"),
             qPrintable(*report.error));
    QCOMPARE(report.bytes, kStored);
    QVERIFY(!report.paging);
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
    StorageFixture work;
    work.put(op.file, kStored);
    QLockFile other(lockFileName(work.path(op.file)));
    QVERIFY(other.tryLock());
    OpenFiles files;
    const std::optional<FileError> error = op.run(work.folder(), files);
    QVERIFY(error.has_value());
    QVERIFY2(error->message.contains("другая копия программы"), qPrintable(error->message));
    QCOMPARE(work.bytes(op.file), kStored);
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
    StorageFixture work;
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

// Two processes, one appending answers and names, the other appending too
// and saving both views unchanged after every step: no line is lost.
void TestStorageFailures::twoCopies()
{
    StorageFixture work;
    constexpr int kSteps = 120;
    QProcess copies[2];
    const char *tags[2] = {"A", "B"};
    for (int i = 0; i < 2; ++i)
        copies[i].start(QCoreApplication::applicationFilePath(),
                        {"--copy", work.workingPath(), tags[i], QString::number(kSteps)});
    for (QProcess &copy : copies) {
        QVERIFY(copy.waitForFinished(120000));
        QVERIFY2(copy.exitCode() == 0, copy.readAllStandardOutput().constData());
    }
    QStringList answers;
    for (const QString &line : decodeText(work.bytes(kAnswerLogName)).split("\r\n"))
        if (!line.isEmpty())
            answers.append(line);
    QStringList names = readCatalogueNames(work.folder()).value();
    QStringList expectedAnswers;
    QStringList expectedNames;
    for (const char *tag : tags)
        for (int i = 0; i < kSteps; ++i) {
            expectedAnswers.append(QStringLiteral("%1 %2").arg(tag).arg(i));
            expectedNames.append(QStringLiteral("%1-%2").arg(tag).arg(i));
        }
    answers.sort();
    names.sort();
    expectedAnswers.sort();
    expectedNames.sort();
    QCOMPARE(answers, expectedAnswers);
    QCOMPARE(names, expectedNames);
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
    StorageFixture work;
    work.put(file, kStored);
    const Status status = write(work.folder());
    QVERIFY(!status.ok());
    QVERIFY2(status.error().message.contains("«😀»"), qPrintable(status.error().message));
    QCOMPARE(work.bytes(file), kStored);
}

namespace {

// --child fsize|tmpfs <operation> <working folder>: stores the operation's
// file, fills the file system up, runs the operation, reports.
int fullDiskChild(const QStringList &args)
{
    const Operation &op = operations()[std::size_t(args[1].toInt())];
    const QString files = args[2] + QStringLiteral("/files");
    QTextStream out(stdout);
    if (args[0] == u"tmpfs"
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
    if (args[0] == u"tmpfs") {
        QFile filler(files + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return 1;
        const QByteArray page(4096, 'x');
        while (filler.write(page) == page.size()) {
        }
    } else {
        // An append may get part of its line out before the limit.
        const rlim_t limit = op.appendsOnly ? rlim_t(kStored.size() + 1) : 1;
        const struct rlimit fsize = {limit, limit};
        ::signal(SIGXFSZ, SIG_IGN);
        if (::setrlimit(RLIMIT_FSIZE, &fsize) != 0)
            return 1;
    }
    OpenFiles openFiles;
    if (const std::optional<FileError> error = op.run(folder, openFiles))
        out << "ERR " << error->message << "\n";
    out << "PAGING " << (openFiles.isPaging() ? 1 : 0) << "\n";
    QFile after(folder.pathOf(op.file));
    if (after.open(QIODevice::ReadOnly))
        out << "BYTES " << after.readAll().toHex() << "\n";
    return 0;
}

// --copy <working folder> <tag> <steps>: one copy of the program at work.
int copyChild(const QStringList &args)
{
    const DataFolder folder{QDir(args[0])};
    const QString tag = args[1];
    OpenFiles files;
    AnswerLog log(folder, files);
    QTextStream out(stdout);
    for (int i = 0; i < args[2].toInt(); ++i) {
        if (!log.append(QStringLiteral("%1 %2").arg(tag).arg(i))
            || !appendCatalogueName(folder, QStringLiteral("%1-%2").arg(tag).arg(i))) {
            out << "append failed\n";
            return 1;
        }
        if (tag != u"B")
            continue;
        const Result<QString> shown = log.all();
        FileSnapshot listShown;
        const Result<QString> list = readCatalogueForDisplay(folder, &listShown);
        if (!shown || !log.save(shown.value()) || !list
            || !rewriteCatalogue(folder, list.value(), &listShown)) {
            out << "view save failed\n";
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(2);
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0)
        return fullDiskChild(args);
    if (argc > 1 && qstrcmp(argv[1], "--copy") == 0)
        return copyChild(args);
    TestStorageFailures test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_storagefailures.moc"
