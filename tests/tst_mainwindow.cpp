// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"
#include "testsupport.h"
#include "ui/common/printbox.h"
#include "ui/editor/form2.h"
#include "ui/main/form1.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace ravno;
using namespace ravno::test;

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void typicalRun_data();
    void typicalRun();
    void enablingRules();
    void opensEditor_data();
    void opensEditor();
    void answerPaging();
    void pagingEndsWhenFilesClose_data();
    void pagingEndsWhenFilesClose();
    void lastAnswerOfEmptyLog();
    void allAnswersViewAndSave();
    void failedAppendToldAfterTheAnswer_data();
    void failedAppendToldAfterTheAnswer();
    void missingFolderIsReportedAndHarmless();
    void singularSystemIsLogged();
    void unloadThenReturnSolvesWhatTheEditorShows();
    void layoutAndNames();
    void logViewByKeys_data();
    void logViewByKeys();

private:
    static void enterSystem(Form1 &main, const QString &text, int position);
};

void TestMainWindow::enterSystem(Form1 &main, const QString &text, int position)
{
    press(child<QPushButton>(&main, "Command1"));
    Form2 *editor = main.editor();
    QVERIFY(editor);
    auto *contents = child<QLineEdit>(editor, "Text1");
    contents->clear();
    QTest::keyClicks(contents, text);
    auto *scroll = child<QScrollBar>(editor, "VScroll1");
    while (scroll->value() < position)
        scroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    while (scroll->value() > position)
        scroll->triggerAction(QAbstractSlider::SliderSingleStepSub);
    press(child<QPushButton>(editor, "Command4"));
}

void TestMainWindow::typicalRun_data()
{
    QTest::addColumn<bool>("asStarted"); // the context main() makes, in the user's locale
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("lastArray");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("matrix");
    QTest::addColumn<QString>("heard"); // the matrix as a screen reader has it
    const QString typed = QStringLiteral("2 1 5 1 3 10");
    const QByteArray lastArray(" 10 \r\n 2 \r\n 1 \r\n 5 \r\n 1 \r\n 3 \r\n 10 \r\n");
    QTest::newRow("point") << false << typed << lastArray << "1.000  3.000  "
                           << "2.000  1.000  5.000  \n0.000  2.500  7.500  \n"
                           << "2.000 1.000 | 5.000\n0.000 2.500 | 7.500";
    QTest::newRow("user's Russian locale") << true << typed << lastArray << "1,000  3,000  "
                                           << "2,000  1,000  5,000  \n0,000  2,500  7,500  \n"
                                           << "2,000 1,000 | 5,000\n0,000 2,500 | 7,500";
    QTest::newRow("fractions") << false << "1/3 1/2 2 1/4 1/5 23/20"
                               << QByteArray(" 10 \r\n 1/3 \r\n 0.5 \r\n 2 \r\n 0.25 \r\n 0.2 \r\n 1.15 \r\n")
                               << "3.000  2.000  " << "0.333  0.500  2.000  \n0.000  -0.175  -0.350  \n"
                               << "0.333 0.500 | 2.000\n0.000 -0.175 | -0.350";
}

void TestMainWindow::typicalRun()
{
    QFETCH(bool, asStarted);
    QFETCH(QString, typed);
    QFETCH(QByteArray, lastArray);
    QFETCH(QString, answer);
    QFETCH(QString, matrix);
    QFETCH(QString, heard);

    Sandbox box;
    if (asStarted) {
        if (QLocale().decimalPoint() != u',')
            QSKIP("needs LC_ALL=ru_RU.UTF-8, as ctest sets it");
        box.context = makeContext(box.messages, QDir(box.workingPath()));
    }
    Form1 main(*box.context);
    main.show();

    enterSystem(main, typed, 10);
    QVERIFY(main.isVisible());
    QVERIFY(!main.editor()->isVisible());
    QCOMPARE(box.read(QStringLiteral("LostMas")), lastArray);

    press(child<QPushButton>(&main, "Command3"));
    QCOMPARE(child<PrintBox>(&main, "Picture1")->printedLines(), QStringList{answer});
    QCOMPARE(child<QLabel>(&main, "Label1")->text(), matrix);
    QCOMPARE(box.read(QStringLiteral("lastans")), (answer + QStringLiteral("\r\n")).toLatin1());
    QVERIFY(box.messages.boxes.isEmpty());

    // A screen reader hears what the boxes are and show now.
    const auto spoken = [&](const char *name) {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(child<QWidget>(&main, name));
        return face ? face->text(QAccessible::Name) : QString();
    };
    QCOMPARE(spoken("Picture1"), QStringLiteral("Ответ: ") + answer.simplified());
    // The matrix a row a line, as its text too.
    QCOMPARE(spoken("Label1"), QStringLiteral("Преобразованный массив:\n") + heard);
    QAccessibleTextInterface *text = QAccessible::queryAccessibleInterface(child<QWidget>(&main, "Label1"))
                                         ->textInterface();
    QVERIFY(text);
    QCOMPARE(text->text(0, text->characterCount()), QStringLiteral("Преобразованный массив:\n") + heard);
    // The editor's two "RND" buttons say which is which.
    const auto editorSpoken = [&](const char *name) {
        return QAccessible::queryAccessibleInterface(child<QWidget>(main.editor(), name))->text(QAccessible::Name);
    };
    QCOMPARE(editorSpoken("Command2"), QStringLiteral("Случайный порядок"));
    QCOMPARE(editorSpoken("Command1"), QStringLiteral("Случайные числа"));
}

