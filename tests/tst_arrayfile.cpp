// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/arraytext.h"
#include "core/exact/exactnumber.h"
#include "core/text/pastedsystem.h"
#include "core/exact/solver.h"
#include "storage/arrayfile.h"

#include "testsupport.h"

#include <QDirIterator>
#include <QTest>

using namespace ravno;
using namespace ravno::test;

namespace {

QByteArray lines(const QList<QByteArray> &values)
{
    QByteArray out;
    for (const QByteArray &value : values)
        out += value + "\r\n";
    return out;
}

// Every value of the system exactly, as the solve takes it.
QStringList exactCells(const Workspace &ws)
{
    QStringList cells;
    for (int i = 0; i < ws.rowCount(); ++i)
        for (int j = 0; j < ws.columnCount(); ++j)
            cells << QString::fromStdString(
                (ws.exact() ? ws.exact()->value(i, j) : exactValue(ws.at(i, j))).get_str());
    return cells;
}

} // namespace

class TestArrayFile : public QObject
{
    Q_OBJECT
private slots:
    void write_data();
    void write();
    void readers_data();
    void readers();
    void positionRefused_data();
    void positionRefused();
    void lastArrayMissing();
    void lastArrayGrowsByAnEmptyLinePerLoad();
    void roundTrip_data();
    void roundTrip();
    void names_data();
    void names();
    void acceptedNameStaysInFolder_data();
    void acceptedNameStaysInFolder();
};

void TestArrayFile::write_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("order 3, twelve numbers")
        << 9 << "1 2 3 4 5 6 7 8 9 10 11 12"
        << lines({" 9 ", " 1 ", " 2 ", " 3 ", " 4 ", " 5 ", " 6 ", " 7 ", " 8 ", " 9 ", " 10 ",
                  " 11 ", " 12 "});
    QTest::newRow("two blanks give a zero") << 9 << "1  2" << lines({" 9 ", " 1 ", " 0 ", " 2 "});
    QTest::newRow("empty text") << 8 << "" << lines({" 8 "});
    QTest::newRow("trailing blank") << 10 << "1 " << lines({" 10 ", " 1 ", " 0 "});
    QTest::newRow("negative and fraction")
        << 2 << "-2.5 0.125" << lines({" 2 ", "-2.5 ", " 0.125 "});
    QTest::newRow("decimal comma stops the number") << 9 << "1,5" << lines({" 9 ", " 1 "});
    QTest::newRow("fractions, as numbers where they read back")
        << 9 << "1/3 -4/14 1/10 1/4 5/2 6/3 −1/3 2.5/3"
        << lines({" 9 ", " 1/3 ", "-2/7 ", " 0.1 ", " 0.25 ", " 2.5 ", " 2 ", "-1/3 ", " 5/6 "});
    QTest::newRow("whole numbers past a double's digits")
        << 9 << "1e300/1e-300 12345678901234567891/1 -9007199254740993/1 9007199254740992/1"
        << lines({" 9 ", " 1" + QByteArray(600, '0') + "/1 ", " 12345678901234567891/1 ",
                  "-9007199254740993/1 ", " 9.007199254740992E+15 "});
    QTest::newRow("no fraction, as before") << 9 << "1/0 1/-3 1/2/3 /2"
                                            << lines({" 9 ", " 1 ", " 1 ", " 1 ", " 0 "});
    QTest::newRow("no number") << 9 << "abc x" << lines({" 9 ", " 0 ", " 0 "});
    QTest::newRow("large and small") << 9 << "1E15 0.00001" << lines({" 9 ", " 1E+15 ", " 1E-05 "});
    QTest::newRow("largest double")
        << 9 << "1.7976931348623157e308" << lines({" 9 ", " 1.7976931348623157E+308 "});
}

void TestArrayFile::write()
{
    QFETCH(int, position);
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    Sandbox work;
    QCOMPARE(arrayFileText(position, text).toLatin1(), expected);
    QVERIFY(writeArrayFile(work.folder(), "Массив", position, text).ok());
    QCOMPARE(work.read("Массив"), expected);
    QVERIFY(writeArrayFile(work.folder(), kLastArrayName, position, text).ok());
    QCOMPARE(work.read(kLastArrayName), expected);
}

