// SPDX-License-Identifier: GPL-3.0-or-later
// The words the windows give every failure of a file command.
#include "testsupport.h"

#include <QTest>

using namespace ravno;
using namespace ravno::test;

Q_DECLARE_METATYPE(ravno::FileError)
Q_DECLARE_METATYPE(ravno::HelpFault)

class TestFailureText : public QObject
{
    Q_OBJECT
private slots:
    void sentences_data();
    void sentences();
    void quotedParts_data();
    void quotedParts();
    void helpSentences_data();
    void helpSentences();
};

void TestFailureText::sentences_data()
{
    QTest::addColumn<FileError>("error");
    QTest::addColumn<QStringList>("quoted"); // what the sentence shows besides the file
    const auto row = [](const char *name, Failure kind, const QStringList &quoted = {},
                        Access access = Access::Write, Leftover leftover = Leftover::None,
                        NameReason reason = NameReason::Empty) {
        FileError error(kind, "files/x", access);
        error.system = "system reason";
        error.folder = "q-folder";
        error.characters = "q-characters";
        error.firstItem = "q-item";
        error.size = 1234;
        error.limit = 5678;
        error.refusal = {reason, "q-name", "q-refused", {"q-one", "q-two"}};
        error.leftover = leftover;
        QTest::newRow(name) << error << quoted;
    };
    const auto name = [&](const char *title, NameReason reason, const QStringList &quoted) {
        row(title, Failure::NameRefused, quoted, Access::Write, Leftover::None, reason);
    };
    row("no folder", Failure::NoFolder, {"q-folder"}, Access::Read);
    row("is a folder", Failure::IsFolder);
    row("read-only", Failure::ReadOnly);
    row("missing", Failure::Missing, {}, Access::Read);
    row("no access", Failure::NoAccess, {}, Access::Read);
    row("not regular", Failure::NotRegular, {}, Access::Read);
    row("link outside", Failure::LinkOutside, {"q-folder"});
    row("name too long", Failure::NameTooLong, {"1234", "5678"});
    row("not encodable", Failure::NotEncodable, {"q-characters"});
    row("not opened", Failure::NotOpened);
    row("read failed", Failure::ReadFailed, {}, Access::Read);
    row("write failed", Failure::WriteFailed);
    row("no space", Failure::NoSpace);
    row("too large", Failure::TooLarge);
    row("quota", Failure::QuotaExceeded);
    row("device", Failure::DeviceFailed);
    row("folder read-only", Failure::FolderReadOnly, {"q-folder"});
    row("shared in a read-only folder", Failure::SharedInReadOnlyFolder, {"q-folder"});
    row("line too long", Failure::LineTooLong, {"5678"}, Access::Read);
    row("log rewritten", Failure::LogRewritten);
    row("catalogue rewritten", Failure::CatalogueRewritten);
    row("lock busy", Failure::LockBusy);
    row("lock blocked", Failure::LockBlocked);
    row("order out of range", Failure::OrderOutOfRange, {"q-item"});
    name("name empty", NameReason::Empty, {});
    name("name with separator", NameReason::WithSeparator, {"q-name"});
    name("name of a folder", NameReason::OfFolder, {"q-name"});
    name("name of an own file", NameReason::OfOwnFile, {"q-name"});
    name("name with control", NameReason::WithControl, {});
    name("name outside code page", NameReason::OutsideCodePage, {"q-name", "q-refused"});
    name("name unseen in list", NameReason::UnseenInList, {"q-name"});
    name("name empty in list", NameReason::EmptyInList, {"q-name"});
    name("name changed in list", NameReason::ChangedInList, {"q-name", "q-one", "q-two"});
    row("part line left", Failure::NoSpace, {}, Access::Write, Leftover::PartLine);
    row("old content left", Failure::NoSpace, {}, Access::Write, Leftover::OldContent);
}