void TestMainWindow::enablingRules()
{
    Sandbox box;
    Form1 main(*box.context);
    main.show();
    auto *solveButton = child<QPushButton>(&main, "Command3");
    auto *ans = main.findChild<QAction *>(QStringLiteral("ans"));
    auto *unload = main.findChild<QAction *>(QStringLiteral("unloadmas"));
    // "Подробный отчет" has something to show only after a solve.
    auto *report = main.findChild<QAction *>(QStringLiteral("final"));
    QVERIFY(!solveButton->isEnabled());
    QVERIFY(!ans->isEnabled());

    enterSystem(main, QStringLiteral("2 1 5 1 3 10"), 10);
    QVERIFY(solveButton->isEnabled());
    QVERIFY(ans->isEnabled());
    QVERIFY(!report->isEnabled());

    press(solveButton);
    QVERIFY(!solveButton->isEnabled());
    QVERIFY(ans->isEnabled());
    QVERIFY(report->isEnabled());

    // The menu solves again on the eliminated matrix with the same answers.
    ans->trigger();
    QCOMPARE(child<PrintBox>(&main, "Picture1")->printedLines(), QStringList{"1.000  3.000  "});
    QCOMPARE(box.read(QStringLiteral("lastans")), QByteArray("1.000  3.000  \r\n1.000  3.000  \r\n"));

    unload->trigger();
    QVERIFY(!solveButton->isEnabled());
    QVERIFY(!ans->isEnabled());
    QVERIFY(!report->isEnabled());
    QCOMPARE(box.context->workspace.order(), 0);

    main.findChild<QAction *>(QStringLiteral("masedit"))->trigger();
    QVERIFY(main.editor()->isVisible());
    // The editor shows the system it holds, and the workspace is that system again.
    QCOMPARE(box.context->workspace.order(), 2);
    QVERIFY(!main.isVisible());
    QVERIFY(solveButton->isEnabled());
    QVERIFY(ans->isEnabled());
    QVERIFY(!report->isEnabled());
    QVERIFY(!main.editor()->findChild<QAction *>(QStringLiteral("final"))->isEnabled());
}

void TestMainWindow::opensEditor_data()
{
    QTest::addColumn<int>("key"); // pressed at start; none: a click into Text1
    QTest::addColumn<bool>("everyWindow"); // then each other window, twice
    QTest::newRow("click into the text box") << 0 << false;
    QTest::newRow("Return at start") << int(Qt::Key_Return) << false;
    QTest::newRow("Space at start") << int(Qt::Key_Space) << false;
    QTest::newRow("every window twice, then the main window goes") << 0 << true;
}

