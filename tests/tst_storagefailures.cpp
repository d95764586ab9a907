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

Q_DECLARE_METATYPE(ravno::FileError)

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
    void sentences_data();
    void sentences();
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
    QCOMPARE(error->kind, Failure::NoFolder);
    QCOMPARE(error->quoted, QStringList{"files"});
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
    QCOMPARE(error->kind, Failure::IsFolder);
    QCOMPARE(error->path, "files/" + op.file);
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
    OpenFiles files;
    const std::optional<FileError> error = op.run(work.folder(), files);
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
    OpenFiles files;
    const std::optional<FileError> error = op.run(work.folder(), files);
    QVERIFY(error.has_value());
    QCOMPARE(error->kind, Failure::LockBusy);
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
    OpenFiles files;
    const std::optional<FileError> error = op.run(work.folder(), files);
    QVERIFY(error.has_value());
    QCOMPARE(error->kind, Failure::Missing);
    QCOMPARE(error->path, "files/" + op.file);
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
    QCOMPARE(status.error().quoted.last(), "😀");
    QCOMPARE(work.read(file), kStored);
}

void TestStorageFailures::sentences_data()
{
    QTest::addColumn<FileError>("error");
    QTest::addColumn<QString>("sentence");
    const QString log = "files/lastans";
    const auto read = [&](Failure kind, QStringList quoted = {}, QString system = {}) {
        return FileError(kind, log, Access::Read, quoted, system);
    };
    const auto write = [&](Failure kind, QStringList quoted = {}, QString system = {}) {
        return FileError(kind, log, Access::Write, quoted, system);
    };
    const QString reading = "Не удалось прочитать файл files/lastans: ";
    const QString writing = "Не удалось записать файл files/lastans: ";
    QTest::newRow("no folder") << read(Failure::NoFolder, {"files"}) << reading + "нет папки files.";
    QTest::newRow("is a folder") << write(Failure::IsFolder) << writing + "на этом месте лежит папка.";
    QTest::newRow("read-only") << write(Failure::ReadOnly) << writing + "файл защищён от записи.";
    QTest::newRow("missing") << read(Failure::Missing) << reading + "такого файла нет.";
    QTest::newRow("name too long") << write(Failure::NameTooLong, {"249", "248"})
        << writing + "имя слишком длинное для файловой системы: в нём 249 байт, а можно не больше 248.";
    QTest::newRow("not encodable") << write(Failure::NotEncodable, {"😀"})
        << writing + "в тексте есть знаки, которых нет в кодировке windows-1251: «😀».";
    QTest::newRow("not opened") << read(Failure::NotOpened, {}, "Permission denied")
        << reading + "файл не открывается (Permission denied).";
    QTest::newRow("read failed") << read(Failure::ReadFailed) << reading + "ошибка чтения.";
    FileError lost = write(Failure::WriteFailed, {}, "x");
    lost.leftover = Leftover::OldContent;
    QTest::newRow("write failed, old content lost") << lost
        << writing + "ошибка записи (x); прежнее содержимое вернуть не удалось.";
    FileError partLine = write(Failure::NoSpace, {}, "No space left on device");
    partLine.leftover = Leftover::PartLine;
    QTest::newRow("no space, part line left") << partLine << writing
        + "на диске нет места (No space left on device); недописанную строку убрать не удалось.";
    QTest::newRow("too large") << write(Failure::TooLarge) << writing + "файл превысил допустимый размер.";
    QTest::newRow("quota") << write(Failure::QuotaExceeded) << writing + "исчерпана дисковая квота.";
    QTest::newRow("device") << write(Failure::DeviceFailed) << writing + "ошибка ввода-вывода.";
    QTest::newRow("log rewritten") << write(Failure::LogRewritten) << writing
        + "его переписала другая копия программы, пока он был показан здесь. Ничего не изменено; "
          "покажите ответы заново.";
    QTest::newRow("catalogue rewritten")
        << FileError(Failure::CatalogueRewritten, "files/SaveList")
        << "Не удалось записать файл files/SaveList: его переписала другая копия программы или "
           "команда «Создать SaveList», пока список был открыт здесь. Ничего не изменено; "
           "откройте список заново.";
    QTest::newRow("lock busy") << FileError(Failure::LockBusy, log)
        << "Файл files/lastans сейчас меняет другая копия программы (files/lastans.lock). Ничего "
           "не изменено; попробуйте ещё раз.";
    QTest::newRow("order out of range") << FileError(Failure::OrderOutOfRange, "files/a", Access::Read, {"12"})
        << "Массив из файла files/a не загружен: первая строка должна задавать порядок числом от 2 "
           "до 10, а в ней «12».";
    const auto name = [](Failure kind, QStringList quoted) { return FileError(kind, "files/x", Access::Write, quoted); };
    QTest::newRow("name empty") << name(Failure::NameEmpty, {""}) << "Имя массива не задано.";
    QTest::newRow("name with separator") << name(Failure::NameWithSeparator, {"a/b"})
        << "Имя массива «a/b» не годится: в нём не может быть знаков «/» и «\\».";
    QTest::newRow("name of a folder") << name(Failure::NameOfFolder, {".."})
        << "Имя массива «..» не годится: так называются папки.";
    QTest::newRow("name of an own file") << name(Failure::NameOfOwnFile, {"SaveList"})
        << "Имя массива «SaveList» не годится: так называется файл самой программы.";
    QTest::newRow("name with control") << name(Failure::NameWithControl, {"a\tb"})
        << "Имя массива не годится: в нём есть перевод строки или другой управляющий знак.";
    QTest::newRow("name outside code page") << name(Failure::NameOutsideCodePage, {"x中", "中"})
        << "Имя массива «x中» не годится: знаков «中» нет в кодировке windows-1251, и список "
           "SaveList не смог бы его сохранить.";
    const QString advice = " Уберите пробелы в начале и в конце имени, запятые и кавычку в начале, "
                           "или снимите отметку «Добавить в список».";
    QTest::newRow("name unseen in list") << name(Failure::NameUnseenInList, {" "})
        << "Имя « » нельзя добавить в список SaveList: в списках оно не было бы видно." + advice;
    QTest::newRow("name empty in list") << name(Failure::NameEmptyInList, {"\"\"", ""})
        << "Имя «\"\"» нельзя добавить в список SaveList: при правке списка оно стало бы пустой "
           "строкой." + advice;
    QTest::newRow("name changed in list") << name(Failure::NameChangedInList, {"a,b", "a", "b"})
        << "Имя «a,b» нельзя добавить в список SaveList: при правке списка оно вернулось бы как "
           "«a» и «b»." + advice;
    QTest::newRow("help page missing") << FileError(Failure::HelpPageMissing, "files/help.htm")
        << "Не удалось открыть справку: нет файла files/help.htm.";
    QTest::newRow("launcher not started") << FileError(Failure::HelpNotStarted, "files/iexplore")
        << "Не удалось открыть справку: не запускается files/iexplore.";
    QTest::newRow("browser failed")
        << FileError(Failure::BrowserFailed, "files/help.htm", Access::Read, {"/w/files/help.htm"})
        << "Не удалось открыть страницу справки /w/files/help.htm: браузер не запустился.";
}

// The one place where the words of every kind of failure are checked.
void TestStorageFailures::sentences()
{
    QFETCH(FileError, error);
    QFETCH(QString, sentence);
    QCOMPARE(failureText(error), sentence);
}

QTEST_GUILESS_MAIN(TestStorageFailures)
#include "tst_storagefailures.moc"
