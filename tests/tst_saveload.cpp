#include "core/arraytext.h"
#include "storage/arrayfile.h"
#include "testsupport.h"
#include "ui/common/layout.h"
#include "ui/common/printbox.h"
#include "ui/editor/form2.h"
#include "ui/main/form1.h"
#include "ui/saveload/form3.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace ravno;
using namespace ravno::test;

namespace {

// The save/load window now on screen (or hidden, but not yet destroyed).
Form3 *saveLoadWindow()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *form = qobject_cast<Form3 *>(window))
            return form;
    return nullptr;
}

// An editor with its save/load window, as the main window sets it up.
struct Editing
{
    explicit Editing(bool withFilesFolder = true, const QLocale &locale = QLocale::c())
        : box(withFilesFolder, locale), editor(*box.context)
    {
        attachSaveLoadWindow(editor, *box.context);
        editor.showEditor();
    }

    Form3 *open()
    {
        QTest::mouseClick(child<QPushButton>(&editor, "Command3"), Qt::LeftButton);
        return saveLoadWindow();
    }

    QString text() { return child<QLineEdit>(&editor, "Text1")->text(); }
    QString order() { return child<QLineEdit>(&editor, "Text2")->text(); }
    void setArray(int position, const QString &text)
    {
        child<QScrollBar>(&editor, "VScroll1")->setValue(position);
        child<QLineEdit>(&editor, "Text1")->setText(text);
    }

    Sandbox box;
    Form2 editor;
};

// Types into the name box as a person does, Cyrillic included.
void typeName(Form3 *form, const QString &name)
{
    QLineEdit *edit = child<QComboBox>(form, "Combo1")->lineEdit();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar c : name)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void click(Form3 *form, const char *button)
{
    QTest::mouseClick(child<QPushButton>(form, button), Qt::LeftButton);
}

QStringList listed(QComboBox *combo)
{
    QStringList names;
    for (int i = 0; i < combo->count(); ++i)
        names << combo->itemText(i);
    return names;
}

QStringList listed(QListWidget *list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

void selectName(Form3 *form, const QString &name)
{
    auto *list = child<QListWidget>(form, "Combo2");
    const auto found = list->findItems(name, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(name));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
    QCOMPARE(list->selectedItems().value(0), found.first());
}

bool catalogueViewShown(Form3 *form)
{
    return child<QPlainTextEdit>(form, "Text1")->isVisible()
           && child<QPushButton>(form, "Command4")->isVisible()
           && child<QPushButton>(form, "Command5")->isVisible()
           && !child<QPushButton>(form, "Command3")->isVisible();
}

} // namespace