// The keyboard starts on "Ввести данные". Every other window is made once
// however often it is asked for, and none outlives the main window.
void TestMainWindow::opensEditor()
{
    QFETCH(int, key);
    QFETCH(bool, everyWindow);
    Sandbox box;
    auto owner = std::make_unique<Form1>(*box.context);
    Form1 &main = *owner;
    main.show();
    auto *target = child<QLineEdit>(&main, "Text1");
    QCOMPARE(target->text(), QStringLiteral("Ввести данные"));
    if (key) {
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTest::keyClick(main.windowHandle(), Qt::Key(key));
    } else {
        press(target);
    }
    QVERIFY(main.editor() && main.editor()->isVisible());
    QVERIFY(!main.isVisible());
    QVERIFY(child<QPushButton>(&main, "Command3")->isEnabled());
    if (!everyWindow)
        return;

    Form2 *editor = main.editor();
    for (int i = 0; i < 2; ++i) {
        press(child<QPushButton>(editor, "Command3"));
        editor->findChild<QAction *>(QStringLiteral("about"))->trigger();
    }
    press(child<QPushButton>(editor, "Command4"));
    press(child<QPushButton>(&main, "Command3"));
    for (int i = 0; i < 2; ++i)
        for (const char *item : {"final", "check"})
            main.findChild<QAction *>(QLatin1String(item))->trigger();
    // The editor, save/load, About, the report and the check window.
    QList<QPointer<QWidget>> others;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window != &main && !window->parentWidget())
            others << window;
    QCOMPARE(others.size(), 5);
    owner.reset();
    for (const QPointer<QWidget> &window : others)
        QVERIFY(window.isNull());
}

void TestMainWindow::answerPaging()
{
    Sandbox box;
    QVERIFY(box.write(QStringLiteral("lastans"), "\r\nfirst\r\n\r\nsecond\r\nthird\r\n"));
    Form1 main(*box.context);
    main.show();
    auto *picture = child<PrintBox>(&main, "Picture1");
    auto *next = child<QPushButton>(&main, "Command7");
    QVERIFY(!next->isEnabled());

    press(child<QPushButton>(&main, "Command2"));
    QCOMPARE(picture->printedLines(), QStringList{"first"});
    QVERIFY(next->isEnabled());
    press(next);
    QCOMPARE(picture->printedLines(), QStringList{"second"});
    press(next);
    QCOMPARE(picture->printedLines(), QStringList{"third"});
    // Past the end nothing changes.
    press(next);
    press(next);
    QCOMPARE(picture->printedLines(), QStringList{"third"});

    press(child<QPushButton>(&main, "Command8"));
    QCOMPARE(picture->printedLines(), QStringList{"third"});
    QVERIFY(!next->isEnabled());
    QVERIFY(box.messages.boxes.isEmpty());
}

void TestMainWindow::pagingEndsWhenFilesClose_data()
{
    QTest::addColumn<bool>("bySolve");
    QTest::newRow("a solve") << true;
    QTest::newRow("the editor saving its last array") << false;
}

void TestMainWindow::pagingEndsWhenFilesClose()
{
    QFETCH(bool, bySolve);
    Sandbox box;
    QVERIFY(box.write(QStringLiteral("lastans"), "one\r\ntwo\r\n"));
    Form1 main(*box.context);
    main.show();
    enterSystem(main, QStringLiteral("2 1 5 1 3 10"), 10);
    auto *picture = child<PrintBox>(&main, "Picture1");
    auto *next = child<QPushButton>(&main, "Command7");
    press(child<QPushButton>(&main, "Command2"));
    QVERIFY(next->isEnabled());

    if (bySolve) {
        press(child<QPushButton>(&main, "Command3"));
        QVERIFY(!next->isEnabled());
    } else {
        // Both windows shown, as after the save/load window brings the editor back.
        main.editor()->findChild<QAction *>(QStringLiteral("save"))->trigger();
        const QStringList shown = picture->printedLines();
        press(next);
        QCOMPARE(picture->printedLines(), shown);
        QVERIFY(!next->isEnabled());
    }
    QVERIFY(!box.context->files.isPaging());
}

void TestMainWindow::lastAnswerOfEmptyLog()
{
    Sandbox box;
    QVERIFY(box.write(QStringLiteral("lastans"), "\r\n\r\n"));
    Form1 main(*box.context);
    main.show();
    auto *picture = child<PrintBox>(&main, "Picture1");
    picture->print(QStringLiteral("earlier"));

    press(child<QPushButton>(&main, "Command2"));
    QCOMPARE(picture->printedLines(), QStringList{"earlier"});
    QVERIFY(!child<QPushButton>(&main, "Command7")->isEnabled());

    main.findChild<QAction *>(QStringLiteral("lastans"))->trigger();
    QCOMPARE(picture->printedLines(), (QStringList{"earlier", "Ничего не помню"}));
    // The newest line is in view, whatever else the box shows.
    const QWidget *view = picture->parentWidget();
    const int spacing = picture->fontMetrics().lineSpacing();
    const auto inView = [&](int line) {
        const int middle = picture->contentsRect().top() + line * spacing + spacing / 2;
        return view->rect().contains(picture->mapTo(view, QPoint(1, middle)));
    };
    QCoreApplication::processEvents(); // the box is laid out
    QVERIFY(inView(1));
}

