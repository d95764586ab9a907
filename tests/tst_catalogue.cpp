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
    void readers_data();
    void readers();
    void writers();
    void refusedNameLeavesTheList_data();
    void refusedNameLeavesTheList();
    void createReplacesTheOldList();
    void nameWithCommaThroughTheEditor();
};

// The lists take each line as it stands; the view reads it as items.
void TestCatalogue::readers_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("view");
    QTest::newRow("empty file") << QByteArray() << QStringList{} << "";
    QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{} << "\r\n";
    QTest::newRow("names in order") << QByteArray("b\r\na\r\n") << QStringList{"b", "a"} << "b\r\na\r\n";
    QTest::newRow("duplicates") << QByteArray("a\r\na\r\n") << QStringList{"a", "a"} << "a\r\na\r\n";
    QTest::newRow("one blank is no name") << QByteArray(" \r\nx\r\n") << QStringList{"x"} << "\r\nx\r\n";
    QTest::newRow("two blanks are a name") << QByteArray("  \r\n") << QStringList{"  "} << "\r\n";
    QTest::newRow("blanks") << QByteArray("  x  \r\n") << QStringList{"  x  "} << "x\r\n";
    QTest::newRow("comma") << QByteArray("a,b\r\n") << QStringList{"a,b"} << "a\r\nb\r\n";
    QTest::newRow("quotes") << QByteArray("\"a,b\"\r\n") << QStringList{"\"a,b\""} << "a,b\r\n";
    QTest::newRow("empty lines between") << QByteArray("\r\na\r\n\r\n\r\nb\r\n\r\n")
                                         << QStringList{"a", "b"} << "\r\na\r\n\r\n\r\nb\r\n\r\n";
    QTest::newRow("LF alone") << QByteArray("a\nb\n") << QStringList{"a", "b"} << "a\r\nb\r\n";
    QTest::newRow("code page") << encodeText("Ёлка\r\n") << QStringList{"Ёлка"} << "Ёлка\r\n";
    // The lists take the first hundred thousand names; the view shows all.
    QTest::newRow("more names than listed")
        << QByteArray("n\r\n").repeated(kMostListedNames + 1)
        << QStringList(kMostListedNames, QStringLiteral("n"))
        << QStringLiteral("n\r\n").repeated(kMostListedNames + 1);
}

void TestCatalogue::readers()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, names);
    QFETCH(QString, view);
    Sandbox work;
    QVERIFY(work.write(kCatalogueName, file));
    QCOMPARE(readCatalogueNames(work.folder()).value(), names);
    QCOMPARE(readCatalogueForDisplay(work.folder()).value(), view);
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
    // Names no array can have.
    QTest::newRow("line break") << "a\r\nb";
    QTest::newRow("slash") << "a/b";
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