// The same file through both readers: the named one appends empty items,
// the last-array one skips them and takes an empty first item for no data.
void TestArrayFile::readers_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("namedText");
    QTest::addColumn<QString>("lastText");
    QTest::newRow("as written") << lines({" 9 ", " 1 ", " 2 "}) << 9 << "1 2" << "1 2";
    QTest::newRow("empty line inside")
        << lines({" 9 ", " 1 ", "", " 2 "}) << 9 << "1  2" << "1 2";
    QTest::newRow("empty lines at the end")
        << lines({" 9 ", " 1 ", "", ""}) << 9 << "1  " << "1";
    QTest::newRow("empty first value") << lines({" 9 ", "", " 2 "}) << 9 << " 2" << "2";
    QTest::newRow("LF alone") << QByteArray(" 9 \n 1 \n 2 \n") << 9 << "1 2" << "1 2";
    QTest::newRow("no final line end") << QByteArray(" 9 \r\n 1 ") << 9 << "1" << "1";
    QTest::newRow("values kept as written")
        << lines({" 9 ", "1.50", " 1E+15 ", "-0.5"}) << 9 << "1.50 1E+15 -0.5"
        << "1.50 1E+15 -0.5";
    QTest::newRow("comma splits a line") << lines({" 9 ", "1,5"}) << 9 << "1 5" << "1 5";
    QTest::newRow("position only") << lines({" 4 "}) << 4 << "" << "";
    QTest::newRow("position halves to even") << lines({" 8.5 "}) << 8 << "" << "";
    QTest::newRow("position rounds up") << lines({" 9.5 "}) << 10 << "" << "";
    QTest::newRow("position halves up to 2") << lines({" 1.5 "}) << 2 << "" << "";
    QTest::newRow("position from leading number") << lines({"3 and more"}) << 3 << "" << "";
}

void TestArrayFile::readers()
{
    QFETCH(QByteArray, file);
    QFETCH(int, position);
    QFETCH(QString, namedText);
    QFETCH(QString, lastText);
    Sandbox work;
    QVERIFY(work.write("named", file));
    QVERIFY(work.write(kLastArrayName, file));

    const Result<LoadedArray> named = readNamedArray(work.folder(), "named");
    QVERIFY(named.ok());
    QCOMPARE(named.value().scrollPosition, position);
    QCOMPARE(named.value().editorText, namedText);
    QCOMPARE(work.read("named"), file);

    const Result<LoadedArray> last = readLastArray(work.folder());
    QVERIFY(last.ok());
    QVERIFY(last.value().hasData);
    QCOMPARE(last.value().scrollPosition, position);
    QCOMPARE(last.value().editorText, lastText);
}

void TestArrayFile::positionRefused_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("lastHasNoData");
    QTest::addColumn<Failure>("kind");
    QTest::newRow("order 11") << lines({" 1 ", " 5 "}) << false << Failure::OrderOutOfRange;
    QTest::newRow("order 1") << lines({" 11 ", " 5 "}) << false << Failure::OrderOutOfRange;
    QTest::newRow("rounds below 2") << lines({" 1.49 "}) << false << Failure::OrderOutOfRange;
    QTest::newRow("rounds above 10") << lines({" 10.51 "}) << false << Failure::OrderOutOfRange;
    QTest::newRow("no number") << lines({"abc", " 5 "}) << false << Failure::OrderOutOfRange;
    QTest::newRow("huge") << lines({" 1E+300 "}) << false << Failure::OrderOutOfRange;
    QTest::newRow("negative") << lines({"-9 "}) << false << Failure::OrderOutOfRange;
    QTest::newRow("empty first line") << lines({"", " 5 "}) << true << Failure::OrderOutOfRange;
    QTest::newRow("empty file") << QByteArray() << true << Failure::OrderOutOfRange;
    // Refused at once, before the editor is touched.
    QTest::newRow("one value over the bound")
        << " 9 \r\n" + QByteArray(" 1 \r\n").repeated(kMostValues + 1) << false
        << Failure::TooManyValues;
}