void TestMainWindow::allAnswersViewAndSave()
{
    Sandbox box;
    QVERIFY(box.write(QStringLiteral("lastans"), "a\r\n\r\nb\r\n"));
    Form1 main(*box.context);
    main.show();
    auto *view = child<QPlainTextEdit>(&main, "Text2");
    auto *all = child<QPushButton>(&main, "Command4");
    auto *save = child<QPushButton>(&main, "Command5");
    auto *hide = child<QPushButton>(&main, "Command6");
    QVERIFY(!view->isVisible() && !save->isVisible() && !hide->isVisible());

    main.findChild<QAction *>(QStringLiteral("allans"))->trigger();
    QVERIFY(view->isVisible() && save->isVisible() && hide->isVisible());
    QVERIFY(!all->isVisible());
    QCOMPARE(view->toPlainText(), QStringLiteral("a\nb\n"));
    QCOMPARE(box.read(QStringLiteral("lastans")), QByteArray("a\r\nb\r\n\r\n"));

    // The no-break space is kept; an answer another copy added meanwhile
    // follows the edited text, in the file and in the view.
    view->setPlainText(QStringLiteral("edited\u00A0x\nлог"));
    QFile other(box.path(QStringLiteral("lastans")));
    QVERIFY(other.open(QIODevice::Append) && other.write("\r\nc\r\n") == 5);
    other.close();
    const QByteArray saved("edited\xA0x\r\n\xeb\xee\xe3\r\nc\r\n");
    press(save);
    QCOMPARE(box.read(QStringLiteral("lastans")), saved);
    QVERIFY(view->toPlainText().endsWith(QStringLiteral("лог\nc")));
    press(save);
    QCOMPARE(box.read(QStringLiteral("lastans")), saved);
    // A log another copy rewrote meanwhile, even to the same length, is left
    // alone, and that is said.
    const QByteArray rewritten = QByteArray(saved.size() - 2, 'o') + "\r\n";
    QVERIFY(box.write(QStringLiteral("lastans"), rewritten));
    press(save);
    QCOMPARE(box.read(QStringLiteral("lastans")), rewritten);
    QCOMPARE(box.messages.boxes.size(), 1);
    QVERIFY2(box.messages.boxes[0].text.contains(QStringLiteral("другая копия")),
             qPrintable(box.messages.boxes[0].text));

    main.findChild<QAction *>(QStringLiteral("allans"))->trigger();
    QVERIFY(!view->isVisible() && !save->isVisible() && !hide->isVisible());
    QVERIFY(all->isVisible());
}

void TestMainWindow::failedAppendToldAfterTheAnswer_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("first answer") << "Command2";
    QTest::newRow("last answer") << "Command8";
    QTest::newRow("all answers") << "Command4";
}

// A log that cannot grow (here over the file-size limit) is still read: the
// answer is shown first, then the failed write is told.
void TestMainWindow::failedAppendToldAfterTheAnswer()
{
    QFETCH(QString, button);
    prepareProcess();
    Sandbox box;
    QVERIFY(box.write(QStringLiteral("lastans"), "answer\r\n"));
    Form1 main(*box.context);
    main.show();
    const FileSizeLimit limit(8);
    QVERIFY(limit.set());
    press(child<QPushButton>(&main, qPrintable(button)));
    const QStringList shown = child<PrintBox>(&main, "Picture1")->printedLines();
    QVERIFY(shown == QStringList{"answer"}
            || child<QPlainTextEdit>(&main, "Text2")->toPlainText() == u"answer\n");
    QCOMPARE(box.messages.boxes.size(), 1);
    QVERIFY2(box.messages.boxes[0].text.startsWith(
                 QStringLiteral("Не удалось записать файл files/lastans: файл превысил "
                                "допустимый размер (")),
             qPrintable(box.messages.boxes[0].text));
    QCOMPARE(box.read(QStringLiteral("lastans")), QByteArray("answer\r\n"));
}

