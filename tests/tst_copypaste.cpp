// SPDX-License-Identifier: GPL-3.0-or-later
// Copying the answers out of the main window and pasting a whole system into
// the editor, done as a person does it: clicks, Tab, keys and context menus
// through the windows.
#include "testsupport.h"
#include "ui/editor/form2.h"
#include "ui/main/form1.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

using namespace ravno;
using namespace ravno::test;

namespace {

// Clicks the control at its middle, through its window.
void click(QWidget *control, Qt::MouseButton button = Qt::LeftButton)
{
    QWidget *window = control->window();
    QTest::mouseClick(window->windowHandle(), button, {},
                      control->mapTo(window, control->rect().center()));
}

void key(QWidget *window, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(window->windowHandle(), key, modifiers);
}

void type(QWidget *window, const char *text)
{
    for (; *text; ++text)
        QTest::keyClick(window->windowHandle(), *text);
}

// Whether any of the label's green text can be seen inside its frame.
bool showsGreen(QWidget *label)
{
    const QImage shown = label->grab().toImage();
    for (int y = 3; y < shown.height() - 3; ++y)
        for (int x = 3; x < shown.width() - 3; ++x)
            if (QColor(shown.pixel(x, y)).green() > 128 && QColor(shown.pixel(x, y)).red() < 64)
                return true;
    return false;
}

// Picks the item of the context menu that is open now.
bool pickFromMenu(const QString &name)
{
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!menu)
        return false;
    for (QAction *item : menu->actions()) {
        if (item->objectName() == name) {
            QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, {},
                              menu->actionGeometry(item).center());
            return true;
        }
    }
    return false;
}

} // namespace

class TestCopyPaste : public QObject
{
    Q_OBJECT
private slots:
    void copyAnswers();
    void pasteSystem_data();
    void pasteSystem();
};

void TestCopyPaste::copyAnswers()
{
    Sandbox box(true, QLocale(QLocale::Russian, QLocale::Russia));
    Form1 main(*box.context);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    click(child<QPushButton>(&main, "Command1"));
    Form2 *editor = main.editor();
    QVERIFY(editor && QTest::qWaitForWindowExposed(editor));
    key(editor, Qt::Key_A, Qt::ControlModifier);
    type(editor, "2 1 5 1 3 10");
    key(editor, Qt::Key_Tab); // to the order's scroll bar, down to order 2
    key(editor, Qt::Key_Down);
    key(editor, Qt::Key_Down);
    click(child<QPushButton>(editor, "Command4"));
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    click(child<QPushButton>(&main, "Command3"));

    // The answer: a click gives it focus, Ctrl+C copies the line shown.
    auto *answer = child<QLabel>(&main, "Picture1");
    QGuiApplication::clipboard()->clear();
    click(answer);
    QCOMPARE(QApplication::focusWidget(), answer);
    QVERIFY2(showsGreen(answer), "the focus frame covers the answer");
    key(&main, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1,000  3,000  "));

    // The matrix: Tab reaches it, and its context menu copies the rows.
    auto *matrix = child<QLabel>(&main, "Label1");
    for (int tabs = 0; tabs < 10 && QApplication::focusWidget() != matrix; ++tabs)
        key(&main, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), matrix);
    click(matrix, Qt::RightButton);
    QVERIFY(pickFromMenu(QStringLiteral("copy")));
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("2,000  1,000  5,000  \n0,000  2,500  7,500  "));
}