// A refused load leaves the file as it was (the last-array reader has only
// added its empty line) and tells which file held what.
void TestArrayFile::positionRefused()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, lastHasNoData);
    QFETCH(Failure, kind);
    Sandbox work;
    QVERIFY(work.write("named", file));
    QVERIFY(work.write(kLastArrayName, file));

    const Result<LoadedArray> named = readNamedArray(work.folder(), "named");
    QVERIFY(!named.ok());
    QCOMPARE(named.error().path, "files/named");
    QCOMPARE(named.error().kind, kind);
    QCOMPARE(work.read("named"), file);

    const Result<LoadedArray> last = readLastArray(work.folder());
    QCOMPARE(work.read(kLastArrayName), file + "\r\n");
    if (lastHasNoData) {
        QVERIFY(last.ok());
        QVERIFY(!last.value().hasData);
        QCOMPARE(last.value().editorText, QString());
    } else {
        QVERIFY(!last.ok());
        QCOMPARE(last.error().kind, kind);
        QCOMPARE(last.error().path, "files/LostMas");
    }
}

void TestArrayFile::lastArrayMissing()
{
    Sandbox work;
    const Result<LoadedArray> last = readLastArray(work.folder());
    QVERIFY(last.ok());
    QVERIFY(!last.value().hasData);
    QCOMPARE(last.value().editorText, QString());
    QCOMPARE(work.read(kLastArrayName), QByteArray("\r\n"));
}

void TestArrayFile::lastArrayGrowsByAnEmptyLinePerLoad()
{
    Sandbox work;
    QVERIFY(writeArrayFile(work.folder(), kLastArrayName, 10, "2 1 5 1 3 10").ok());
    const QByteArray written = work.read(kLastArrayName);
    for (int load = 1; load <= 3; ++load) {
        const Result<LoadedArray> last = readLastArray(work.folder());
        QVERIFY(last.ok());
        QCOMPARE(last.value().scrollPosition, 10);
        QCOMPARE(last.value().editorText, "2 1 5 1 3 10");
        QCOMPARE(work.read(kLastArrayName), written + QByteArray("\r\n").repeated(load));
    }
}

void TestArrayFile::roundTrip_data()
{
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("text");
    QString full;
    for (int i = 0; i < 110; ++i)
        full += QString::number(i % 19 - 9) + u' ';
    QTest::newRow("order 2, short") << 2 << "1 2";
    QTest::newRow("order 2, full") << 2 << "2 1 5 1 3 10";
    QTest::newRow("order 2, empty pieces") << 2 << " 1  2 ";
    QTest::newRow("order 10, short") << 10 << "1.5 -2 3";
    QTest::newRow("order 10, full, as RND leaves it") << 10 << full;
    QTest::newRow("order 3, fractions and decimals")
        << 3 << "1/3 -2/7 1/10 1/4 5/2 6/3 2.5/3 1e-300/3 1 2 3 0.5";
    QTest::newRow("order 2, whole numbers past a double")
        << 2 << "1e300/1e-300 1 12345678901234567891/1 2 3 4";
}

// Saved and loaded three times, by either reader: after the first save the
// file stays the same, and so does the system the editor text fills in,
// exactly, and its answers.
void TestArrayFile::roundTrip()
{
    QFETCH(int, order);
    QFETCH(QString, text);
    Workspace typed;
    fillFromText(typed, order, text, QLocale::c());
    Workspace solved = typed;
    const QString answers = solve(solved, QLocale::c()).answerLine;
    for (const bool last : {false, true}) {
        Sandbox work;
        const QString name = last ? kLastArrayName : QStringLiteral("cycle");
        QString loadedText = text;
        QByteArray first;
        for (int cycle = 0; cycle < 3; ++cycle) {
            QVERIFY(writeArrayFile(work.folder(), name, 12 - order, loadedText).ok());
            if (cycle == 0)
                first = work.read(name);
            QCOMPARE(work.read(name), first);
            const Result<LoadedArray> loaded =
                last ? readLastArray(work.folder()) : readNamedArray(work.folder(), name);
            QVERIFY(loaded.ok());
            loadedText = loaded.value().editorText;
            Workspace again;
            fillFromText(again, order, loadedText, QLocale::c());
            QCOMPARE(matrixValues(again), matrixValues(typed));
            QCOMPARE(exactCells(again), exactCells(typed));
            QCOMPARE(solve(again, QLocale::c()).answerLine, answers);
        }
    }
}