void TestMainWindow::missingFolderIsReportedAndHarmless()
{
    Sandbox box(false);
    Form1 main(*box.context);
    main.show();
    press(child<QPushButton>(&main, "Command2"));
    press(child<QPushButton>(&main, "Command8"));
    press(child<QPushButton>(&main, "Command4"));
    QCOMPARE(box.messages.boxes.size(), 3);
    for (const auto &shown : box.messages.boxes) {
        QCOMPARE(shown.title, QStringLiteral("Ошибка"));
        QVERIFY2(shown.text.contains(QStringLiteral("files")), qPrintable(shown.text));
    }
    // The view stays closed, so an empty text can never be saved over the log.
    QVERIFY(!child<QPlainTextEdit>(&main, "Text2")->isVisible());

    enterSystem(main, QStringLiteral("2 1 5 1 3 10"), 10);
    press(child<QPushButton>(&main, "Command3"));
    // Shown on screen although the log could not take it.
    QCOMPARE(child<PrintBox>(&main, "Picture1")->printedLines(), QStringList{"1.000  3.000  "});
    QVERIFY(!QDir(box.workingPath()).exists(QStringLiteral("files")));
}

void TestMainWindow::singularSystemIsLogged()
{
    Sandbox box;
    Form1 main(*box.context);
    main.show();
    enterSystem(main, QStringLiteral("1 1 2 2 2 4"), 10);
    press(child<QPushButton>(&main, "Command3"));
    QCOMPARE(child<PrintBox>(&main, "Picture1")->printedLines(), QStringList{"Одного решения нет"});
    QCOMPARE(box.read(QStringLiteral("lastans")),
             QByteArray("\xce\xe4\xed\xee\xe3\xee \xf0\xe5\xf8\xe5\xed\xe8\xff \xed\xe5\xf2\r\n"));
}

void TestMainWindow::unloadThenReturnSolvesWhatTheEditorShows()
{
    Sandbox box;
    Form1 main(*box.context);
    main.show();
    enterSystem(main, QStringLiteral("2 1 5 1 3 10"), 10);
    main.findChild<QAction *>(QStringLiteral("unloadmas"))->trigger();
    press(child<QPushButton>(&main, "Command1"));
    press(child<QPushButton>(main.editor(), "Command4"));
    press(child<QPushButton>(&main, "Command3"));
    QCOMPARE(child<PrintBox>(&main, "Picture1")->printedLines(), QStringList{"1.000  3.000  "});
}

void TestMainWindow::layoutAndNames()
{
    Sandbox box;
    Form1 main(*box.context);
    main.show();
    QCOMPARE(main.windowTitle(), QStringLiteral("Решение систем уравнений"));
    // The click area over "Ввести данные" is no second item beside it.
    QVERIFY(QAccessible::queryAccessibleInterface(main.centralWidget())
                ->indexOfChild(QAccessible::queryAccessibleInterface(child<QWidget>(&main, "Text1"))) < 0);

    auto *graph = main.findChild<QAction *>(QStringLiteral("graph"));
    QVERIFY(graph->isChecked() && !graph->isEnabled());

    // Before any solve the first Tab from "Ввести данные" passes the empty
    // answer line by.
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(&main, "Command1"));
    QTest::keyClick(main.windowHandle(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(&main, "Command2"));
}

void TestMainWindow::logViewByKeys_data()
{
    QTest::addColumn<QString>("keys"); // from "Все ответы"
    QTest::newRow("Tab to Скрыть, Return") << "Return, Tab, Return";
    QTest::newRow("Ctrl+Tab to Скрыть, Return") << "Return, Ctrl+Tab, Return";
    QTest::newRow("Escape") << "Return, Escape";
}

// "Все ответы" by the keyboard: the view takes it and leaves by Tab or
// Escape, with no tab typed into the log.
void TestMainWindow::logViewByKeys()
{
    QFETCH(QString, keys);
    Sandbox box;
    QVERIFY(box.write(QStringLiteral("lastans"), "a\r\n"));
    Form1 main(*box.context);
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    child<QPushButton>(&main, "Command4")->setFocus(Qt::TabFocusReason);
    const QKeySequence sequence(keys);
    for (int i = 0; i < sequence.count(); ++i)
        QTest::keyClick(main.windowHandle(), sequence[i].key(), sequence[i].keyboardModifiers());
    QVERIFY(!child<QWidget>(&main, "Text2")->isVisible() && child<QWidget>(&main, "Label1Area")->isVisible());
    QCOMPARE(child<QPlainTextEdit>(&main, "Text2")->toPlainText(), QStringLiteral("a\n"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
