// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/filelock.h"
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

mode_t modeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

} // namespace

Q_DECLARE_METATYPE(ravno::FileError)

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
    void readOnlyFolder_data() { addOperations([](const Operation &op) { return op.writes; }); }
    void readOnlyFolder();
    void lockBusy_data();
    void lockBusy();
    void staleLock_data();
    void staleLock();
    void tooLargeToShow_data();
    void tooLargeToShow();
    void longName_data();
    void longName();
    void missingFileToRead_data();
    void missingFileToRead();
    void textOutsideCodePage_data();
    void textOutsideCodePage();
    void sentences_data();
    void sentences();
    void quotedParts_data();
    void quotedParts();
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
    QCOMPARE(error->quoted, QStringList{"files"});
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
        if (kind == "hard")
            QCOMPARE(work.read(outside), kStored);
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
    const std::optional<FileError> error = op.run(*work.context);
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY2(!error, error ? qPrintable(failureText(*error)) : "");
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
    const std::optional<FileError> error = op.run(*work.context);
    QVERIFY(error.has_value());
    QCOMPARE(error->kind, Failure::LockBusy);
    QCOMPARE(work.read(op.file), kStored);
}

void TestStorageFailures::staleLock_data()
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
void TestStorageFailures::staleLock()
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
    const QByteArray big = QByteArray("1,000  \r\n").repeated(kMostShownBytes / 9 + 1);
    QVERIFY(work.write(op.file, big));
    const std::optional<FileError> error = op.run(*work.context);
    QVERIFY(error.has_value());
    QCOMPARE(error->kind, Failure::TooLargeToShow);
    QCOMPARE(work.read(op.file), big);
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
    QCOMPARE(status.error().quoted.last(), "😀");
    QCOMPARE(work.read(file), kStored);
}

void TestStorageFailures::sentences_data()
{
    QTest::addColumn<FileError>("error");
    QTest::addColumn<int>("quotes"); // how many of the quoted words the sentence shows
    const auto row = [](const char *name, Failure kind, int quotes = 0,
                        Access access = Access::Write, Leftover leftover = Leftover::None) {
        FileError error(kind, "files/x", access, {"q1", "q2", "q3"}, "system reason");
        error.leftover = leftover;
        QTest::newRow(name) << error << quotes;
    };
    row("no folder", Failure::NoFolder, 1, Access::Read);
    row("is a folder", Failure::IsFolder);
    row("read-only", Failure::ReadOnly);
    row("missing", Failure::Missing, 0, Access::Read);
    row("no access", Failure::NoAccess, 0, Access::Read);
    row("not regular", Failure::NotRegular, 0, Access::Read);
    row("link outside", Failure::LinkOutside, 1);
    row("name too long", Failure::NameTooLong, 2);
    row("not encodable", Failure::NotEncodable, 1);
    row("not opened", Failure::NotOpened);
    row("read failed", Failure::ReadFailed, 0, Access::Read);
    row("write failed", Failure::WriteFailed);
    row("no space", Failure::NoSpace);
    row("too large", Failure::TooLarge);
    row("quota", Failure::QuotaExceeded);
    row("device", Failure::DeviceFailed);
    row("log rewritten", Failure::LogRewritten);
    row("catalogue rewritten", Failure::CatalogueRewritten);
    row("lock busy", Failure::LockBusy);
    row("order out of range", Failure::OrderOutOfRange, 1);
    row("name empty", Failure::NameEmpty);
    row("name with separator", Failure::NameWithSeparator, 1);
    row("name of a folder", Failure::NameOfFolder, 1);
    row("name of an own file", Failure::NameOfOwnFile, 1);
    row("name with control", Failure::NameWithControl);
    row("name outside code page", Failure::NameOutsideCodePage, 2);
    row("name unseen in list", Failure::NameUnseenInList, 1);
    row("name empty in list", Failure::NameEmptyInList, 1);
    row("name changed in list", Failure::NameChangedInList, 3);
    row("help page missing", Failure::HelpPageMissing);
    row("launcher not started", Failure::HelpNotStarted);
    row("browser failed", Failure::BrowserFailed, 1);
    row("part line left", Failure::NoSpace, 0, Access::Write, Leftover::PartLine);
    row("old content left", Failure::NoSpace, 0, Access::Write, Leftover::OldContent);
}

