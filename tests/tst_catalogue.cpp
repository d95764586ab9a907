// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/catalogue.h"
#include "storage/textfile.h"

#include "testsupport.h"

#include <QTest>

using namespace ravno;
using namespace ravno::test;

class TestCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void names_data();
    void names();
    void display_data();
    void display();
    void writers();
    void refusedNameLeavesTheList_data();
    void refusedNameLeavesTheList();
    void createReplacesTheOldList();
    void nameWithCommaThroughTheEditor();
};

void TestCatalogue::names_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{};
    QTest::newRow("names in order") << QByteArray("b\r\na\r\n") << QStringList{"b", "a"};
    QTest::newRow("duplicates") << QByteArray("a\r\na\r\n") << QStringList{"a", "a"};
    QTest::newRow("one blank is no name") << QByteArray(" \r\nx\r\n") << QStringList{"x"};
    QTest::newRow("two blanks are a name") << QByteArray("  \r\n") << QStringList{"  "};
    QTest::newRow("blanks kept") << QByteArray(" x \r\n") << QStringList{" x "};
    QTest::newRow("comma kept") << QByteArray("a,b\r\n") << QStringList{"a,b"};
    QTest::newRow("quotes kept") << QByteArray("\"q\"\r\n") << QStringList{"\"q\""};
    QTest::newRow("empty lines between")
        << QByteArray("\r\na\r\n\r\n\r\nb\r\n\r\n") << QStringList{"a", "b"};
    QTest::newRow("LF alone") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("code page") << encodeText("Массив\r\n") << QStringList{"Массив"};
}

void TestCatalogue::names()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, expected);
    Sandbox work;
    QVERIFY(work.write(kCatalogueName, file));
    const Result<QStringList> names = readCatalogueNames(work.folder());
    QVERIFY(names.ok());
    QCOMPARE(names.value(), expected);
}

void TestCatalogue::display_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("empty line shows") << QByteArray("\r\na\r\n") << "\r\na\r\n";
    QTest::newRow("comma gives two lines") << QByteArray("a,b\r\n") << "a\r\nb\r\n";
    QTest::newRow("blanks trimmed") << QByteArray("  x  \r\n") << "x\r\n";
    QTest::newRow("one blank shows empty") << QByteArray(" \r\n") << "\r\n";
    QTest::newRow("quotes removed") << QByteArray("\"a,b\"\r\n") << "a,b\r\n";
    QTest::newRow("code page") << encodeText("Ёлка\r\n") << "Ёлка\r\n";
}

void TestCatalogue::display()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    Sandbox work;
    QVERIFY(work.write(kCatalogueName, file));
    const Result<QString> shown = readCatalogueForDisplay(work.folder());
    QVERIFY(shown.ok());
    QCOMPARE(shown.value(), expected);
}

void TestCatalogue::writers()
{
    Sandbox work;
    // The save/load window's first load finds no catalogue and creates it.
    QVERIFY(appendCatalogueEmptyLine(work.folder()).ok());
    QCOMPARE(work.read(kCatalogueName), QByteArray("\r\n"));
    QVERIFY(appendCatalogueName(work.folder(), "Массив 1").ok());
    QVERIFY(appendCatalogueEmptyLine(work.folder()).ok());
    QCOMPARE(work.read(kCatalogueName), "\r\n" + encodeText("Массив 1") + "\r\n\r\n");
    QCOMPARE(readCatalogueNames(work.folder()).value(), QStringList({"Массив 1"}));

    // The catalogue editor hands over its text with LF line ends.
    QVERIFY(rewriteCatalogue(work.folder(), "a\nb\n").ok());
    QCOMPARE(work.read(kCatalogueName), QByteArray("a\r\nb\r\n\r\n"));
}

void TestCatalogue::refusedNameLeavesTheList_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("line break") << "a\r\nb";
    QTest::newRow("empty") << "";
    QTest::newRow("slash") << "a/b";
    QTest::newRow("catalogue itself") << "SaveList";
    QTest::newRow("outside the code page") << "中";
    // Names the readers would not give back as typed.
    QTest::newRow("leading blank") << " lead";
    QTest::newRow("trailing blank") << "name ";
    QTest::newRow("comma") << "a,b";
    QTest::newRow("leading quote") << "\"q\"";
    QTest::newRow("one blank") << " ";
    QTest::newRow("blanks only") << "   ";
}

void TestCatalogue::refusedNameLeavesTheList()
{
    QFETCH(QString, name);
    Sandbox work;
    QVERIFY(work.write(kCatalogueName, "a\r\n"));
    const Status listed = appendCatalogueName(work.folder(), name);
    QVERIFY(!listed.ok());
    QCOMPARE(listed.error().path, "files/SaveList");
    QCOMPARE(work.read(kCatalogueName), QByteArray("a\r\n"));
}

void TestCatalogue::createReplacesTheOldList()
{
    Sandbox work;
    QVERIFY(work.write(kCatalogueName, "a\r\nb\r\n"));
    QVERIFY(createCatalogue(work.folder()).ok());
    QCOMPARE(work.read(kCatalogueName), QByteArray("\r\n"));
    QVERIFY(readCatalogueNames(work.folder()).value().isEmpty());
}

// A name with a comma from an older catalogue: listed whole, shown as two
// lines, and stored as two names once the editor's text is written back.
void TestCatalogue::nameWithCommaThroughTheEditor()
{
    Sandbox work;
    QVERIFY(work.write(kCatalogueName, "a,b\r\n"));
    QCOMPARE(readCatalogueNames(work.folder()).value(), QStringList{"a,b"});
    const Result<QString> shown = readCatalogueForDisplay(work.folder());
    QCOMPARE(shown.value(), "a\r\nb\r\n");
    QVERIFY(rewriteCatalogue(work.folder(), shown.value()).ok());
    QCOMPARE(work.read(kCatalogueName), QByteArray("a\r\nb\r\n\r\n"));
    QCOMPARE(readCatalogueNames(work.folder()).value(), QStringList({"a", "b"}));
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
