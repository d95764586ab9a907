// SPDX-License-Identifier: GPL-3.0-or-later
// The check window as a student meets it: opened from the report's button
// and from the menus under the report's rule, operations typed and
// refused, undone and redone by button and key, what a screen reader is
// told, and the steps copied and saved as PDF.
#include "testsupport.h"
#include "ui/check/checkwindow.h"
#include "ui/editor/form2.h"
#include "ui/main/form1.h"
#include "ui/report/reportkeeper.h"
#include "ui/report/reportprint.h"
#include "ui/report/reportwindow.h"
#include "windowcheck.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace ravno;
using namespace ravno::test;

namespace {

// Solves the order-2 system in the main window, as a person does.
void solveInMain(Form1 &main, const QString &contents)
{
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    press(child<QPushButton>(&main, "Command1"));
    Form2 *editor = main.editor();
    QVERIFY(editor);
    child<QLineEdit>(editor, "Text1")->setText(contents);
    editor->findChild<QScrollBar *>(QStringLiteral("VScroll1"))->setValue(10);
    press(child<QPushButton>(editor, "Command4"));
    press(child<QPushButton>(&main, "Command3"));
    QVERIFY(QTest::qWaitForWindowActive(&main));
}

void type(CheckWindow *check, const QString &line)
{
    auto *box = child<QLineEdit>(check, "operation");
    QTest::keyClicks(box, line);
    QTest::keyClick(box, Qt::Key_Return);
}

} // namespace

class TestCheckWindow : public QObject
{
    Q_OBJECT
private slots:
    void itemsFollowTheReport();
    void studentWalk();
    void savePdf();
    void rowsAndAnswer();
};

void TestCheckWindow::itemsFollowTheReport()
{
    Sandbox box;
    Form1 main(*box.context);
    auto *item = main.findChild<QAction *>(QStringLiteral("check"));
    QVERIFY(item);
    QVERIFY(!item->isEnabled());
    solveInMain(main, QStringLiteral("2 1 5 1 3 10"));
    QVERIFY(item->isEnabled());

    // "Помощь", past "Справка" and "Подробный отчет".
    chooseHelpItem(&main, 2);
    CheckWindow *check = main.report()->checkWindow();
    QVERIFY(check);
    QTRY_VERIFY(check->isActiveWindow());
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(check, "operation"));
    checkReaderNames(check);
    checkFocusFrames(check);

    // "Выгрузить массив" takes the items away and the window with them.
    press(child<QPushButton>(check, "undo")); // disabled: nothing to undo
    main.findChild<QAction *>(QStringLiteral("unloadmas"))->trigger();
    QVERIFY(!item->isEnabled());
    QVERIFY(!check->isVisible());
}