void TestArrayFile::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    QTest::newRow("slash") << "a/b" << true;
    QTest::newRow("backslash") << "a\\b" << true;
    QTest::newRow("climbing out") << "../x" << true;
    QTest::newRow("dot") << "." << true;
    QTest::newRow("two dots") << ".." << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("catalogue") << "SaveList" << true;
    QTest::newRow("catalogue in lower case") << "savelist" << true;
    QTest::newRow("answer log in capitals") << "LASTANS" << true;
    QTest::newRow("lock of the log") << "lastans.LOCK" << true;
    QTest::newRow("lock of the catalogue") << "savelist.lock" << true;
    QTest::newRow("removal lock of a lock") << "lastans.lock.rmlock" << true;
    QTest::newRow("any removal lock") << "x.RMLOCK" << true;
    QTest::newRow("browser launcher") << "iexplore" << true;
    QTest::newRow("help page") << "Help.HTM" << true;
    QTest::newRow("line feed") << "a\nb" << true;
    QTest::newRow("tab") << "a\tb" << true;
    QTest::newRow("delete") << "a\x7f" << true;
    QTest::newRow("C1 control in the code page") << QString::fromUtf16(u"a\u0098") << true;
    QTest::newRow("outside the code page") << "x中" << true;
    QTest::newRow("last array") << "LostMas" << false;
    QTest::newRow("three dots") << "..." << false;
    QTest::newRow("leading dot") << ".hidden" << false;
    QTest::newRow("blanks around") << " x " << false;
    QTest::newRow("cyrillic") << "Массив 1" << false;
    QTest::newRow("comma") << "a,b" << false;
    QTest::newRow("colon first") << ":abc" << false;
    QTest::newRow("own name with more") << "help.htm.bak" << false;
}

void TestArrayFile::names()
{
    QFETCH(QString, name);
    QFETCH(bool, refused);
    const std::optional<NameRefusal> refusal = refuseArrayName(name);
    QCOMPARE(refusal.has_value(), refused);

    // The writer and the reader keep the same rule, whoever calls them.
    Sandbox work;
    const Status written = writeArrayFile(work.folder(), name, 9, "1");
    QCOMPARE(written.ok(), !refused);
    if (refused) {
        QCOMPARE(written.error().kind, Failure::NameRefused);
        QCOMPARE(written.error().refusal.reason, refusal->reason);
        QVERIFY(!readNamedArray(work.folder(), name).ok());
    }
}

void TestArrayFile::acceptedNameStaysInFolder_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("blanks around") << " x ";
    QTest::newRow("three dots") << "...";
    QTest::newRow("colon first") << ":abc";
    QTest::newRow("cyrillic") << "Массив 1";
}

// The file lies at files/<name> exactly as typed, and nowhere else.
void TestArrayFile::acceptedNameStaysInFolder()
{
    QFETCH(QString, name);
    Sandbox work;
    QVERIFY(writeArrayFile(work.folder(), name, 9, "5").ok());
    QDirIterator it(work.workingPath(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    QStringList found;
    while (it.hasNext())
        found << QDir(work.workingPath()).relativeFilePath(it.next());
    found.sort();
    QCOMPARE(found, QStringList({"files", "files/" + name}));
    const Result<LoadedArray> loaded = readNamedArray(work.folder(), name);
    QVERIFY(loaded.ok());
    QCOMPARE(loaded.value().editorText, "5");
}

QTEST_GUILESS_MAIN(TestArrayFile)
#include "tst_arrayfile.moc"
