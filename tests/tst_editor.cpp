// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/arraytext.h"
#include "core/text/pastedsystem.h"
#include "testsupport.h"
#include "ui/common/layout.h"
#include "ui/editor/form2.h"
#include "windowcheck.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace ravno;
using namespace ravno::test;

namespace {

QAction *action(Form2 &editor, const char *name)
{
    return editor.findChild<QAction *>(QLatin1String(name));
}

} // namespace

class TestEditor : public QObject
{
    Q_OBJECT
private slots:
    void opensWithRepeatableRandomContents();
    void scrollBarSetsOrder_data();
    void scrollBarSetsOrder();
    void randomOrderKeepsText();
    void newArrayAtOrderTwo();
    void loadWithoutLastArray();
    void saveThenLoadRoundTrip_data();
    void saveThenLoadRoundTrip();
    void saveEmptyContents();
    void refusedOrderChangesNothing();
    void createList_data();
    void createList();
    void closingReturnsAndSaves_data();
    void closingReturnsAndSaves();
    void exitDoesNotSave();
    void longTextIsKeptWhole();
    void noteOnMisreadPiece_data();
    void noteOnMisreadPiece();
    void largeLastArrayMatchesOneParse();
};

void TestEditor::opensWithRepeatableRandomContents()
{
    Sandbox first;
    Form2 editor(*first.context);
    auto *text = child<QLineEdit>(&editor, "Text1");
    QCOMPARE(child<QLineEdit>(&editor, "Text2")->text(), QStringLiteral("4"));
    QCOMPARE(child<QScrollBar>(&editor, "VScroll1")->value(), 8);
    QCOMPARE(text->text().size(), 40);
    QCOMPARE(first.context->workspace.order(), 4);
    QCOMPARE(child<QLabel>(&editor, "Label1")->text().count(u'\n'), 4);

    Sandbox second;
    Form2 again(*second.context);
    QCOMPARE(child<QLineEdit>(&again, "Text1")->text(), text->text());
}

void TestEditor::scrollBarSetsOrder_data()
{
    // A slider action, or a key pressed after Tab from the contents box.
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("order");
    const int none = 0;
    QTest::newRow("up arrow raises the order") << int(QAbstractSlider::SliderSingleStepSub) << none << 1 << "5";
    QTest::newRow("down arrow lowers it") << int(QAbstractSlider::SliderSingleStepAdd) << none << 2 << "2";
    QTest::newRow("stops at order 2") << int(QAbstractSlider::SliderSingleStepAdd) << none << 5 << "2";
    QTest::newRow("stops at order 10") << int(QAbstractSlider::SliderSingleStepSub) << none << 9 << "10";
    QTest::newRow("click above the thumb raises it by one")
        << int(QAbstractSlider::SliderPageStepSub) << none << 1 << "5";
    QTest::newRow("click below the thumb lowers it by one")
        << int(QAbstractSlider::SliderPageStepAdd) << none << 1 << "3";
    QTest::newRow("Up key raises it") << none << int(Qt::Key_Up) << 2 << "6";
    QTest::newRow("Down key lowers it") << none << int(Qt::Key_Down) << 1 << "3";
}

void TestEditor::scrollBarSetsOrder()
{
    QFETCH(int, action);
    QFETCH(int, key);
    QFETCH(int, steps);
    QFETCH(QString, order);
    Sandbox box;
    Form2 editor(*box.context);
    auto *text = child<QLineEdit>(&editor, "Text1");
    text->setText(QStringLiteral("1 2 3"));
    auto *scroll = child<QScrollBar>(&editor, "VScroll1");
    if (key) {
        editor.showEditor();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        text->setFocus();
        QTest::keyClick(text, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), scroll);
    }
    for (int i = 0; i < steps; ++i) {
        if (key)
            QTest::keyClick(scroll, Qt::Key(key));
        else
            scroll->triggerAction(QAbstractSlider::SliderAction(action));
    }
    QCOMPARE(child<QLineEdit>(&editor, "Text2")->text(), order);
    const int n = order.toInt();
    QCOMPARE(box.context->workspace.order(), n);
    // The same pieces laid out again over the new shape, cycling from the first.
    QCOMPARE(box.context->workspace.at(n - 1, n), double((n * (n + 1) - 1) % 3 + 1));
}

