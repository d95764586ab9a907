// SPDX-License-Identifier: GPL-3.0-or-later
#include "saveloadfixture.h"
#include "app/startup.h"
#include "core/text/pastedsystem.h"
#include "storage/catalogue.h"

using namespace ravno;
using namespace ravno::test;

// Saving and loading named arrays through the save/load window, and the
// catalogue view: what reaches the disk and the editor, and what is refused.
class TestSaveLoadFiles : public QObject
{
    Q_OBJECT
private slots:
    void saving_data();
    void saving();
    void loadWithNothingSelected();
    void roundTrip_data();
    void roundTrip();
    void namesThatWouldNotComeBack_data();
    void namesThatWouldNotComeBack();
    void catalogueViewAndRewrite();
    void rewriteKeepsNames_data();
    void rewriteKeepsNames();
    void refusedNames_data();
    void refusedNames();
    void failedLoads_data();
    void failedLoads();
    void missingFilesFolder();
    void listingToldAfterTheNames_data();
    void listingToldAfterTheNames();
    void largeNamedArray();
};

void TestSaveLoadFiles::saving_data()
{
    QTest::addColumn<QString>("name"); // empty: keep the initial "Combo1"
    QTest::addColumn<bool>("tick");
    QTest::addColumn<int>("saves");
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QByteArray>("catalogue");

    QTest::newRow("at once under Combo1") << "" << true << 1 << false << QStringList{"Combo1"}
                                          << QByteArray("old\r\n\r\nCombo1\r\n\r\n");
    QTest::newRow("Enter in Combo1") << "" << true << 1 << true << QStringList{"Combo1"}
                                     << QByteArray("old\r\n\r\nCombo1\r\n\r\n");
    QTest::newRow("same name twice") << "twice" << true << 2 << false
                                     << QStringList{"twice", "twice"}
                                     << QByteArray("old\r\n\r\ntwice\r\n\r\ntwice\r\n\r\n");
    QTest::newRow("Check1 cleared") << "unlisted" << false << 1 << false << QStringList{}
                                    << QByteArray("old\r\n\r\n");
    QTest::newRow("two blanks, unlisted") << "  " << false << 1 << true << QStringList{}
                                          << QByteArray("old\r\n\r\n");
    QTest::newRow("Cyrillic name") << "массив" << true << 1 << false << QStringList{"массив"}
                                   << QByteArray("old\r\n\r\n\xec\xe0\xf1\xf1\xe8\xe2\r\n\r\n");
}

void TestSaveLoadFiles::saving()
{
    QFETCH(QString, name);
    QFETCH(bool, tick);
    QFETCH(int, saves);
    QFETCH(bool, byEnter);
    QFETCH(QStringList, names);
    QFETCH(QByteArray, catalogue);

    Editing editing;
    // Lines of one blank are not names.
    QVERIFY(editing.box.write(QStringLiteral("SaveList"), "old\r\n"));
    editing.setArray(9, QStringLiteral("1  2 x"));
    Form3 *form = editing.open();
    QCOMPARE(listed(child<QListWidget>(form, "Combo2")), QStringList{"old"});
    auto *check = child<QCheckBox>(form, "Check1");
    if (!tick)
        press(check, QPoint(4, check->height() / 2));
    QCOMPARE(check->isChecked(), tick);
    if (!name.isEmpty())
        typeName(form, name);
    const QString saved = name.isEmpty() ? QStringLiteral("Combo1") : name;
    for (int i = 0; i < saves; ++i) {
        if (byEnter)
            QTest::keyClick(child<QComboBox>(form, "Combo1"), Qt::Key_Return);
        else
            click(form, "Command1");
    }

    // From the editor's text, not the matrix: the empty and the unreadable
    // pieces are stored as 0, and nothing is added for the rest of order 3.
    QCOMPARE(editing.box.read(saved), QByteArray(" 9 \r\n 1 \r\n 0 \r\n 2 \r\n 0 \r\n"));
    QCOMPARE(editing.box.read(QStringLiteral("SaveList")), catalogue);
    QCOMPARE(listed(child<QComboBox>(form, "Combo1")), QStringList{"old"} + names);
    QCOMPARE(listed(child<QListWidget>(form, "Combo2")), QStringList{"old"} + names);
    QCOMPARE(child<QComboBox>(form, "Combo1")->currentText(), saved);
    QCOMPARE(editing.text(), QStringLiteral("1  2 x"));
    QVERIFY(editing.box.messages.boxes.isEmpty());
    QCOMPARE(child<QLabel>(form, "Label1")->text(),
             QStringLiteral("Сохранено: files/%1, %2").arg(saved, tick ? "в списке" : "не в списке"));
}

