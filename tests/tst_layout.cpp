// SPDX-License-Identifier: GPL-3.0-or-later
// The four windows as a person meets them at every order, with values of
// six digits before the point: every control reachable, every caption and
// every answer whole, every window beside the others and active.
#include "core/order.h"
#include "testsupport.h"
#include "ui/editor/form2.h"
#include "ui/extras/form4.h"
#include "ui/main/form1.h"
#include "ui/saveload/form3.h"
#include "windowcheck.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

using namespace ravno;
using namespace ravno::test;

namespace {

// n(n+1) values of up to six digits before the point, of both signs, with
// a unique solution.
QString wideValues(int n)
{
    QStringList values;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= n; ++j) {
            const int whole = i == j ? 987654 : (i * 7919 + j * 104729) % 200000 - 100000;
            values << QStringLiteral("%1.25").arg(whole);
        }
    return values.join(u' ');
}

Form3 *saveLoadWindow()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *form = qobject_cast<Form3 *>(window); form && form->isVisible())
            return form;
    return nullptr;
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT
private slots:
    void everyWindow_data();
    void everyWindow();
};

void TestLayout::everyWindow_data()
{
    QTest::addColumn<int>("order");
    for (int n = 2; n <= 10; ++n)
        QTest::addRow("order %d", n) << n;
}

void TestLayout::everyWindow()
{
    QFETCH(int, order);
    Sandbox box;
    QVERIFY(box.write(QStringLiteral("lastans"), "1.000  2.000  \r\n"));
    Form1 main(*box.context);
    const QSize designed = main.size();
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    checkWindow(&main, {{"Text1", "Command1"}});
    checkFocusFrames(&main);

    press(child<QPushButton>(&main, "Command1"));
    Form2 *editor = main.editor();
    QVERIFY(QTest::qWaitForWindowActive(editor));
    const QSize editorDesigned = editor->size();

    // The save/load window opens beside the editor and keeps out of its way
    // when a wide system makes the editor grow; both catalogue states.
    press(child<QPushButton>(editor, "Command3"));
    Form3 *form = saveLoadWindow();
    QVERIFY(form);
    QVERIFY(QTest::qWaitForWindowActive(form));
    child<QScrollBar>(editor, "VScroll1")->setValue(positionOfOrder(order));
    child<QLineEdit>(editor, "Text1")->setText(wideValues(order));
    checkWindow(editor);
    checkFocusFrames(editor);
    QVERIFY(!form->frameGeometry().intersects(editor->frameGeometry()));
    checkWindow(form);
    checkFocusFrames(form);
    press(child<QPushButton>(form, "Command3"));
    checkWindow(form, {{"Text1", "Command3"}});
    checkFocusFrames(form);
    press(child<QPushButton>(form, "Command6"));
    QVERIFY(QTest::qWaitForWindowActive(editor));

    press(child<QPushButton>(editor, "Command4"));
    QVERIFY(QTest::qWaitForWindowActive(&main));
    press(child<QPushButton>(&main, "Command3"));
    QCOMPARE(child<QLabel>(&main, "Picture1")->text().split(QStringLiteral("  "), Qt::SkipEmptyParts).size(), order);
    QCOMPARE(child<QLabel>(&main, "Label1")->text().count(u'\n'), order);
    checkWindow(&main, {{"Text1", "Command1"}});
    const QRect screen = main.screen()->availableGeometry();
    QVERIFY(screen.contains(main.frameGeometry()));

    press(child<QPushButton>(&main, "Command4"));
    checkWindow(&main, {{"Text1", "Command1"}, {"Text2", "Label1"}});
    checkFocusFrames(&main);
    press(child<QPushButton>(&main, "Command6"));

    // A small system again: both windows as designed, in the same places.
    const QPoint corner = main.pos();
    press(child<QPushButton>(&main, "Command1"));
    const QPoint editorCorner = editor->pos();
    child<QScrollBar>(editor, "VScroll1")->setValue(10);
    child<QLineEdit>(editor, "Text1")->setText(QStringLiteral("2 1 5 1 3 10"));
    QCOMPARE(editor->size(), editorDesigned);
    QCOMPARE(editor->pos(), editorCorner);
    press(child<QPushButton>(editor, "Command4"));
    press(child<QPushButton>(&main, "Command3"));
    QCOMPARE(main.size(), designed);
    QCOMPARE(main.pos(), corner);

    Form4 *about = Form4::showSingle();
    QVERIFY(QTest::qWaitForWindowActive(about));
    checkWindow(about);
    delete about;
}

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