void TestEditor::randomOrderKeepsText()
{
    Sandbox box;
    Form2 editor(*box.context);
    editor.showEditor();
    auto *text = child<QLineEdit>(&editor, "Text1");
    const QString before = text->text();
    for (int i = 0; i < 10; ++i) {
        press(child<QPushButton>(&editor, "Command2"));
        const int position = child<QScrollBar>(&editor, "VScroll1")->value();
        QCOMPARE(box.context->workspace.order(), 12 - position);
    }
    QCOMPARE(text->text(), before);
}

void TestEditor::newArrayAtOrderTwo()
{
    Sandbox box;
    Form2 editor(*box.context);
    auto *text = child<QLineEdit>(&editor, "Text1");
    for (int round = 0; round < 2; ++round) {
        const QString before = text->text();
        action(editor, "new")->trigger();
        QCOMPARE(child<QLineEdit>(&editor, "Text2")->text(), QStringLiteral("2"));
        QCOMPARE(text->text().size(), 12);
        QVERIFY(text->text() != before);
    }
}

void TestEditor::loadWithoutLastArray()
{
    Sandbox box;
    Form2 editor(*box.context);
    const QString preview = child<QLabel>(&editor, "Label1")->text();
    const QString text = child<QLineEdit>(&editor, "Text1")->text();
    const QList<double> matrix = matrixValues(box.context->workspace);

    action(editor, "load")->trigger();
    QCOMPARE(box.read(QStringLiteral("LostMas")), QByteArray("\r\n"));
    QCOMPARE(box.messages.boxes.size(), 1);
    QCOMPARE(box.messages.boxes[0].title, QStringLiteral("Ошибка"));
    QCOMPARE(box.messages.boxes[0].text, QStringLiteral("Нет данных"));
    // The editor is left as it was, as by any load that fails: the line
    // shows the system that is previewed and will be solved.
    QCOMPARE(child<QLineEdit>(&editor, "Text1")->text(), text);
    QCOMPARE(child<QLineEdit>(&editor, "Text2")->text(), QStringLiteral("4"));
    QCOMPARE(child<QLabel>(&editor, "Label1")->text(), preview);
    QCOMPARE(matrixValues(box.context->workspace), matrix);
}

void TestEditor::saveThenLoadRoundTrip_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("point") << QLocale::c();
    QTest::newRow("Russian comma") << QLocale(QLocale::Russian, QLocale::Russia);
}

void TestEditor::saveThenLoadRoundTrip()
{
    QFETCH(QLocale, locale);
    Sandbox box(true, locale);
    Form2 editor(*box.context);
    auto *text = child<QLineEdit>(&editor, "Text1");
    child<QScrollBar>(&editor, "VScroll1")->setValue(9);
    text->setText(QStringLiteral("1.5 -2 0.25"));
    action(editor, "save")->trigger();
    QCOMPARE(box.read(QStringLiteral("LostMas")), QByteArray(" 9 \r\n 1.5 \r\n-2 \r\n 0.25 \r\n"));

    action(editor, "new")->trigger();
    action(editor, "load")->trigger();
    QCOMPARE(child<QLineEdit>(&editor, "Text2")->text(), QStringLiteral("3"));
    QCOMPARE(text->text(), QStringLiteral("1.5 -2 0.25"));
    QCOMPARE(box.context->workspace.at(0, 0), 1.5);
    QCOMPARE(box.context->workspace.at(0, 2), 0.25);
    QCOMPARE(box.context->workspace.at(0, 3), 1.5); // no empty piece joins the cycle
    // Each load leaves one more empty line, which later loads skip.
    action(editor, "load")->trigger();
    QCOMPARE(box.read(QStringLiteral("LostMas")), QByteArray(" 9 \r\n 1.5 \r\n-2 \r\n 0.25 \r\n\r\n\r\n"));
    QCOMPARE(text->text(), QStringLiteral("1.5 -2 0.25"));
    QVERIFY(box.messages.boxes.isEmpty());
}