void TestSaveLoadFiles::loadWithNothingSelected()
{
    Editing editing;
    QVERIFY(editing.box.write(QStringLiteral("SaveList"), "kept\r\n"));
    QVERIFY(editing.box.write(QStringLiteral("kept"), " 10 \r\n 1 \r\n"));
    Form3 *form = editing.open();
    const QString before = editing.text();
    click(form, "Command2");
    QTest::keyClick(child<QListWidget>(form, "Combo2"), Qt::Key_Return);
    // Saving with an emptied name does nothing either.
    typeName(form, QString());
    click(form, "Command1");
    QCOMPARE(editing.text(), before);
    QCOMPARE(editing.order(), QStringLiteral("4"));
    QCOMPARE(editing.box.read(QStringLiteral("SaveList")), QByteArray("kept\r\n\r\n"));
    QVERIFY(editing.box.messages.boxes.isEmpty());
}

void TestSaveLoadFiles::roundTrip_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("point, Command2") << QLocale::c() << false;
    QTest::newRow("Russian comma, Tab into Combo2, Return") << QLocale(QLocale::Russian, QLocale::Russia) << true;
}

void TestSaveLoadFiles::roundTrip()
{
    QFETCH(QLocale, locale);
    QFETCH(bool, byEnter);
    Editing editing(true, locale);
    editing.setArray(10, QStringLiteral("1.5 -2 0.25 0.5 3 -4.75"));
    const QString preview = child<QLabel>(&editing.editor, "Label1")->text();
    QVERIFY(preview.contains(locale.decimalPoint()));
    const QList<double> matrix = matrixValues(editing.box.context->workspace);

    Form3 *form = editing.open();
    typeName(form, QStringLiteral("дроби"));
    click(form, "Command1");
    QCOMPARE(editing.box.read(QStringLiteral("дроби")),
             QByteArray(" 10 \r\n 1.5 \r\n-2 \r\n 0.25 \r\n 0.5 \r\n 3 \r\n-4.75 \r\n"));

    editing.editor.findChild<QAction *>(QStringLiteral("new"))->trigger();
    QCOMPARE(editing.order(), QStringLiteral("2"));
    QVERIFY(matrixValues(editing.box.context->workspace) != matrix);
    child<QScrollBar>(&editing.editor, "VScroll1")->setValue(5);

    if (byEnter) { // tabbing into the list marks its name; Return loads it
        QVERIFY(QTest::qWaitForWindowActive(form));
        child<QWidget>(form, "Check1")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form->windowHandle(), Qt::Key_Tab);
        QTest::keyClick(form->windowHandle(), Qt::Key_Return);
    } else {
        selectName(form, QStringLiteral("дроби"));
        click(form, "Command2");
    }
    QCOMPARE(editing.order(), QStringLiteral("2"));
    QCOMPARE(editing.text(), QStringLiteral("1.5 -2 0.25 0.5 3 -4.75"));
    QCOMPARE(matrixValues(editing.box.context->workspace), matrix);
    QCOMPARE(child<QLabel>(&editing.editor, "Label1")->text(), preview);
    QVERIFY(editing.box.messages.boxes.isEmpty());
}

void TestSaveLoadFiles::namesThatWouldNotComeBack_data()
{
    QTest::addColumn<QString>("name");
    // Two of the reasons; the catalogue test has every such name.
    QTest::newRow("comma") << "a,b";
    QTest::newRow("one blank") << " ";
}

