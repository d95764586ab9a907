// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/itemreader.h"
#include "storage/textfile.h"

#include "testsupport.h"

#include <QTest>

using namespace ravno;
using namespace ravno::test;

class TestTextFormat : public QObject
{
    Q_OBJECT
private slots:
    void items_data();
    void items();
    void lines_data();
    void lines();
    void cyrillicInCodePage();
    void lineEndsWrittenAsCrLf_data();
    void lineEndsWrittenAsCrLf();
    void charactersOutsideCodePage_data();
    void charactersOutsideCodePage();
};

void TestTextFormat::items_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("nothing") << "" << QStringList{};
    QTest::newRow("print form number") << " 9 \r\n" << QStringList{"9"};
    QTest::newRow("negative") << "-2.5 \r\n" << QStringList{"-2.5"};
    QTest::newRow("one item per line") << " 9 \r\n 1 \r\n 2 \r\n" << QStringList{"9", "1", "2"};
    QTest::newRow("LF alone") << " 9 \n 1 \n" << QStringList{"9", "1"};
    QTest::newRow("last line unended") << "a\r\nb" << QStringList{"a", "b"};
    QTest::newRow("empty line") << "a\r\n\r\nb\r\n" << QStringList{"a", "", "b"};
    QTest::newRow("only an empty line") << "\r\n" << QStringList{""};
    QTest::newRow("line of blanks") << "   \r\n" << QStringList{""};
    QTest::newRow("comma splits") << "1,5\r\n" << QStringList{"1", "5"};
    QTest::newRow("blanks around items") << "  a b  ,  c \r\n" << QStringList{"a b", "c"};
    QTest::newRow("tabs around items") << "\ta\t\r\n" << QStringList{"a"};
    QTest::newRow("comma at line end") << "a,\r\n" << QStringList{"a", ""};
    QTest::newRow("two commas") << ",,\r\n" << QStringList{"", "", ""};
    QTest::newRow("quoted keeps comma and blanks") << "\" a,b \"\r\n" << QStringList{" a,b "};
    QTest::newRow("after closing quote dropped")
        << "\"ab\"cd,e\r\n" << QStringList{"ab", "e"};
    QTest::newRow("after closing quote to line end dropped")
        << "\"ab\" cd\r\nx\r\n" << QStringList{"ab", "x"};
    QTest::newRow("unclosed quote runs to line end")
        << "\"ab,c\r\nd\r\n" << QStringList{"ab,c", "d"};
    QTest::newRow("quote after blanks") << "   \"q\"\r\n" << QStringList{"q"};
    QTest::newRow("quote inside item is kept") << "a\"b\r\n" << QStringList{"a\"b"};
    QTest::newRow("empty quotes") << "\"\"\r\n" << QStringList{""};
    QTest::newRow("cyrillic") << "Массив, два\r\n" << QStringList{"Массив", "два"};
}

void TestTextFormat::items()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(readItems(text), expected);
}

void TestTextFormat::lines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("nothing") << "" << QStringList{};
    QTest::newRow("CR LF") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("LF") << "a\nb\n" << QStringList{"a", "b"};
    QTest::newRow("mixed") << "a\nb\r\nc" << QStringList{"a", "b", "c"};
    QTest::newRow("empty lines") << "\r\n\r\n" << QStringList{"", ""};
    QTest::newRow("blanks kept") << "  \r\n \r\n" << QStringList{"  ", " "};
    QTest::newRow("lone CR is text") << "a\rb\r\n" << QStringList{"a\rb"};
    QTest::newRow("CR at the end ends the line") << "a\r\nb\r" << QStringList{"a", "b"};
}

void TestTextFormat::lines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(splitLines(text), expected);
}

void TestTextFormat::cyrillicInCodePage()
{
    const QString text = QStringLiteral("Ничего не помню Ёё");
    const QByteArray bytes = QByteArray::fromHex("cde8f7e5e3ee20ede520efeeecedfe20a8b8");
    QCOMPARE(encodeText(text), bytes);
    QCOMPARE(decodeText(bytes), text);
}

void TestTextFormat::lineEndsWrittenAsCrLf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("LF") << "a\nb\n" << QByteArray("a\r\nb\r\n");
    QTest::newRow("CR LF stays") << "a\r\nb" << QByteArray("a\r\nb");
    QTest::newRow("leading LF") << "\n\n" << QByteArray("\r\n\r\n");
    QTest::newRow("no line end") << "ab" << QByteArray("ab");
    // Over a million characters go out in slices: no cut may fall between
    // a CR and its LF, in the ASCII path or the code page's.
    // Shifted by one and two characters, one of the cuts meets each place
    // in a line: after its CR too.
    for (const char *line : {"a", "я"})
        for (int shift = 0; shift < 3; ++shift) {
            const QString text = QString(shift, u'x')
                                 + (QString::fromUtf8(line) + QStringLiteral("\r\n")).repeated(400000);
            QTest::addRow("1.2 Mi characters, lines of %s, shifted by %d", line, shift)
                << text << encodeText(text);
        }
}

void TestTextFormat::lineEndsWrittenAsCrLf()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    Sandbox work;
    QVERIFY(replaceFile(work.path("whole"), "files/whole", text).ok());
    QCOMPARE(work.read("whole"), expected);
    QVERIFY(appendToFile(work.path("appended"), "files/appended", text).ok());
    QVERIFY(appendToFile(work.path("appended"), "files/appended", text).ok());
    QCOMPARE(work.read("appended"), expected + expected);
}

void TestTextFormat::charactersOutsideCodePage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("missing");
    QTest::newRow("latin and cyrillic") << "abc Жж 1.5 €№" << "";
    QTest::newRow("chinese") << "a中b中" << "中";
    QTest::newRow("emoji") << "x😀" << "😀";
    QTest::newRow("greek and emoji") << "λ😀λ" << "λ😀";
}

void TestTextFormat::charactersOutsideCodePage()
{
    QFETCH(QString, text);
    QFETCH(QString, missing);
    QCOMPARE(ravno::charactersOutsideCodePage(text), missing);
}

QTEST_GUILESS_MAIN(TestTextFormat)
#include "tst_textformat.moc"