void TestCheckWindow::studentWalk()
{
    Sandbox box;
    Form1 main(*box.context);
    solveInMain(main, QStringLiteral("2 1 5 1 3 10"));
    main.findChild<QAction *>(QStringLiteral("final"))->trigger();
    ReportWindow *report = main.report()->window();
    QTRY_VERIFY(report && report->isActiveWindow());
    press(child<QPushButton>(report, "checkSolution"));
    CheckWindow *check = main.report()->checkWindow();
    QVERIFY(check);
    QTRY_VERIFY(check->isActiveWindow());
    QVERIFY(check->announcement().contains(QStringLiteral("Матрица:\n2 1 |  5\n1 3 | 10")));

    type(check, QStringLiteral("R2 - 1/2 R1"));
    QCOMPARE(check->announcement(), QStringLiteral("Шаг 1: из строки 2 вычитается строка 1, умноженная на 1/2. "
                                                   "Матрица:\n2   1 |   5\n0 2.5 | 7.5\n"
                                                   "Матрица имеет ступенчатый вид."));
    QVERIFY(child<QLineEdit>(check, "operation")->text().isEmpty());

    // A refusal leaves the matrix and the line as they were.
    type(check, QStringLiteral("R2 * 0"));
    QVERIFY(check->announcement().startsWith(QStringLiteral("Строку нельзя умножать на 0")));
    QCOMPARE(check->session().doneCount(), std::size_t(1));
    QCOMPARE(child<QLineEdit>(check, "operation")->text(), QStringLiteral("R2 * 0"));
    // Ctrl+Z in a line with text is the line's own.
    QTest::keyClick(child<QLineEdit>(check, "operation"), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(check->session().doneCount(), std::size_t(1));
    child<QLineEdit>(check, "operation")->clear();

    for (const char *line : {"R2 * 2/5", "R1 - R2", "R1 / 2"})
        type(check, QString::fromLatin1(line));
    QVERIFY(check->announcement().endsWith(
        QStringLiteral("Матрица:\n1 0 | 1\n0 1 | 3\nМатрица имеет приведенный ступенчатый вид.")));

    // Ctrl+Z and Ctrl+Shift+Z in the empty line, then the buttons.
    QTest::keyClick(child<QLineEdit>(check, "operation"), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(check->session().doneCount(), std::size_t(3));
    QVERIFY(check->announcement().startsWith(QStringLiteral("Шаг 3: из строки 1 вычитается строка 2.")));
    QTest::keyClick(child<QLineEdit>(check, "operation"), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(check->session().doneCount(), std::size_t(4));
    press(child<QPushButton>(check, "undo"));
    press(child<QPushButton>(check, "undo"));
    QCOMPARE(check->session().doneCount(), std::size_t(2));
    press(child<QPushButton>(check, "redo"));
    QCOMPARE(check->session().doneCount(), std::size_t(3));

    press(child<QPushButton>(check, "copy"));
    const QString copied = QGuiApplication::clipboard()->text();
    QVERIFY2(copied.contains(QStringLiteral("Шаг 3: R1 = R1 - R2\nИз строки 1 вычитается строка 2.\n 2 0 | 2\n")),
             qPrintable(copied));
    QVERIFY(!copied.contains(QStringLiteral("Шаг 4")));

    press(child<QPushButton>(check, "restart"));
    QCOMPARE(check->session().doneCount(), std::size_t(0));
    QVERIFY(!child<QPushButton>(check, "undo")->isEnabled());
    QVERIFY(check->announcement().startsWith(QStringLiteral("Система. Матрица:")));
}

void TestCheckWindow::savePdf()
{
    Sandbox box;
    CheckWindow check(box.messages, QLocale::c());
    ExactMatrix system(3, std::vector<mpq_class>(4));
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j)
            (system[std::size_t(i)][std::size_t(j)] = mpq_class(i * 4 + j + (i == j ? 7 : 1), 3)).canonicalize();
    check.setSystem(system);
    check.show();
    QVERIFY(QTest::qWaitForWindowExposed(&check));
    type(&check, QStringLiteral("R1 <-> R3"));
    type(&check, QStringLiteral("R2 - 2/3 R1"));
    const QString path = box.workingPath() + QStringLiteral("/steps.pdf");
    check.askPdfPath = [&](QWidget *) { return path; };
    press(child<QPushButton>(&check, "savePdf"));
    QVERIFY(box.messages.boxes.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    const PrintLayout layout = check.printLayout(writer);
    QStringList printed;
    for (const auto &page : layout.pages)
        for (const PrintedText &text : page)
            printed << text.text;
    QVERIFY(printed.contains(QStringLiteral("Шаг 2: R2 = R2 - (2/3)·R1")));
    QVERIFY(printed.contains(QStringLiteral("Строки 1 и 3 меняются местами.")));

    // A folder that is no folder: the failure is told, nothing is written.
    check.askPdfPath = [&](QWidget *) { return path + QStringLiteral("/below.pdf"); };
    press(child<QPushButton>(&check, "savePdf"));
    QCOMPARE(box.messages.boxes.size(), 1);
}

void TestCheckWindow::rowsAndAnswer()
{
    Sandbox box;
    CheckWindow check(box.messages, QLocale::c());
    ExactMatrix system{{2, 1, 5}, {1, 3, 10}};
    check.setSystem(system);
    check.show();
    QVERIFY(QTest::qWaitForWindowExposed(&check));
    auto *line = child<QLineEdit>(&check, "operation");

    type(&check, QStringLiteral("2: 0 5/2"));
    QCOMPARE(check.announcement(), QStringLiteral("В строке должно быть 3 числа, а набрано 2. Матрица не изменилась."));
    line->clear();
    type(&check, QStringLiteral("2: 0 5/2 | 7"));
    QCOMPARE(check.announcement(), QStringLiteral("Строка «2: 0 5/2 | 7»: строка 2, столбец 3: должно быть 15/2, "
                                                  "а не 7. Матрица не изменилась."));
    QCOMPARE(check.session().doneCount(), std::size_t(0));
    QCOMPARE(line->text(), QStringLiteral("2: 0 5/2 | 7"));
    line->clear();
    type(&check, QStringLiteral("2: 0 5/2 | 15/2"));
    QVERIFY(check.announcement().startsWith(
        QStringLiteral("Строка верна. Шаг 1: из строки 2 вычитается строка 1, умноженная на 1/2.")));
    QVERIFY(line->text().isEmpty());

    type(&check, QStringLiteral("x1 = 1, x2 = 4"));
    const QString wrong = QStringLiteral("Ответ «x1 = 1, x2 = 4»: Неверно найдено x2, остальные неизвестные верны.");
    QCOMPARE(check.announcement(), wrong);
    line->clear();
    type(&check, QStringLiteral("x1 = 1, x2 = 3"));
    QCOMPARE(check.announcement(), QStringLiteral("Ответ «x1 = 1, x2 = 3»: Ответ верен."));

    press(child<QPushButton>(&check, "copy"));
    const QStringList copied = QGuiApplication::clipboard()->text().split(u'\n');
    const int step = int(copied.indexOf(QStringLiteral("Шаг 1: R2 = R2 - (1/2)·R1")));
    QVERIFY(step > copied.indexOf(QStringLiteral("Строка «2: 0 5/2 | 7»: строка 2, столбец 3: должно быть 15/2, "
                                                 "а не 7. Матрица не изменилась.")));
    QVERIFY(copied.indexOf(wrong) > step);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    QString printed;
    for (const auto &page : check.printLayout(writer).pages)
        for (const PrintedText &text : page)
            printed += text.text + u' ';
    QVERIFY(printed.simplified().contains(QStringLiteral("Ответ верен.")));
    QVERIFY(printed.simplified().contains(QStringLiteral("остальные неизвестные верны.")));
}

QTEST_MAIN(TestCheckWindow)
#include "tst_checkwindow.moc"