// Every kind has words of its own (none falls back on the plain write
// failure's), and they name the file, what the kind quotes, the system's
// reason, whether the file was read or written, and what could not be undone.
void TestStorageFailures::sentences()
{
    QFETCH(FileError, error);
    QFETCH(int, quotes);
    const QString text = failureText(error);
    const auto textWith = [&](auto change) {
        FileError other = error;
        change(other);
        return failureText(other);
    };
    const bool aboutName = error.kind >= Failure::NameEmpty && error.kind <= Failure::NameChangedInList;
    if (!aboutName && error.kind != Failure::BrowserFailed)
        QVERIFY2(text.contains(error.path), qPrintable(text));
    for (int i = 0; i < quotes; ++i)
        QVERIFY2(text.contains(error.quoted[i]), qPrintable(text));
    if (error.kind < Failure::LockBusy) {
        QVERIFY2(text.contains(error.system), qPrintable(text));
        QVERIFY(text != textWith([](FileError &e) {
            e.access = e.access == Access::Read ? Access::Write : Access::Read;
        }));
    }
    if (error.kind != Failure::WriteFailed)
        QVERIFY(text != textWith([](FileError &e) { e.kind = Failure::WriteFailed; }));
    if (error.leftover != Leftover::None)
        QVERIFY(text != textWith([](FileError &e) { e.leftover = Leftover::None; }));
}

// Quoted parts are shown as they are, never substituted again, with control
// characters made visible and long names cut.
void TestStorageFailures::quotedParts_data()
{
    QTest::addColumn<FileError>("error");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("name that is a placeholder")
        << FileError(Failure::OrderOutOfRange, "files/%1", Access::Read, {"%2"})
        << "Массив из файла files/%1 не загружен: первая строка должна задавать порядок числом "
           "от 2 до 10, а в ней «%2».";
    QTest::newRow("control characters and a long name")
        << FileError(Failure::OrderOutOfRange, "files/" + QString(70, u'я'), Access::Read,
                     {"a\tb\x1b"})
        << "Массив из файла files/" + QString(54, u'я') + "… не загружен: первая строка должна "
           "задавать порядок числом от 2 до 10, а в ней «a\\tb\\x1b».";
    // Sizes that differ read differently; counts are grouped as the
    // documents write them.
    QTest::newRow("shown size a byte over the bound")
        << FileError(Failure::TooLargeToShow, "files/lastans", Access::Read, {"2097152", "2097153"})
        << "Файл files/lastans слишком велик, чтобы показать его здесь: 2\u00a0097\u00a0153 Б, а можно "
           "не больше 2\u00a0097\u00a0152 Б. Файл не изменён.";
    QTest::newRow("shown size well over the bound")
        << FileError(Failure::TooLargeToShow, "files/lastans", Access::Read, {"2097152", "3145728"})
        << "Файл files/lastans слишком велик, чтобы показать его здесь: 3,0 МБ, а можно не больше "
           "2,0 МБ. Файл не изменён.";
    QTest::newRow("values over the bound in a small file")
        << FileError(Failure::TooManyValues, "files/big", Access::Read, {"10000", "51200"})
        << "Массив из файла files/big не загружен: в нём больше 10\u00a0000 чисел (файл 50,0 КБ). "
           "Редактор не изменён.";
    QTest::newRow("values over the bound in a tiny file")
        << FileError(Failure::TooManyValues, "files/big", Access::Read, {"10000", "900"})
        << "Массив из файла files/big не загружен: в нём больше 10\u00a0000 чисел (файл 900 Б). "
           "Редактор не изменён.";
}

void TestStorageFailures::quotedParts()
{
    QFETCH(FileError, error);
    QFETCH(QString, sentence);
    QCOMPARE(failureText(error), sentence);
}

QTEST_GUILESS_MAIN(TestStorageFailures)
#include "tst_storagefailures.moc"