class TestSaveLoad : public QObject
{
    Q_OBJECT
private slots:
    void initialState();
    void controls_data();
    void controls();
    void boxColours_data();
    void boxColours();
    void tabOrder_data();
    void tabOrder();
    void saving_data();
    void saving();
    void loadWithNothingSelected();
    void roundTrip_data();
    void roundTrip();
    void nameWithComma();
    void catalogueViewAndRewrite();
    void rewriteKeepsNames_data();
    void rewriteKeepsNames();
    void refusedNames_data();
    void refusedNames();
    void failedLoads_data();
    void failedLoads();
    void missingFilesFolder();
    void largeNamedArray();
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
    // The window opens with the first control in tab order focused.
    QCOMPARE(QApplication::focusWidget(), child<QPushButton>(form, "Command1"));
    QVERIFY(form->windowFlags().testFlag(Qt::Tool));
    QVERIFY(!(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(form->size(), twipsRect(form, 0, 0, 4710, 4410).size());
    QCOMPARE(child<QComboBox>(form, "Combo1")->currentText(), QStringLiteral("Combo1"));
    QVERIFY(child<QCheckBox>(form, "Check1")->isChecked());
    QVERIFY(!catalogueViewShown(form));
    // The view opens where its button stood.
    QCOMPARE(child<QPlainTextEdit>(form, "Text1")->pos(), child<QPushButton>(form, "Command3")->pos());
    // The caption of the tick box is read whole, short of the list.
    auto *check = child<QCheckBox>(form, "Check1");
    QVERIFY(check->width() >= check->sizeHint().width());
    QVERIFY(check->geometry().right() < child<QListWidget>(form, "Combo2")->x());
}

void TestSaveLoad::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<bool>("shown");
    QTest::newRow("Command1") << "Command1" << "Сохранить" << "Сохранить текущий массив"
                              << QRect(240, 120, 2055, 255) << true;
    QTest::newRow("Command2") << "Command2" << "Загрузить" << "" << QRect(2400, 120, 2055, 255)
                              << true;
    QTest::newRow("Combo1") << "Combo1" << "Combo1" << "В какой файл сохраняем"
                            << QRect(240, 360, 2055, 315) << true;
    QTest::newRow("Check1") << "Check1" << "Добавить в список" << "Добавить в SaveList"
                            << QRect(240, 720, 1815, 255) << true;
    QTest::newRow("Combo2") << "Combo2" << "" << "Список доступных массивов"
                            << QRect(2400, 360, 2055, 2010) << true;
    QTest::newRow("Command3") << "Command3" << "Редактировать список"
                              << "Показать содержимое SaveList" << QRect(240, 1080, 2055, 255)
                              << true;
    QTest::newRow("Text1") << "Text1" << "" << "Содержимое SaveList" << QRect(240, 1080, 1935, 2685)
                           << false;
    QTest::newRow("Command4") << "Command4" << "Сохранить" << "Сохранить новое содержимое в SaveList"
                              << QRect(240, 3840, 975, 255) << false;
    QTest::newRow("Command5") << "Command5" << "Скрыть" << "Скрыть SaveList"
                              << QRect(240, 4080, 975, 255) << false;
    QTest::newRow("Command6") << "Command6" << "Готово" << "Перейти к редактору массивов"
                              << QRect(3240, 2520, 1215, 255) << true;
}

void TestSaveLoad::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    QFETCH(QRect, twips);
    QFETCH(bool, shown);
    Editing editing;
    Form3 *form = editing.open();
    auto *control = child<QWidget>(form, qPrintable(name));
    QCOMPARE(control->toolTip(), toolTip);
    QCOMPARE(control->isVisible(), shown);
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        QCOMPARE(button->text(), caption);
    else if (auto *combo = qobject_cast<QComboBox *>(control))
        QCOMPARE(combo->currentText(), caption);
    const QRect expected = twipsRect(form, twips.x(), twips.y(), twips.width(), twips.height());
    // The tick box may grow to the right where the type is wider than drawn for.
    if (qobject_cast<QCheckBox *>(control)) {
        QCOMPARE(control->pos(), expected.topLeft());
        QCOMPARE(control->height(), expected.height());
        QVERIFY(control->width() >= expected.width());
    } else {
        QCOMPARE(control->geometry(), expected);
    }
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

void TestSaveLoad::saving_data()
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
    QTest::newRow("two blanks are a name") << "  " << true << 1 << true << QStringList{"  "}
                                           << QByteArray("old\r\n\r\n  \r\n\r\n");
    QTest::newRow("Cyrillic name") << "массив" << true << 1 << false << QStringList{"массив"}
                                   << QByteArray("old\r\n\r\n\xec\xe0\xf1\xf1\xe8\xe2\r\n\r\n");
}

void TestSaveLoad::saving()
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
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(4, check->height() / 2));
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
}

void TestSaveLoad::loadWithNothingSelected()
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

void TestSaveLoad::roundTrip_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("point, Command2") << QLocale::c() << false;
    QTest::newRow("Russian comma, Enter in Combo2") << QLocale(QLocale::Russian, QLocale::Russia) << true;
}

void TestSaveLoad::roundTrip()
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

    selectName(form, QStringLiteral("дроби"));
    if (byEnter)
        QTest::keyClick(child<QListWidget>(form, "Combo2"), Qt::Key_Return);
    else
        click(form, "Command2");
    QCOMPARE(editing.order(), QStringLiteral("2"));
    QCOMPARE(editing.text(), QStringLiteral("1.5 -2 0.25 0.5 3 -4.75 "));
    QCOMPARE(matrixValues(editing.box.context->workspace), matrix);
    QCOMPARE(child<QLabel>(&editing.editor, "Label1")->text(), preview);
    QVERIFY(editing.box.messages.boxes.isEmpty());
}

void TestSaveLoad::nameWithComma()
{
    Editing editing;
    Form3 *form = editing.open();
    typeName(form, QStringLiteral("a,b"));
    click(form, "Command1");
    QCOMPARE(listed(child<QListWidget>(form, "Combo2")), QStringList{"a,b"});
    QCOMPARE(listed(child<QComboBox>(form, "Combo1")), QStringList{"a,b"});
    selectName(form, QStringLiteral("a,b"));
    click(form, "Command2");
    QVERIFY(editing.box.messages.boxes.isEmpty());

    click(form, "Command3");
    QCOMPARE(child<QPlainTextEdit>(form, "Text1")->toPlainText(), QStringLiteral("\na\nb\n\n"));
    click(form, "Command4");
    QCOMPARE(editing.box.read(QStringLiteral("SaveList")), QByteArray("\r\na\r\nb\r\n\r\n\r\n\r\n"));
    QCOMPARE(listed(child<QListWidget>(form, "Combo2")), (QStringList{"a", "b"}));
}