void TestCopyPaste::pasteSystem_data()
{
    QTest::addColumn<QString>("route");
    QTest::addColumn<QString>("paste");
    QTest::addColumn<QString>("text"); // the box's text afterwards
    QTest::addColumn<int>("order");
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QString>("line"); // shown beneath the box

    const QString rows = QStringLiteral("\r\n1\t-2,5\t0\t1\u00A0000\r\n0\t1\t0\t2\r\n3\t\t1\t3,25\r\n\r\n");
    const QString text = QStringLiteral("1 -2.5 0 1000 0 1 0 2 3 0 1 3.25");
    const QList<double> values{1, -2.5, 0, 1000, 0, 1, 0, 2, 3, 0, 1, 3.25};
    for (const char *route : {"Ctrl+V", "Shift+Insert", "context menu", "middle button", "drop"})
        QTest::newRow(route) << route << rows << text << 3 << values << QString();

    // Ten rows of eleven cells, as a spreadsheet under Russian settings
    // copies them.
    QStringList lines;
    QStringList cells;
    QList<double> tenValues;
    for (int i = 0; i < 10; ++i) {
        QStringList line;
        for (int j = 0; j <= 10; ++j) {
            line << QStringLiteral("%1,%2").arg(i - 5).arg(j);
            cells << QStringLiteral("%1.%2").arg(i - 5).arg(j);
            tenValues << cells.last().toDouble();
        }
        lines << line.join(u'\t');
    }
    QTest::newRow("order ten") << "Ctrl+V" << lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")
                               << cells.join(u' ') << 10 << tenValues << QString();

    // Without a line break or a tab the paste is typed in where the cursor
    // is, and the comma is no decimal point.
    QTest::newRow("one number") << "Ctrl+V" << "1,5" << "2 1 5 1 3 1,5" << 2
                                << QList<double>{2, 1, 5, 1, 3, 1} << QString();
    // One spreadsheet cell comes with a line break; it is one number, typed
    // in where the cursor is.
    QTest::newRow("one cell") << "Ctrl+V" << "10\r\n" << "2 1 5 1 3 10" << 2
                              << QList<double>{2, 1, 5, 1, 3, 10} << QString();
    // A blank that would shift every cell after it: nothing changes, and
    // one line says why.
    QTest::newRow("blank inside a cell") << "Ctrl+V" << "2\t1\t5\n1 2\t3\t10" << "2 1 5 1 3 " << 2
                                         << QList<double>{2, 1, 5, 1, 3, 0} << "«1 2»";
    // More numbers than the bound, which is written as the documents write it.
    QTest::newRow("over the bound") << "Ctrl+V" << QStringLiteral("1\t1\n").repeated(5001) << "2 1 5 1 3 " << 2
                                    << QList<double>{2, 1, 5, 1, 3, 0} << "больше 10\u00a0000 чисел";
}

void TestCopyPaste::pasteSystem()
{
    QFETCH(QString, route);
    QFETCH(QString, paste);
    QFETCH(QString, text);
    QFETCH(int, order);
    QFETCH(QList<double>, values);
    QFETCH(QString, line);

    QClipboard *clipboard = QGuiApplication::clipboard();
    if (route == QLatin1String("middle button") && !clipboard->supportsSelection())
        QSKIP("this platform has no selection to paste with the middle button");

    Sandbox box;
    Form2 editor(*box.context);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    auto *contents = child<QLineEdit>(&editor, "Text1");
    // Order 2 with "2 1 5 1 3 " and the cursor at the end.
    key(&editor, Qt::Key_A, Qt::ControlModifier);
    type(&editor, "2 1 5 1 3 ");
    key(&editor, Qt::Key_Tab);
    key(&editor, Qt::Key_Down);
    key(&editor, Qt::Key_Down);
    QCOMPARE(child<QLineEdit>(&editor, "Text2")->text(), QStringLiteral("2"));
    key(&editor, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), contents);
    contents->end(false);

    clipboard->setText(paste);
    if (route == QLatin1String("Ctrl+V")) {
        key(&editor, Qt::Key_V, Qt::ControlModifier);
    } else if (route == QLatin1String("Shift+Insert")) {
        key(&editor, Qt::Key_Insert, Qt::ShiftModifier);
    } else if (route == QLatin1String("context menu")) {
        click(contents, Qt::RightButton);
        QVERIFY(pickFromMenu(QStringLiteral("edit-paste")));
    } else if (route == QLatin1String("middle button")) {
        clipboard->setText(paste, QClipboard::Selection);
        click(contents, Qt::MiddleButton);
    } else {
        // A drop has no QTest counterpart: the events the platform would send.
        QMimeData data;
        data.setText(paste);
        const QPoint at = contents->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(contents, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(contents, &drop);
        QVERIFY(drop.isAccepted());
    }

    QCOMPARE(contents->text(), text);
    QCOMPARE(child<QLineEdit>(&editor, "Text2")->text(), QString::number(order));
    QCOMPARE(matrixValues(box.context->workspace), values);
    const auto *note = child<QLabel>(&editor, "Label2");
    const QString shown = note->isVisible() ? note->text() : QString();
    QVERIFY2(line.isEmpty() ? !shown.startsWith(QStringLiteral("Вставка не принята"))
                            : shown.contains(line),
             qPrintable(shown));
}

QTEST_MAIN(TestCopyPaste)
#include "tst_copypaste.moc"