// Every kind has words of its own (none falls back on the plain write
// failure's), and they name the file, what the kind quotes, the system's
// reason, whether the file was read or written, and what could not be undone.
void TestFailureText::sentences()
{
    QFETCH(FileError, error);
    QFETCH(QStringList, quoted);
    const QString text = failureText(error);
    const auto textWith = [&](auto change) {
        FileError other = error;
        change(other);
        return failureText(other);
    };
    if (error.kind == Failure::NameRefused)
        QCOMPARE(text, failureText(error.refusal));
    else
        QVERIFY2(text.contains(error.path), qPrintable(text));
    for (const QString &part : quoted)
        QVERIFY2(text.contains(part), qPrintable(text));
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
void TestFailureText::quotedParts_data()
{
    QTest::addColumn<FileError>("error");
    QTest::addColumn<QString>("sentence");
    const auto item = [](const QString &path, const QString &first) {
        FileError error(Failure::OrderOutOfRange, path, Access::Read);
        error.firstItem = first;
        return error;
    };
    const auto sized = [](Failure kind, const QString &path, qint64 limit, qint64 size) {
        FileError error(kind, path, Access::Read);
        error.limit = limit;
        error.size = size;
        return error;
    };
    QTest::newRow("name that is a placeholder")
        << item("files/%1", "%2")
        << "Массив из файла files/%1 не загружен: первая строка должна задавать порядок числом "
           "от 2 до 10, а в ней «%2».";
    QTest::newRow("control characters and a long name")
        << item("files/" + QString(70, u'я'), "a\tb\x1b")
        << "Массив из файла files/" + QString(54, u'я') + "… не загружен: первая строка должна "
           "задавать порядок числом от 2 до 10, а в ней «a\\tb\\x1b».";
    // Sizes that differ read differently; counts are grouped as the
    // documents write them.
    QTest::newRow("shown size a byte over the bound")
        << sized(Failure::TooLargeToShow, "files/lastans", 2097152, 2097153)
        << "Файл files/lastans слишком велик, чтобы показать его здесь: 2\u00a0097\u00a0153 Б, а можно "
           "не больше 2\u00a0097\u00a0152 Б. Файл не изменён.";
    QTest::newRow("shown size well over the bound")
        << sized(Failure::TooLargeToShow, "files/lastans", 2097152, 3145728)
        << "Файл files/lastans слишком велик, чтобы показать его здесь: 3,0 МБ, а можно не больше "
           "2,0 МБ. Файл не изменён.";
    QTest::newRow("values over the bound in a small file")
        << sized(Failure::TooManyValues, "files/big", 10000, 51200)
        << "Массив из файла files/big не загружен: в нём больше 10\u00a0000 чисел (файл 50,0 КБ). "
           "Редактор не изменён.";
    QTest::newRow("values over the bound in a tiny file")
        << sized(Failure::TooManyValues, "files/big", 10000, 900)
        << "Массив из файла files/big не загружен: в нём больше 10\u00a0000 чисел (файл 900 Б). "
           "Редактор не изменён.";
}

void TestFailureText::quotedParts()
{
    QFETCH(FileError, error);
    QFETCH(QString, sentence);
    QCOMPARE(failureText(error), sentence);
}

// The help launcher's faults name the page or the launcher they blame.
void TestFailureText::helpSentences_data()
{
    QTest::addColumn<HelpFault>("fault");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("page missing") << HelpFault{HelpFailure::PageMissing, "files/help.htm"}
                                  << "Не удалось открыть справку: нет файла files/help.htm.";
    QTest::newRow("launcher not started")
        << HelpFault{HelpFailure::NotStarted, "files/iexplore"}
        << "Не удалось открыть справку: не запускается files/iexplore.";
    QTest::newRow("browser failed") << HelpFault{HelpFailure::BrowserFailed, "/w/files/help.htm"}
                                    << "Не удалось открыть страницу справки /w/files/help.htm: "
                                       "браузер не запустился.";
}

void TestFailureText::helpSentences()
{
    QFETCH(HelpFault, fault);
    QFETCH(QString, sentence);
    QCOMPARE(failureText(fault), sentence);
}

QTEST_GUILESS_MAIN(TestFailureText)
#include "tst_failuretext.moc"