void TestSaveLoad::catalogueViewAndRewrite()
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

    // A save with Check1 ticked refills the lists; the view stays open.
    click(form, "Command1");
    QVERIFY(catalogueViewShown(form));
    QCOMPARE(listed(child<QListWidget>(form, "Combo2")), (QStringList{"x", "Combo1"}));

    click(form, "Command5");
    QVERIFY(!catalogueViewShown(form));
    QVERIFY(!view->isVisible());
    QCOMPARE(view->toPlainText(), QStringLiteral("x\n\n"));

    click(form, "Command3");
    QCOMPARE(view->toPlainText(), QStringLiteral("x\n\n\n\nCombo1\n\n"));
    view->setPlainText(QStringLiteral("первый\n \n  \nвторой"));
    click(form, "Command4");
    QCOMPARE(editing.box.read(QStringLiteral("SaveList")),
             QByteArray("\xef\xe5\xf0\xe2\xfb\xe9\r\n \r\n  \r\n\xe2\xf2\xee\xf0\xee\xe9\r\n\r\n"));
    // One blank is no name, two blanks are.
    QCOMPARE(listed(child<QListWidget>(form, "Combo2")), (QStringList{"первый", "  ", "второй"}));
    QVERIFY(editing.box.messages.boxes.isEmpty());
}

void TestSaveLoad::rewriteKeepsNames_data()
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

void TestSaveLoad::rewriteKeepsNames()
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

void TestSaveLoad::refusedNames_data()
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

void TestSaveLoad::refusedNames()
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
    QCOMPARE(QDir(editing.box.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"files"});
    QCOMPARE(QDir(editing.box.path(QString())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot,
                                                               QDir::Name | QDir::IgnoreCase),
             (QStringList{"lastans", "SaveList"}));
}

void TestSaveLoad::failedLoads_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file
    QTest::newRow("missing named file") << QByteArray();
    QTest::newRow("order above 10") << QByteArray(" 1 \r\n 5 \r\n");
    QTest::newRow("order below 2") << QByteArray(" 11 \r\n 5 \r\n");
    QTest::newRow("no order at all") << QByteArray("\r\n 5 \r\n");
}

void TestSaveLoad::failedLoads()
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

void TestSaveLoad::missingFilesFolder()
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
    QVERIFY(!QDir(editing.box.dir.path()).exists(QStringLiteral("files")));
}

void TestSaveLoad::largeNamedArray()
{
    Editing editing;
    QByteArray file(" 2 \r\n");
    QString expected;
    for (int i = 0; i < 100000; ++i) {
        file += ' ' + QByteArray::number(i % 89) + " \r\n";
        expected += QString::number(i % 89) + u' ';
    }
    QVERIFY(editing.box.write(QStringLiteral("big"), file));
    QVERIFY(editing.box.write(QStringLiteral("SaveList"), "big\r\n"));
    Form3 *form = editing.open();
    selectName(form, QStringLiteral("big"));
    QElapsedTimer timer;
    timer.start();
    click(form, "Command2");
    qInfo("loaded 100000 values in %lld ms", timer.elapsed());
    QCOMPARE(editing.text(), expected);
    QCOMPARE(editing.order(), QStringLiteral("10"));

    // The same end state as appending the values one by one.
    Workspace reference;
    reference.resize(10);
    fillFromText(reference, 10, expected, QLocale::c());
    QCOMPARE(matrixValues(editing.box.context->workspace), matrixValues(reference));
}

void TestSaveLoad::closing_data()
{
    QTest::addColumn<bool>("byCloseBox");
    QTest::newRow("Готово") << false;
    QTest::newRow("close box") << true;
}

void TestSaveLoad::closing()
{
    QFETCH(bool, byCloseBox);
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
    if (byCloseBox)
        form->close();
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
    QTest::mouseClick(child<QCheckBox>(form, "Check1"), Qt::LeftButton, {}, QPoint(4, 4));
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
    QTest::mouseClick(child<QPushButton>(&main, "Command1"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(main.editor(), "Command3"), Qt::LeftButton);
    Form3 *form = saveLoadWindow();
    QVERIFY(form && form->isVisible());
    QTest::mouseClick(child<QPushButton>(main.editor(), "Command4"), Qt::LeftButton);
    QVERIFY(main.isVisible() && form->isVisible());

    auto *picture = child<PrintBox>(&main, "Picture1");
    QTest::mouseClick(child<QPushButton>(&main, "Command2"), Qt::LeftButton);
    QCOMPARE(picture->printedLines(), QStringList{"one"});
    QVERIFY(box.context->files.isPaging());

    click(form, "Command1");
    QVERIFY(!box.context->files.isPaging());
    QTest::mouseClick(child<QPushButton>(&main, "Command7"), Qt::LeftButton);
    QCOMPARE(picture->printedLines(), QStringList{"one"});
    QVERIFY(box.messages.boxes.isEmpty());
    QCOMPARE(box.read(QStringLiteral("lastans")), QByteArray("one\r\ntwo\r\n\r\n"));

    // Closing the window brings the editor back beside the main window.
    click(form, "Command6");
    QVERIFY(main.editor()->isVisible());
}

QTEST_MAIN(TestSaveLoad)
#include "tst_saveload.moc"
