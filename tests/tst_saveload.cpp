// SPDX-License-Identifier: GPL-3.0-or-later
#include "saveloadfixture.h"

using namespace ravno;
using namespace ravno::test;

// The save/load window as it looks and lives: controls, colours, tab order,
// opening, closing, and what its file commands do to the main window.
class TestSaveLoad : public QObject
{
    Q_OBJECT
private slots:
    void initialState();
    void boxColours_data();
    void boxColours();
    void tabOrder_data();
    void tabOrder();
    void closing_data();
    void closing();
    void editorCloseHidesAndReopenStartsAfresh();
    void fileCommandEndsAnswerPaging();
};

void TestSaveLoad::initialState()
{
    Editing editing;
    Form3 *form = editing.open();
    QVERIFY(form && form->isVisible());
    QCOMPARE(form->windowTitle(), QStringLiteral("Сохранение/Загрузка массивов"));
    QVERIFY(QTest::qWaitForWindowActive(form));
    // The window opens with the keyboard in the name box, its text
    // selected: a name typed at once replaces it, and Return saves under it.
    auto *name = child<QComboBox>(form, "Combo1");
    QVERIFY(QApplication::focusWidget() == name || QApplication::focusWidget() == name->lineEdit());
    QCOMPARE(name->lineEdit()->selectedText(), QStringLiteral("Combo1"));
    for (const char key : {'a', 'b', 'c'})
        QTest::keyClick(form->windowHandle(), key);
    QTest::keyClick(form->windowHandle(), Qt::Key_Return);
    QVERIFY(editing.box.exists(QStringLiteral("abc")));
    QCOMPARE(child<QLabel>(form, "Label1")->text(), QStringLiteral("Сохранено: files/abc, в списке"));
    QVERIFY(form->windowFlags().testFlag(Qt::Tool));
    // A screen reader announces it as a dialog, and the name box by its name.
    QCOMPARE(QAccessible::queryAccessibleInterface(form)->role(), QAccessible::Dialog);
    QCOMPARE(QAccessible::queryAccessibleInterface(name)->text(QAccessible::Name), QStringLiteral("Имя массива"));
    QCOMPARE(QAccessible::queryAccessibleInterface(name->lineEdit())->text(QAccessible::Name),
             QStringLiteral("Имя массива"));
    QVERIFY(!(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(child<QCheckBox>(form, "Check1")->isChecked());
    QVERIFY(!catalogueViewShown(form));
}



void TestSaveLoad::boxColours_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("Combo1") << "Combo1";
    QTest::newRow("Combo1 drop-down list") << "Combo1 list";
    QTest::newRow("Check1") << "Check1";
    QTest::newRow("Combo2") << "Combo2";
    QTest::newRow("Text1") << "Text1";
}

// Boxes are black with green text, the drop-down list of the name box included.
void TestSaveLoad::boxColours()
{
    QFETCH(QString, name);
    Editing editing;
    Form3 *form = editing.open();
    click(form, "Command3");
    QWidget *box = name == u"Combo1 list" ? child<QComboBox>(form, "Combo1")->view()
                                           : child<QWidget>(form, qPrintable(name));
    box->ensurePolished();
    const QPalette palette = box->palette();
    const bool textBox = !qobject_cast<QCheckBox *>(box);
    QCOMPARE(palette.color(textBox ? QPalette::Base : QPalette::Window), QColor(Qt::black));
    QCOMPARE(palette.color(textBox ? QPalette::Text : QPalette::WindowText), QColor(0, 255, 0));
}

void TestSaveLoad::tabOrder_data()
{
    QTest::addColumn<bool>("viewOpen");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("view closed") << false
                                 << QStringList{"Command1", "Command2", "Combo1", "Check1",
                                                "Combo2", "Command3", "Command6", "Command1"};
    QTest::newRow("view open") << true
                               << QStringList{"Command1", "Command2", "Combo1", "Check1", "Combo2",
                                              "Text1", "Command4", "Command5", "Command6"};
}

void TestSaveLoad::tabOrder()
{
    QFETCH(bool, viewOpen);
    QFETCH(QStringList, order);
    Editing editing;
    Form3 *form = editing.open();
    if (viewOpen)
        click(form, "Command3");
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    child<QPushButton>(form, "Command1")->setFocus(Qt::TabFocusReason);
    QStringList seen;
    for (qsizetype i = 0; i < order.size(); ++i) {
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(focused);
        // The name box's own line edit stands for the box.
        if (qobject_cast<QComboBox *>(focused->parentWidget()))
            focused = focused->parentWidget();
        seen << focused->objectName();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    QCOMPARE(seen, order);
}

void TestSaveLoad::closing_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("Готово") << "Command6";
    QTest::newRow("close box") << "close";
    QTest::newRow("Escape") << "Escape";
}

void TestSaveLoad::closing()
{
    QFETCH(QString, way);
    Editing editing;
    Form3 *form = editing.open();
    QVERIFY(form->isVisible());
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(editing.editor.isEnabled());

    // Asking again, by button or menu, keeps the one window.
    editing.editor.findChild<QAction *>(QStringLiteral("loadsave"))->trigger();
    QCOMPARE(editing.open(), form);

    editing.editor.hide();
    QPointer<Form3> watch(form);
    if (way == u"close")
        form->close();
    else if (way == u"Escape")
        QTest::keyClick(form->windowHandle(), Qt::Key_Escape);
    else
        click(form, "Command6");
    QVERIFY(!saveLoadWindow());
    QVERIFY(watch.isNull());
    QVERIFY(editing.editor.isVisible());
}

void TestSaveLoad::editorCloseHidesAndReopenStartsAfresh()
{
    Editing editing;
    Form3 *form = editing.open();
    typeName(form, QStringLiteral("typed"));
    press(child<QCheckBox>(form, "Check1"), QPoint(4, 4));
    click(form, "Command3");
    QVERIFY(catalogueViewShown(form));

    editing.editor.close();
    QVERIFY(!editing.editor.isVisible());
    QCOMPARE(saveLoadWindow(), form);
    QVERIFY(!form->isVisible());
    // Hidden, not closed: closing would have shown the editor again.
    QVERIFY(!editing.editor.isVisible());

    editing.editor.showEditor();
    QVERIFY(editing.box.write(QStringLiteral("SaveList"), "later\r\n"));
    Form3 *again = editing.open();
    QVERIFY(again && again->isVisible());
    QCOMPARE(child<QComboBox>(again, "Combo1")->currentText(), QStringLiteral("Combo1"));
    QVERIFY(child<QCheckBox>(again, "Check1")->isChecked());
    QVERIFY(!catalogueViewShown(again));
    QCOMPARE(listed(child<QListWidget>(again, "Combo2")), QStringList{"later"});
    QCOMPARE(editing.box.read(QStringLiteral("SaveList")), QByteArray("later\r\n\r\n"));
}

void TestSaveLoad::fileCommandEndsAnswerPaging()
{
    Sandbox box;
    QVERIFY(box.write(QStringLiteral("lastans"), "one\r\ntwo\r\n"));
    Form1 main(*box.context);
    main.show();
    press(child<QPushButton>(&main, "Command1"));
    press(child<QPushButton>(main.editor(), "Command3"));
    Form3 *form = saveLoadWindow();
    QVERIFY(form && form->isVisible());
    press(child<QPushButton>(main.editor(), "Command4"));
    QVERIFY(main.isVisible() && form->isVisible());

    auto *picture = child<PrintBox>(&main, "Picture1");
    press(child<QPushButton>(&main, "Command2"));
    QCOMPARE(picture->printedLines(), QStringList{"one"});
    QVERIFY(box.context->files.isPaging());

    click(form, "Command1");
    QVERIFY(!box.context->files.isPaging());
    press(child<QPushButton>(&main, "Command7"));
    QCOMPARE(picture->printedLines(), QStringList{"one"});
    QVERIFY(box.messages.boxes.isEmpty());
    QCOMPARE(box.read(QStringLiteral("lastans")), QByteArray("one\r\ntwo\r\n\r\n"));

    // Closing the window brings the editor back beside the main window.
    click(form, "Command6");
    QVERIFY(main.editor()->isVisible());
}

QTEST_MAIN(TestSaveLoad)
#include "tst_saveload.moc"