void TestEditor::saveEmptyContents()
{
    Sandbox box;
    Form2 editor(*box.context);
    child<QLineEdit>(&editor, "Text1")->clear();
    action(editor, "save")->trigger();
    QCOMPARE(box.read(QStringLiteral("LostMas")), QByteArray(" 8 \r\n"));
}

void TestEditor::refusedOrderChangesNothing()
{
    Sandbox box;
    QVERIFY(box.write(QStringLiteral("LostMas"), " 42 \r\n 1 \r\n"));
    Form2 editor(*box.context);
    const QString before = child<QLineEdit>(&editor, "Text1")->text();
    action(editor, "load")->trigger();
    QCOMPARE(box.messages.boxes.size(), 1);
    QCOMPARE(box.messages.boxes[0].title, QStringLiteral("Ошибка"));
    QCOMPARE(child<QLineEdit>(&editor, "Text1")->text(), before);
    QCOMPARE(child<QLineEdit>(&editor, "Text2")->text(), QStringLiteral("4"));
}

void TestEditor::createList_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QByteArray>("catalogue");
    QTest::newRow("OK") << true << QByteArray("\r\n");
    QTest::newRow("Cancel") << false << QByteArray("old\r\n");
}

void TestEditor::createList()
{
    QFETCH(bool, confirm);
    QFETCH(QByteArray, catalogue);
    Sandbox box;
    QVERIFY(box.write(QStringLiteral("SaveList"), "old\r\n"));
    Form2 editor(*box.context);
    box.messages.nextReply = confirm ? Messages::Reply::Ok : Messages::Reply::Cancel;
    action(editor, "createlist")->trigger();
    QCOMPARE(box.read(QStringLiteral("SaveList")), catalogue);
    QVERIFY(box.messages.boxes.size() >= 1);
    QCOMPARE(box.messages.boxes[0].title, QStringLiteral("Создать SaveList"));
    QCOMPARE(box.messages.boxes[0].text,
             QStringLiteral("Вы уверены что хотите создать Новый SaveList?\r\nНовый SaveList заменит "
                            "старый.\r\nПодробности в справке."));
    QCOMPARE(box.messages.boxes.size(), confirm ? 2 : 1);
    if (confirm) {
        QCOMPARE(box.messages.boxes[1].title, QStringLiteral("Готово"));
        QCOMPARE(box.messages.boxes[1].text, QStringLiteral("Создан новый SaveList"));
    }
}

void TestEditor::closingReturnsAndSaves_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("saveLoadHidden");
    QTest::newRow("Готово button") << "Command4" << false;
    QTest::newRow("Готово menu") << "ready" << false;
    QTest::newRow("title bar") << "close" << true;
    QTest::newRow("Return in the contents box") << "Text1" << false;
    QTest::newRow("Return on Готово") << "Command4 key" << false;
}

void TestEditor::closingReturnsAndSaves()
{
    QFETCH(QString, way);
    QFETCH(bool, saveLoadHidden);
    Sandbox box;
    Form2 editor(*box.context);
    bool hidden = false;
    editor.setSaveLoadHider([&hidden] { hidden = true; });
    QSignalSpy returned(&editor, &Form2::returnedToMain);
    editor.showEditor();
    child<QLineEdit>(&editor, "Text1")->setText(QStringLiteral("7"));
    if (way == QLatin1String("close"))
        QVERIFY(!editor.close()); // kept for the next visit
    else if (way == QLatin1String("ready"))
        action(editor, "ready")->trigger();
    else if (way == QLatin1String("Command4"))
        press(child<QPushButton>(&editor, "Command4"));
    else {
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        child<QWidget>(&editor, qPrintable(way.section(u' ', 0, 0)))->setFocus();
        QTest::keyClick(editor.windowHandle(), Qt::Key_Return);
    }
    QCOMPARE(returned.size(), 1);
    QVERIFY(!editor.isVisible());
    QCOMPARE(hidden, saveLoadHidden);
    QCOMPARE(box.read(QStringLiteral("LostMas")), QByteArray(" 8 \r\n 7 \r\n"));
}


