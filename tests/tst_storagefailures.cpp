// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/filelock.h"
#include "testsupport.h"
#include "storageoperations.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

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
    void notRegularFile_data();
    void notRegularFile();
    void readOnlyFile_data() { addOperations([](const Operation &) { return true; }); }
    void readOnlyFile();
    void readOnlyFolder_data();
    void readOnlyFolder();
    void tooLargeToShow_data();
    void shownTwiceAtTheBound_data();
    void shownTwiceAtTheBound();
    void tooLargeToShow();
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
    const Outcome outcome = op.run(*work.context);
    const std::optional<FileError> error = outcome.error;
    QVERIFY(error.has_value());
    QCOMPARE(error->path, "files/" + op.file);
    QCOMPARE(error->kind, Failure::NoFolder);
    // A command that reads says it could not read, though it appends first.
    QCOMPARE(error->access, outcome.read || !op.writes ? Access::Read : Access::Write);
    QCOMPARE(error->folder, "files");
    QVERIFY(QDir(work.workingPath()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    QVERIFY(!work.context->files.isPaging());
}

void TestStorageFailures::folderInPlaceOfFile()
{
    QFETCH(int, index);
    const Operation &op = operations()[std::size_t(index)];
    Sandbox work;
    QVERIFY(QDir(work.path(QString())).mkdir(op.file));
    QVERIFY(QDir(work.path(op.file)).mkdir("inside"));
    const std::optional<FileError> error = op.run(*work.context);
    QVERIFY(error.has_value());
    QCOMPARE(error->kind, Failure::IsFolder);
    QCOMPARE(error->path, "files/" + op.file);
    QVERIFY(QFileInfo(work.path(op.file) + "/inside").isDir());
}

void TestStorageFailures::notRegularFile_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("refused");
    for (std::size_t i = 0; i < operations().size(); ++i) {
        const std::string_view name = operations()[i].name;
        QTest::addRow("%s: fifo", name.data()) << int(i) << "fifo" << QString() << true;
        QTest::addRow("%s: link out of files", name.data()) << int(i) << "link" << "../notes.txt"
                                                            << true;
        // One of each way of reaching a file: append, read, whole write.
        if (name == "solve" || name == "load array" || name == "save last array"
            || name == "list names")
            QTest::addRow("%s: link inside", name.data()) << int(i) << "link" << "kept" << false;
        if (name == "load last array" || name == "list names")
            QTest::addRow("%s: link to a device", name.data()) << int(i) << "link" << "/dev/zero"
                                                                << true;
        // A folder beside files/ whose name begins with "files".
        if (name == "solve" || name == "load array" || name == "save last array")
            QTest::addRow("%s: link to files2", name.data()) << int(i) << "link"
                                                             << "../files2/notes.txt" << true;
        // An append to a file with a second name outside gives it a file of
        // its own; the outside name keeps its bytes.
        if (operations()[i].appendsOnly)
            QTest::addRow("%s: hard link", name.data()) << int(i) << "hard" << "../notes.txt"
                                                        << false;
    }
}

// Only regular files inside files/ are read or written: a fifo would hang
// the program, a device never ends, a link could reach any file.
void TestStorageFailures::notRegularFile()
{
    QFETCH(int, index);
    QFETCH(QString, kind);
    QFETCH(QString, target);
    QFETCH(bool, refused);
    const Operation &op = operations()[std::size_t(index)];
    Sandbox work;
    const QString outside = target.startsWith("..") ? target : "../notes.txt";
    QVERIFY(QDir(work.workingPath()).mkdir("files2"));
    QVERIFY(work.write(outside, kStored));
    QVERIFY(work.write("kept", kStored));
    if (kind == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(work.path(op.file)).constData(), 0644), 0);
    else if (kind == "hard")
        QCOMPARE(::link(QFile::encodeName(work.path(target)).constData(),
                        QFile::encodeName(work.path(op.file)).constData()), 0);
    else
        QVERIFY(QFile::link(target, work.path(op.file)));
    const std::optional<FileError> error = op.run(*work.context);
    if (!refused) {
        QVERIFY2(!error, error ? qPrintable(failureText(*error)) : "");
        QCOMPARE(QFileInfo(work.path(op.file)).isSymLink(), kind == "link");
        if (kind == "hard") {
            QCOMPARE(work.read(outside), kStored);
            QVERIFY(work.read(op.file).startsWith(kStored));
            QVERIFY(work.read(op.file).size() > kStored.size());
        }
        return;
    }
    QVERIFY(error.has_value());
    QCOMPARE(error->kind, kind == "fifo" ? Failure::NotRegular : Failure::LinkOutside);
    QCOMPARE(work.read(outside), kStored);
    QVERIFY(!work.exists(op.file + ".lock"));
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

    const Outcome outcome = op.run(*work.context);
    const std::optional<FileError> error = outcome.error;
    // A read goes on past the write it could not make, and tells it after.
    QVERIFY(outcome.read.value_or(true));
    if (enforced) {
        QCOMPARE(error.has_value(), op.writes);
        if (error)
            QCOMPARE(error->kind, Failure::ReadOnly);
        QCOMPARE(work.read(op.file), kStored);
    } else {
        QVERIFY2(!error, error ? qPrintable(failureText(*error)) : "");
    }
    QCOMPARE(modeOf(work.path(op.file)), mode_t(0440));
}

