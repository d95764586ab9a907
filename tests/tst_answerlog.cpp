// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/answerlog.h"
#include "storage/textfile.h"

#include "testsupport.h"

#include <QTest>

using namespace ravno;
using namespace ravno::test;

namespace {

using Entry = std::optional<QString>;

Entry entry(const Result<Entry> &result)
{
    if (!result.ok()) {
        qWarning("%s", qPrintable(failureText(result.error())));
        return QStringLiteral("<error>");
    }
    return result.value();
}

enum class Interruption { CloseAll, Solve, Last, All, Save };

} // namespace

Q_DECLARE_METATYPE(Interruption)

class TestAnswerLog : public QObject
{
    Q_OBJECT
private slots:
    void appendAfterSolve();
    void paging();
    void pagingEndedBy_data();
    void pagingEndedBy();
    void firstAndLastAddAnEmptyLine();
    void nothingRemembered_data();
    void nothingRemembered();
    void allThenSaveKeepsEntriesAndOneEmptyLine();
    void allWithoutLogStartsOne();
    void saveStoresEditedText();
};

void TestAnswerLog::appendAfterSolve()
{
    Sandbox work;
    OpenFiles files;
    AnswerLog log(work.folder(), files);
    QVERIFY(log.append("1,000  3,000  ").ok());
    QVERIFY(log.append("Одного решения нет").ok());
    QCOMPARE(work.read(kAnswerLogName),
             "1,000  3,000  \r\n" + encodeText("Одного решения нет") + "\r\n");
}

void TestAnswerLog::paging()
{
    Sandbox work;
    QVERIFY(work.write(kAnswerLogName, "\r\na\r\n\r\n \r\nb\n"));
    OpenFiles files;
    AnswerLog log(work.folder(), files);
    QCOMPARE(entry(log.next()), Entry());
    QCOMPARE(entry(log.first()), Entry("a"));
    QVERIFY(files.isPaging());
    QCOMPARE(entry(log.next()), Entry(" "));
    QCOMPARE(entry(log.next()), Entry("b"));
    // At the end nothing is found and paging stays as it is.
    QCOMPARE(entry(log.next()), Entry());
    QVERIFY(files.isPaging());
    QCOMPARE(entry(log.next()), Entry());
    QCOMPARE(entry(log.first()), Entry("a"));
}

void TestAnswerLog::pagingEndedBy_data()
{
    QTest::addColumn<Interruption>("interruption");
    QTest::newRow("closing all files") << Interruption::CloseAll;
    QTest::newRow("a solve") << Interruption::Solve;
    QTest::newRow("last answer") << Interruption::Last;
    QTest::newRow("all answers") << Interruption::All;
    QTest::newRow("save") << Interruption::Save;
}

void TestAnswerLog::pagingEndedBy()
{
    QFETCH(Interruption, interruption);
    Sandbox work;
    QVERIFY(work.write(kAnswerLogName, "a\r\nb\r\nc\r\n"));
    OpenFiles files;
    AnswerLog log(work.folder(), files);
    QCOMPARE(entry(log.first()), Entry("a"));

    switch (interruption) {
    case Interruption::CloseAll: files.closeAll(); break;
    case Interruption::Solve: QVERIFY(log.append("d").ok()); break;
    case Interruption::Last: QCOMPARE(entry(log.last()), Entry("c")); break;
    case Interruption::All: QCOMPARE(log.all().value(), "a\r\nb\r\nc\r\n"); break;
    case Interruption::Save: QVERIFY(log.save("a\r\nb\r\nc").ok()); break;
    }
    QVERIFY(!files.isPaging());
    QCOMPARE(entry(log.next()), Entry());
    // Paging starts again from the top.
    QCOMPARE(entry(log.first()), Entry("a"));
    QCOMPARE(entry(log.next()), Entry("b"));
}

void TestAnswerLog::firstAndLastAddAnEmptyLine()
{
    Sandbox work;
    QVERIFY(work.write(kAnswerLogName, "a\r\nb\r\n"));
    OpenFiles files;
    AnswerLog log(work.folder(), files);
    QCOMPARE(entry(log.first()), Entry("a"));
    QCOMPARE(work.read(kAnswerLogName), QByteArray("a\r\nb\r\n\r\n"));
    QCOMPARE(entry(log.last()), Entry("b"));
    QCOMPARE(work.read(kAnswerLogName), QByteArray("a\r\nb\r\n\r\n\r\n"));
}

void TestAnswerLog::nothingRemembered_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("no log") << false << QByteArray();
    QTest::newRow("empty log") << true << QByteArray();
    QTest::newRow("only empty lines") << true << QByteArray("\r\n\r\n\n");
}

void TestAnswerLog::nothingRemembered()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, file);
    Sandbox work;
    if (present)
        QVERIFY(work.write(kAnswerLogName, file));
    OpenFiles files;
    AnswerLog log(work.folder(), files);
    QCOMPARE(entry(log.first()), Entry());
    QVERIFY(!files.isPaging());
    QCOMPARE(entry(log.last()), Entry());
    QCOMPARE(work.read(kAnswerLogName), file + "\r\n\r\n");
}

void TestAnswerLog::allThenSaveKeepsEntriesAndOneEmptyLine()
{
    Sandbox work;
    QVERIFY(work.write(kAnswerLogName, encodeText("\r\n1,000  \r\n\r\nОдного решения нет\n\r\n")));
    OpenFiles files;
    AnswerLog log(work.folder(), files);
    const Result<QString> all = log.all();
    QVERIFY(all.ok());
    QCOMPARE(all.value(), "1,000  \r\nОдного решения нет\r\n");
    const QByteArray expected = encodeText("1,000  \r\nОдного решения нет\r\n\r\n");
    QCOMPARE(work.read(kAnswerLogName), expected);
    QVERIFY(log.save(all.value()).ok());
    QCOMPARE(work.read(kAnswerLogName), expected);
    // Again, through a text box that turned the line ends into LF.
    QVERIFY(log.save(QString(all.value()).replace("\r\n", "\n")).ok());
    QCOMPARE(work.read(kAnswerLogName), expected);
}

void TestAnswerLog::allWithoutLogStartsOne()
{
    Sandbox work;
    OpenFiles files;
    AnswerLog log(work.folder(), files);
    const Result<QString> all = log.all();
    QVERIFY(all.ok());
    QCOMPARE(all.value(), QString());
    QCOMPARE(work.read(kAnswerLogName), QByteArray("\r\n"));
    QVERIFY(work.exists(kAnswerLogName));
}

void TestAnswerLog::saveStoresEditedText()
{
    Sandbox work;
    QVERIFY(work.write(kAnswerLogName, "old\r\n"));
    OpenFiles files;
    AnswerLog log(work.folder(), files);
    QVERIFY(log.save("Ответ\nдва").ok());
    QCOMPARE(work.read(kAnswerLogName), encodeText("Ответ\r\nдва\r\n"));
    QCOMPARE(entry(log.first()), Entry("Ответ"));
}

QTEST_GUILESS_MAIN(TestAnswerLog)
#include "tst_answerlog.moc"