void TestEditor::exitDoesNotSave()
{
    Sandbox box;
    Form2 editor(*box.context);
    QSignalSpy returned(&editor, &Form2::returnedToMain);
    editor.showEditor();
    // The program's event loop must end at once, with no window asked to close.
    QTimer safety;
    safety.setSingleShot(true);
    connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    safety.start(3000);
    QTimer::singleShot(0, &editor, [&editor] { action(editor, "exit")->trigger(); });
    QCOMPARE(QCoreApplication::exec(), 0);
    safety.stop();
    QVERIFY(!box.exists(QStringLiteral("LostMas")));
    QCOMPARE(returned.size(), 0);
}

void TestEditor::longTextIsKeptWhole()
{
    Sandbox box;
    Form2 editor(*box.context);
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += QStringLiteral("%1 ").arg(i % 10);
    auto *box1 = child<QLineEdit>(&editor, "Text1");
    box1->setText(text);
    QCOMPARE(box1->text().size(), text.size());
}

void TestEditor::noteOnMisreadPiece_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("note"); // the line under the preview
    QTest::newRow("decimal comma") << "1,5 2" << "«1,5» прочитано как 1 — дробная часть пишется через точку";
    QTest::newRow("letters") << "2 abc" << "«abc» прочитано как 0";
    QTest::newRow("letters after a number") << "2.5x" << "«2.5x» прочитано как 2,5";
    QTest::newRow("division by zero") << "3/0 1/3" << "«3/0» прочитано как 3 — деление на ноль";
    QTest::newRow("fraction with a signed divisor") << "1/-3" << "«1/-3» прочитано как 1";
    QTest::newRow("fractions are numbers") << "2/6 -1.5/3" << "";
}

// Typed under the Russian settings; the number written as a number, the
// line goes.
void TestEditor::noteOnMisreadPiece()
{
    QFETCH(QString, typed);
    QFETCH(QString, note);
    Sandbox box(true, QLocale(QLocale::Russian, QLocale::Russia));
    Form2 editor(*box.context);
    editor.showEditor();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    auto *line = child<QLabel>(&editor, "Label2");
    for (const QString &text : {typed, QStringLiteral("1.5")}) {
        QTest::keyClick(editor.windowHandle(), Qt::Key_A, Qt::ControlModifier);
        for (const QChar c : text)
            QTest::keyClick(editor.windowHandle(), c.toLatin1());
        QCOMPARE(line->isVisible() ? line->text() : QString(), text == typed ? note : QString());
        checkWindow(&editor);
    }
}

void TestEditor::largeLastArrayMatchesOneParse()
{
    Sandbox box;
    QByteArray file(" 2 \r\n");
    QString expected;
    for (int i = 0; i < kMostValues; ++i) {
        file += QByteArray::number(i % 97) + " \r\n";
        expected += QString::number(i % 97) + u' ';
    }
    expected.chop(1);
    QVERIFY(box.write(QStringLiteral("LostMas"), " 2 \r\n" + file.mid(5)));
    Form2 editor(*box.context);
    action(editor, "load")->trigger();
    QCOMPARE(child<QLineEdit>(&editor, "Text1")->text(), expected);

    Workspace reference;
    reference.resize(10);
    fillFromText(reference, 10, expected, QLocale::c());
    QCOMPARE(matrixValues(box.context->workspace), matrixValues(reference));
}

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