void TestStorageFailures::readOnlyFolder_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("hardLink");
    for (std::size_t i = 0; i < operations().size(); ++i) {
        if (!operations()[i].writes)
            continue;
        QTest::newRow(operations()[i].name) << int(i) << false;
        // The file has a second name outside, as a backup made with ln.
        if (operations()[i].appendsOnly)
            QTest::addRow("%s: hard link", operations()[i].name) << int(i) << true;
    }
}

// No temporary file and no lock file can be made in a read-only folder. A
// writable file there is appended to in place; a whole rewrite is refused
// (written in place, a failure or a kill could not be undone), and so is an
// append to a file with a second name, which would reach both names. A
// read goes on past either. Where permissions do not hold (root), all of
// them go through. The test command runs these rows as user 65534 too.
void TestStorageFailures::readOnlyFolder()
{
    QFETCH(int, index);
    QFETCH(bool, hardLink);
    const Operation &op = operations()[std::size_t(index)];
    Sandbox work;
    QVERIFY(work.write(hardLink ? QStringLiteral("../notes.txt") : op.file, kStored));
    if (hardLink)
        QCOMPARE(::link(QFile::encodeName(work.path("../notes.txt")).constData(),
                        QFile::encodeName(work.path(op.file)).constData()), 0);
    const QString folder = work.path(QString());
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther
                                              | QFile::ExeOther));
    const bool enforced = ::access(QFile::encodeName(folder).constData(), W_OK) != 0;
    const Outcome outcome = op.run(*work.context);
    const std::optional<FileError> error = outcome.error;
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QCOMPARE(left, QStringList{op.file});
    QVERIFY(outcome.read.value_or(true));
    if (hardLink)
        QCOMPARE(work.read("../notes.txt"), kStored);
    const bool refused = enforced && (hardLink || !op.appendsOnly);
    if (!refused) {
        QVERIFY2(!error, error ? qPrintable(failureText(*error)) : "");
        QVERIFY(work.read(op.file).startsWith(op.appendsOnly ? kStored : QByteArray()));
        QVERIFY(work.read(op.file) != kStored);
        return;
    }
    QVERIFY(error.has_value());
    QCOMPARE(error->kind, hardLink ? Failure::SharedInReadOnlyFolder : Failure::FolderReadOnly);
    QCOMPARE(error->folder, "files");
    QCOMPARE(work.read(op.file), kStored);
}

void TestStorageFailures::tooLargeToShow_data()
{
    addOperations([](const Operation &op) {
        return op.name == std::string_view("all answers")
               || op.name == std::string_view("show catalogue");
    });
}

// A view of a file over the bound would freeze the window: it is refused,
// and the file keeps every byte.
void TestStorageFailures::tooLargeToShow()
{
    QFETCH(int, index);
    const Operation &op = operations()[std::size_t(index)];
    Sandbox work;
    const QByteArray big = QByteArray("x\r\n").repeated(kMostShownBytes / 3 + 1);
    QVERIFY(work.write(op.file, big));
    const std::optional<FileError> error = op.run(*work.context);
    QVERIFY(error.has_value());
    QCOMPARE(error->kind, Failure::TooLargeToShow);
    QCOMPARE(error->size, big.size());
    QCOMPARE(work.read(op.file), big);
}

void TestStorageFailures::shownTwiceAtTheBound_data()
{
    tooLargeToShow_data();
}

// A file that shows exactly as much as the bound allows is shown, and shown
// again after the view rewrote it with its one empty line more.
void TestStorageFailures::shownTwiceAtTheBound()
{
    QFETCH(int, index);
    const Operation &op = operations()[std::size_t(index)];
    Sandbox work;
    const QByteArray line("abcdefghijklmn\r\n");
    QVERIFY(work.write(op.file, line.repeated(kMostShownBytes / line.size())));
    for (int view = 0; view < 2; ++view) {
        const std::optional<FileError> error = op.run(*work.context);
        QVERIFY2(!error, error ? qPrintable(failureText(*error)) : "");
    }
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
            QCOMPARE(written.error().kind, Failure::NameTooLong);
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
    const std::optional<FileError> error = op.run(*work.context);
    QVERIFY(error.has_value());
    QCOMPARE(error->kind, Failure::Missing);
    QCOMPARE(error->path, "files/" + op.file);
    QVERIFY(!work.exists(op.file));
}

using Write = std::function<Status(AppContext &)>;

void TestStorageFailures::textOutsideCodePage_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Write>("write");
    const QString emoji = QStringLiteral("ответ 😀");
    QTest::newRow("solve")
        << kAnswerLogName << Write([=](AppContext &c) { return c.log.append(emoji); });
    QTest::newRow("save answers")
        << kAnswerLogName << Write([=](AppContext &c) { return status(c.log.save(emoji)); });
    QTest::newRow("rewrite catalogue")
        << kCatalogueName << Write([=](AppContext &c) { return status(c.catalogue.rewrite(emoji)); });
    QTest::newRow("append name")
        << kCatalogueName << Write([=](AppContext &c) { return c.catalogue.add(emoji); });
}

// A character the code page lacks would come back as another one: the text
// is refused and the file keeps what it held.
void TestStorageFailures::textOutsideCodePage()
{
    QFETCH(QString, file);
    QFETCH(Write, write);
    Sandbox work;
    QVERIFY(work.write(file, kStored));
    const Status status = write(*work.context);
    QVERIFY(!status.ok());
    const FileError &error = status.error();
    QCOMPARE(error.kind == Failure::NameRefused ? error.refusal.characters : error.characters, "😀");
    QCOMPARE(work.read(file), kStored);
}

QTEST_GUILESS_MAIN(TestStorageFailures)
#include "tst_storagefailures.moc"