// With "Добавить в список" ticked, a name the catalogue would not give back
// as typed is refused before anything is written; unticked, it is saved.
void TestSaveLoadFiles::namesThatWouldNotComeBack()
{
    QFETCH(QString, name);
    Editing editing;
    Form3 *form = editing.open();
    const QByteArray catalogue = editing.box.read(QStringLiteral("SaveList"));
    typeName(form, name);
    click(form, "Command1");
    QCOMPARE(editing.box.messages.boxes.size(), 1);
    QCOMPARE(editing.box.messages.boxes[0].title, QStringLiteral("Ошибка"));
    QVERIFY2(editing.box.messages.boxes[0].text.contains(QStringLiteral("«%1»").arg(name)),
             qPrintable(editing.box.messages.boxes[0].text));
    QVERIFY(!editing.box.exists(name));
    QCOMPARE(editing.box.read(QStringLiteral("SaveList")), catalogue);

    auto *check = child<QCheckBox>(form, "Check1");
    press(check, QPoint(4, check->height() / 2));
    click(form, "Command1");
    QCOMPARE(editing.box.messages.boxes.size(), 1);
    QVERIFY(editing.box.exists(name));
    QCOMPARE(editing.box.read(QStringLiteral("SaveList")), catalogue);
}

void TestSaveLoadFiles::catalogueViewAndRewrite()
{
    Editing editing;
    QVERIFY(editing.box.write(QStringLiteral("SaveList"), "x\r\n"));
    Form3 *form = editing.open();
    auto *view = child<QPlainTextEdit>(form, "Text1");
    QCOMPARE(editing.box.read(QStringLiteral("SaveList")), QByteArray("x\r\n\r\n"));
    QVERIFY(!catalogueViewShown(form));

    click(form, "Command3");
    QVERIFY(catalogueViewShown(form));
    QCOMPARE(view->toPlainText(), QStringLiteral("x\n\n"));
    // Every rewrite adds the text's own line end and the refill adds one more.
    click(form, "Command4");
    QCOMPARE(editing.box.read(QStringLiteral("SaveList")), QByteArray("x\r\n\r\n\r\n\r\n"));
    QVERIFY(catalogueViewShown(form));
    QCOMPARE(view->toPlainText(), QStringLiteral("x\n\n"));

    // A save with Check1 ticked refills the lists; the view stays open, and
    // its rewrite keeps the name saved meanwhile, at the end.
    click(form, "Command1");
    QVERIFY(catalogueViewShown(form));
    QCOMPARE(listed(child<QListWidget>(form, "Combo2")), (QStringList{"x", "Combo1"}));
    click(form, "Command4");
    QCOMPARE(editing.box.read(QStringLiteral("SaveList")), QByteArray("x\r\n\r\n\r\nCombo1\r\n\r\n"));
    QCOMPARE(listed(child<QListWidget>(form, "Combo2")), (QStringList{"x", "Combo1"}));
    QCOMPARE(view->toPlainText(), QStringLiteral("x\n\n\nCombo1"));

    click(form, "Command5");
    QVERIFY(!catalogueViewShown(form));
    QVERIFY(!view->isVisible());

    click(form, "Command3");
    QCOMPARE(view->toPlainText(), QStringLiteral("x\n\n\nCombo1\n\n"));
    view->setPlainText(QStringLiteral("первый\n \n  \nвторой"));
    click(form, "Command4");
    QCOMPARE(editing.box.read(QStringLiteral("SaveList")),
             QByteArray("\xef\xe5\xf0\xe2\xfb\xe9\r\n \r\n  \r\n\xe2\xf2\xee\xf0\xee\xe9\r\n\r\n"));
    // One blank is no name, two blanks are.
    QCOMPARE(listed(child<QListWidget>(form, "Combo2")), (QStringList{"первый", "  ", "второй"}));
    QVERIFY(editing.box.messages.boxes.isEmpty());
}

void TestSaveLoadFiles::rewriteKeepsNames_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("shiftEnterBetween"); // a line break typed after the text
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("no-break space") << QStringLiteral("a\u00A0b\nc") << false
                                    << QByteArray("a\xA0" "b\r\nc\r\n\r\n")
                                    << QStringList{QStringLiteral("a\u00A0b"), "c"};
    QTest::newRow("tab kept") << QStringLiteral("a\tb") << false << QByteArray("a\tb\r\n\r\n")
                              << QStringList{"a\tb"};
    QTest::newRow("Shift+Enter is a line end") << QStringLiteral("a") << true
                                               << QByteArray("a\r\nb\r\n\r\n")
                                               << QStringList{"a", "b"};
}

