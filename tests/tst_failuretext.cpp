// SPDX-License-Identifier: GPL-3.0-or-later
// The words the windows give every failure of a file command.
#include "testsupport.h"

#include <QTest>

using namespace ravno;
using namespace ravno::test;

Q_DECLARE_METATYPE(ravno::FileError)

class TestFailureText : public QObject
{
    Q_OBJECT
private slots:
    void sentences_data();
    void sentences();
    void quotedParts_data();
    void quotedParts();
};

void TestFailureText::sentences_data()
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
    row("folder read-only", Failure::FolderReadOnly, 1);
    row("shared in a read-only folder", Failure::SharedInReadOnlyFolder, 1);
    row("line too long", Failure::LineTooLong, 1, Access::Read);
    row("log rewritten", Failure::LogRewritten);
    row("catalogue rewritten", Failure::CatalogueRewritten);
    row("lock busy", Failure::LockBusy);
    row("lock blocked", Failure::LockBlocked);
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
void TestFailureText::sentences()
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
void TestFailureText::quotedParts_data()
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

void TestFailureText::quotedParts()
{
    QFETCH(FileError, error);
    QFETCH(QString, sentence);
    QCOMPARE(failureText(error), sentence);
}

QTEST_GUILESS_MAIN(TestFailureText)
#include "tst_failuretext.moc"
