// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/answerlog.h"
#include "storage/textfile.h"

#include "storageoperations.h"
#include "testsupport.h"

#include <QTest>

using namespace ravno;
using namespace ravno::test;

namespace {

using Entry = std::optional<QString>;

Entry entry(const Result<LogEntry> &result)
{
    if (!result.ok()) {
        qWarning("%s", qPrintable(failureText(result.error())));
        return QStringLiteral("<error>");
    }
    return result.value().line;
}

} // namespace

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
    void lastReadFromTheEnd_data();
    void lastReadFromTheEnd();
    void allThenSaveKeepsEntriesAndOneEmptyLine();
    void allWithoutLogStartsOne();
    void saveStoresEditedText();
};

void TestAnswerLog::appendAfterSolve()
{
    Sandbox work;
    AnswerLog &log = work.context->log;
    QVERIFY(log.append("1,000  3,000  ").ok());
    QVERIFY(log.append("Одного решения нет").ok());
    QCOMPARE(work.read(kAnswerLogName),
             "1,000  3,000  \r\n" + encodeText("Одного решения нет") + "\r\n");
}

void TestAnswerLog::paging()
{
    Sandbox work;
    QVERIFY(work.write(kAnswerLogName, "\r\na\r\n\r\n \r\nb\n"));
    AnswerLog &log = work.context->log;
    QCOMPARE(entry(log.next()), Entry());
    QCOMPARE(entry(log.first()), Entry("a"));
    QVERIFY(work.context->files.isPaging());
    QCOMPARE(entry(log.next()), Entry(" "));
    QCOMPARE(entry(log.next()), Entry("b"));
    // At the end nothing is found and paging stays as it is.
    QCOMPARE(entry(log.next()), Entry());
    QVERIFY(work.context->files.isPaging());
    QCOMPARE(entry(log.next()), Entry());
    QCOMPARE(entry(log.first()), Entry("a"));
}

void TestAnswerLog::pagingEndedBy_data()
{
    addOperations([](const Operation &op) { return op.name != std::string_view("first answer"); });
}

// Every file command but "Следующий ответ" closes the log it pages through.
void TestAnswerLog::pagingEndedBy()
{
    QFETCH(int, index);
    Sandbox work;
    QVERIFY(work.write(kAnswerLogName, "a\r\nb\r\nc\r\n"));
    AnswerLog &log = work.context->log;
    QCOMPARE(entry(log.first()), Entry("a"));
    operations()[std::size_t(index)].run(*work.context);
    QVERIFY(!work.context->files.isPaging());
    QCOMPARE(entry(log.next()), Entry());
}

void TestAnswerLog::firstAndLastAddAnEmptyLine()
{
    Sandbox work;
    QVERIFY(work.write(kAnswerLogName, "a\r\nb\r\n"));
    AnswerLog &log = work.context->log;
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
    AnswerLog &log = work.context->log;
    QCOMPARE(entry(log.first()), Entry());
    QVERIFY(!work.context->files.isPaging());
    QCOMPARE(entry(log.last()), Entry());
    QCOMPARE(work.read(kAnswerLogName), file + "\r\n\r\n");
}

void TestAnswerLog::lastReadFromTheEnd_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("last");
    const QByteArray longLine(kMostLineBytes, 'x');
    QTest::newRow("LF alone") << QByteArray("a\nb\n") << "b";
    QTest::newRow("carriage return inside") << QByteArray("x\ry\r\n") << "x\ry";
    QTest::newRow("one CR taken with LF") << QByteArray("b\r\r\n") << "b\r";
    QTest::newRow("lone CR at the end") << QByteArray("a\r\nb\r") << "b";
    // The log is read back 64 KiB at a time.
    QTest::newRow("behind many empty lines") << "a\r\n" + QByteArray("\r\n").repeated(40000) << "a";
    QTest::newRow("longest line, across a step") << "a\r\n" + longLine + "\r\n\r\n" << QString(longLine);
    QTest::newRow("CR LF split by a step") << "b\r\n" + QByteArray(65533, '\n') << "b";
}

void TestAnswerLog::lastReadFromTheEnd()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, last);
    Sandbox work;
    QVERIFY(work.write(kAnswerLogName, file));
    QCOMPARE(entry(work.context->log.last()), Entry(last));
}

void TestAnswerLog::allThenSaveKeepsEntriesAndOneEmptyLine()
{
    Sandbox work;
    QVERIFY(work.write(kAnswerLogName, encodeText("\r\n1,000  \r\n\r\nОдного решения нет\n\r\n")));
    AnswerLog &log = work.context->log;
    const Result<LogText> all = log.all();
    QVERIFY(all.ok());
    QCOMPARE(all.value().entries, "1,000  \r\nОдного решения нет\r\n");
    const QByteArray expected = encodeText("1,000  \r\nОдного решения нет\r\n\r\n");
    QCOMPARE(work.read(kAnswerLogName), expected);
    QVERIFY(log.save(all.value().entries).ok());
    QCOMPARE(work.read(kAnswerLogName), expected);
    // Again, through a text box that turned the line ends into LF.
    QVERIFY(log.save(QString(all.value().entries).replace("\r\n", "\n")).ok());
    QCOMPARE(work.read(kAnswerLogName), expected);
}

void TestAnswerLog::allWithoutLogStartsOne()
{
    Sandbox work;
    AnswerLog &log = work.context->log;
    const Result<LogText> all = log.all();
    QVERIFY(all.ok());
    QCOMPARE(all.value().entries, QString());
    QCOMPARE(work.read(kAnswerLogName), QByteArray("\r\n"));
}

void TestAnswerLog::saveStoresEditedText()
{
    Sandbox work;
    QVERIFY(work.write(kAnswerLogName, "old\r\n"));
    AnswerLog &log = work.context->log;
    QVERIFY(log.save("Ответ\nдва").ok());
    QCOMPARE(work.read(kAnswerLogName), encodeText("Ответ\r\nдва\r\n"));
    QCOMPARE(entry(log.first()), Entry("Ответ"));
}

QTEST_GUILESS_MAIN(TestAnswerLog)
#include "tst_answerlog.moc"