void TestSaveLoadFiles::rewriteKeepsNames()
{
    QFETCH(QString, text);
    QFETCH(bool, shiftEnterBetween);
    QFETCH(QByteArray, catalogue);
    QFETCH(QStringList, names);
    Editing editing;
    Form3 *form = editing.open();
    click(form, "Command3");
    auto *view = child<QPlainTextEdit>(form, "Text1");
    view->setPlainText(text);
    if (shiftEnterBetween) {
        view->moveCursor(QTextCursor::End);
        QTest::keyClick(view, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(view, Qt::Key_B);
    }
    click(form, "Command4");
    QCOMPARE(editing.box.read(QStringLiteral("SaveList")), catalogue);
    QCOMPARE(listed(child<QListWidget>(form, "Combo2")), names);
    QVERIFY(editing.box.messages.boxes.isEmpty());
}

void TestSaveLoadFiles::refusedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("listable"); // may stand in a catalogue edited by hand
    QTest::newRow("leaves files") << "../x" << true;
    QTest::newRow("sub-folder") << "a/b" << true;
    QTest::newRow("backslash") << "a\\b" << true;
    QTest::newRow("the catalogue") << "SaveList" << true;
    QTest::newRow("the answer log in capitals") << "LASTANS" << true;
    QTest::newRow("parent folder") << ".." << true;
    // SaveList could not hold it, so it could never be loaded again.
    QTest::newRow("outside the code page") << "x\u540D" << false;
}

void TestSaveLoadFiles::refusedNames()
{
    QFETCH(QString, name);
    QFETCH(bool, listable);
    Editing editing;
    QVERIFY(editing.box.write(QStringLiteral("lastans"), "1.000  \r\n"));
    const QByteArray listed = listable ? name.toLatin1() : QByteArray("other");
    QVERIFY(editing.box.write(QStringLiteral("SaveList"), listed + "\r\n"));
    Form3 *form = editing.open();
    const QString before = editing.text();

    typeName(form, name);
    click(form, "Command1");
    QCOMPARE(editing.box.messages.boxes.size(), 1);
    QCOMPARE(editing.box.messages.boxes[0].title, QStringLiteral("Ошибка"));
    QVERIFY(!editing.box.messages.boxes[0].text.isEmpty());

    if (listable) {
        // Listed in a catalogue edited by hand, it is refused on loading too.
        selectName(form, name);
        click(form, "Command2");
        QCOMPARE(editing.box.messages.boxes.size(), 2);
        QCOMPARE(editing.box.messages.boxes[1].title, QStringLiteral("Ошибка"));
    }

    QCOMPARE(editing.text(), before);
    QCOMPARE(editing.box.read(QStringLiteral("SaveList")), listed + "\r\n\r\n");
    QCOMPARE(editing.box.read(QStringLiteral("lastans")), QByteArray("1.000  \r\n"));
    QCOMPARE(QDir(editing.box.workingPath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"files"});
    QCOMPARE(QDir(editing.box.path(QString())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot,
                                                               QDir::Name | QDir::IgnoreCase),
             (QStringList{"lastans", "SaveList"}));
}

void TestSaveLoadFiles::failedLoads_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file
    QTest::newRow("missing named file") << QByteArray();
    QTest::newRow("order above 10") << QByteArray(" 1 \r\n 5 \r\n");
    QTest::newRow("order below 2") << QByteArray(" 11 \r\n 5 \r\n");
    QTest::newRow("no order at all") << QByteArray("\r\n 5 \r\n");
}

void TestSaveLoadFiles::failedLoads()
{
    QFETCH(QByteArray, content);
    Editing editing;
    QVERIFY(editing.box.write(QStringLiteral("SaveList"), "stored\r\n"));
    if (!content.isEmpty())
        QVERIFY(editing.box.write(QStringLiteral("stored"), content));
    Form3 *form = editing.open();
    const QString before = editing.text();
    const QList<double> matrix = matrixValues(editing.box.context->workspace);

    selectName(form, QStringLiteral("stored"));
    click(form, "Command2");
    QCOMPARE(editing.box.messages.boxes.size(), 1);
    QCOMPARE(editing.box.messages.boxes[0].title, QStringLiteral("Ошибка"));
    QVERIFY2(editing.box.messages.boxes[0].text.contains(QStringLiteral("stored")),
             qPrintable(editing.box.messages.boxes[0].text));
    QCOMPARE(editing.text(), before);
    QCOMPARE(editing.order(), QStringLiteral("4"));
    QCOMPARE(matrixValues(editing.box.context->workspace), matrix);
    QCOMPARE(editing.box.read(QStringLiteral("stored")), content.isEmpty() ? QByteArray("<missing>") : content);
}

void TestSaveLoadFiles::missingFilesFolder()
{
    Editing editing(false);
    const QString before = editing.text();
    Form3 *form = editing.open();
    QVERIFY(form && form->isVisible());
    QCOMPARE(editing.box.messages.boxes.size(), 1);
    click(form, "Command1");
    click(form, "Command3");
    QCOMPARE(editing.box.messages.boxes.size(), 3);
    for (const auto &shown : editing.box.messages.boxes) {
        QCOMPARE(shown.title, QStringLiteral("Ошибка"));
        QVERIFY2(shown.text.contains(QStringLiteral("files")), qPrintable(shown.text));
    }
    // The view stays closed, so an unread catalogue can never be rewritten.
    QVERIFY(!catalogueViewShown(form));
    QCOMPARE(child<QListWidget>(form, "Combo2")->count(), 0);
    QCOMPARE(editing.text(), before);
    QVERIFY(!QDir(editing.box.workingPath()).exists(QStringLiteral("files")));
}

void TestSaveLoadFiles::listingToldAfterTheNames_data()
{
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<bool>("limited"); // the catalogue cannot grow
    QTest::addColumn<QString>("told");
    const QByteArray many = QByteArray("n\r\n").repeated(kMostListedNames + 1);
    QTest::newRow("more names than the lists show")
        << many << false
        << "В списке files/SaveList больше 100\u00a0000 имён; показаны первые 100\u00a0000.";
    QTest::newRow("no empty line before the reading")
        << QByteArray("a\r\nb\r\n") << true
        << "Не удалось записать файл files/SaveList: файл превысил допустимый размер (";
    QTest::newRow("both: the failed write is told")
        << many << true
        << "Не удалось записать файл files/SaveList: файл превысил допустимый размер (";
}

// The lists are filled first; then the window tells what the reading went
// on past, once.
void TestSaveLoadFiles::listingToldAfterTheNames()
{
    QFETCH(QByteArray, catalogue);
    QFETCH(bool, limited);
    QFETCH(QString, told);
    prepareProcess();
    Editing editing;
    QVERIFY(editing.box.write(QStringLiteral("SaveList"), catalogue));
    std::optional<FileSizeLimit> limit;
    if (limited)
        QVERIFY(limit.emplace(rlim_t(catalogue.size())).set());
    Form3 *form = editing.open();
    QVERIFY(form && form->isVisible());
    QCOMPARE(child<QListWidget>(form, "Combo2")->count(),
             std::min<qsizetype>(kMostListedNames, catalogue.count('\n')));
    QCOMPARE(editing.box.messages.boxes.size(), 1);
    QCOMPARE(editing.box.messages.boxes[0].title, QStringLiteral("Ошибка"));
    QVERIFY2(editing.box.messages.boxes[0].text.startsWith(told),
             qPrintable(editing.box.messages.boxes[0].text));
}

void TestSaveLoadFiles::largeNamedArray()
{
    Editing editing;
    QByteArray file(" 2 \r\n");
    QString expected;
    for (int i = 0; i < kMostValues; ++i) {
        file += ' ' + QByteArray::number(i % 89) + " \r\n";
        expected += QString::number(i % 89) + u' ';
    }
    expected.chop(1);
    QVERIFY(editing.box.write(QStringLiteral("big"), file));
    QVERIFY(editing.box.write(QStringLiteral("SaveList"), "big\r\n"));
    Form3 *form = editing.open();
    selectName(form, QStringLiteral("big"));
    click(form, "Command2");
    QCOMPARE(editing.text(), expected);
    QCOMPARE(editing.order(), QStringLiteral("10"));

    // The same end state as appending the values one by one.
    Workspace reference;
    reference.resize(10);
    fillFromText(reference, 10, expected, QLocale::c());
    QCOMPARE(matrixValues(editing.box.context->workspace), matrixValues(reference));
}

QTEST_MAIN(TestSaveLoadFiles)
#include "tst_saveloadfiles.moc"
