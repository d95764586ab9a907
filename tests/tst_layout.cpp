// SPDX-License-Identifier: GPL-3.0-or-later
// The four windows as a person meets them at every order, with values of
// six digits before the point, and at order 10 with answers of ten digits,
// of 58 and with coefficients of twelve: every window on the screen, every
// control reachable, every caption and every answer whole, the matrix from
// its first row, every window beside the others where the screen has room,
// and back in its place after it grew; the report on the screen. CTest runs
// it on a screen of 1280 x 1024, of 800 x 600, of 800 x 600 at scale factor
// 2 and of 800 x 340, and a part of its rows on 1600 x 1200 at scale factor
// 2 and on 1366 x 768 at scale factor 1.5.
#include "core/order.h"
#include "testsupport.h"
#include "ui/common/messages.h"
#include "ui/editor/form2.h"
#include "ui/extras/form4.h"
#include "ui/main/form1.h"
#include "ui/report/reportkeeper.h"
#include "ui/report/reportwindow.h"
#include "ui/saveload/form3.h"
#include "windowcheck.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

using namespace ravno;
using namespace ravno::test;

namespace {

// n(n+1) values with a unique solution: off the diagonal and on the right
// of up to `digits` digits before the point, of both signs, on the
// diagonal `diagonal`; every other row a row of the identity, so that the
// rows differ in width.
QString wideValues(int n, int digits = 6, qint64 diagonal = 987654)
{
    const qint64 range = 2 * qint64(std::pow(10, digits - 1));
    QStringList values;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= n; ++j) {
            const qint64 whole = i == j ? diagonal : (i * 7919 + j * 104729 * qint64(digits)) % range - range / 2;
            values << (i % 2 ? QString::number(int(i == j)) : QStringLiteral("%1.25").arg(whole));
        }
    return values.join(u' ');
}

// A system whose answers are its right-hand sides: of ten digits before
// the point, negative ones among them; or, huge, k·10^57 for the k-th.
QString answersOf(int n, bool huge)
{
    QStringList values;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= n; ++j)
            values << (j < n  ? QString::number(i == j ? 1 : 0)
                       : huge ? QString::number(i + 1) + QString(57, u'0')
                              : QStringLiteral("%1.25").arg((i % 3 ? 1 : -1) * (1234567890 + i * 111111111LL)));
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
    void saveLoadPlace_data();
    void saveLoadPlace();
    void messageBoxShowsItsTitle_data();
    void messageBoxShowsItsTitle();
};

void TestLayout::everyWindow_data()
{
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("values");
    for (int n = 2; n <= 10; ++n)
        QTest::addRow("order %d", n) << n << wideValues(n);
    QTest::newRow("order 10, answers of ten digits") << 10 << answersOf(10, false);
    QTest::newRow("order 10, answers k·10^57") << 10 << answersOf(10, true);
    QTest::newRow("order 10, coefficients of twelve digits") << 10 << wideValues(10, 12, 987654321098);
    QTest::newRow("order 10, answers of 300 digits")
        << 10 << answersOf(10, false).replace(QRegularExpression(QStringLiteral("-?\\d+\\.25")), QString(300, u'9'));
}

void TestLayout::everyWindow()
{
    QFETCH(int, order);
    QFETCH(QString, values);
    // The pixel checks: the focus frames at the smallest order, the road
    // clear of the matrix at the largest and of the preview's centred rows
    // at every order (at scale 1 only: a grab costs four times as much at
    // scale 2); the sizes between by the window check.
    const bool frames = order == 2;
    const bool road = order == 10;
    const bool previewRoad = road || qApp->devicePixelRatio() == 1;
    Sandbox box;
    QVERIFY(box.write(QStringLiteral("lastans"), "1.000  2.000  \r\n"));
    Form1 main(*box.context);
    const QSize designed = main.size();
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    checkWindow(&main, {{"Text1", "Command1"}});
    if (frames)
        checkFocusFrames(&main);
    const QPoint corner = main.pos();
    const QRect screen = main.screen()->availableGeometry();
    QVERIFY(screen.contains(main.frameGeometry()));

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
    child<QLineEdit>(editor, "Text1")->setText(values);
    checkWindow(editor);
    QVERIFY(screen.contains(editor->frameGeometry()));
    QVERIFY(screen.contains(form->frameGeometry()));
    if (frames)
        checkFocusFrames(editor);
    if (previewRoad)
        checkRoadClearOfText(editor);
    const QRect editorFrame = editor->frameGeometry();
    const int formWidth = form->frameGeometry().width();
    if (editorFrame.left() - screen.left() >= formWidth || screen.right() - editorFrame.right() >= formWidth)
        QVERIFY(!form->frameGeometry().intersects(editorFrame));
    checkWindow(form);
    if (frames)
        checkFocusFrames(form);
    press(child<QPushButton>(form, "Command3"));
    checkWindow(form, {{"Text1", "Command3"}});
    if (frames)
        checkFocusFrames(form);

    press(child<QPushButton>(form, "Command6"));
    QVERIFY(QTest::qWaitForWindowActive(editor));

    press(child<QPushButton>(editor, "Command4"));
    QVERIFY(QTest::qWaitForWindowActive(&main));
    press(child<QPushButton>(&main, "Command3"));
    QCOMPARE(child<QLabel>(&main, "Picture1")->text().split(QStringLiteral("  "), Qt::SkipEmptyParts).size(), order);
    QCOMPARE(child<QLabel>(&main, "Label1")->text().count(u'\n'), order);
    checkWindow(&main, {{"Text1", "Command1"}});
    QVERIFY(screen.contains(main.frameGeometry()));
    checkFirstLineShown(child<QLabel>(&main, "Label1"));
    if (road)
        checkRoadClearOfText(&main);
    if (frames) {
        checkFocusMarkClearOfText(&main, {"Picture1", "Label1"});
        main.findChild<QAction *>(QStringLiteral("final"))->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(main.report()->window()));
        checkOnScreen(main.report()->window());
        main.report()->window()->close();
    }

    // The log view takes the place of the whole matrix, at the window's size.
    auto *matrixArea = child<QWidget>(&main, "Label1Area");
    const QRect matrixPlace = matrixArea->geometry();
    press(child<QPushButton>(&main, "Command4"));
    checkWindow(&main, {{"Text1", "Command1"}});
    QVERIFY(!matrixArea->isVisible());
    const QRect log = child<QWidget>(&main, "Text2")->geometry();
    const QRect buttons = child<QWidget>(&main, "Command5")->geometry();
    QVERIFY(log.united(QRect(log.left(), buttons.top(), log.width(), buttons.height())).contains(matrixPlace));
    if (frames)
        checkFocusFrames(&main);
    press(child<QPushButton>(&main, "Command6"));
    QCOMPARE(matrixArea->geometry(), matrixPlace);
    QVERIFY(matrixArea->isVisible());

    // A small system again: both windows as designed, the main window back
    // where it was before it grew, the editor where the person moved it.
    press(child<QPushButton>(&main, "Command1"));
    editor->move(editor->pos() - QPoint(1, 1));
    const QPoint editorMoved = editor->pos();
    child<QScrollBar>(editor, "VScroll1")->setValue(10);
    child<QLineEdit>(editor, "Text1")->setText(QStringLiteral("2 1 5 1 3 10"));
    QCOMPARE(editor->size(), editorDesigned);
    QCOMPARE(editor->pos(), editorMoved);
    press(child<QPushButton>(editor, "Command4"));
    press(child<QPushButton>(&main, "Command3"));
    QCOMPARE(main.size(), designed);
    QCOMPARE(main.pos(), corner);
    if (frames)
        checkRingClearOfText(&main, {"Command2", "Command8"});

    Form4 *about = Form4::showSingle();
    QVERIFY(QTest::qWaitForWindowActive(about));
    checkWindow(about);
    QVERIFY(screen.contains(about->frameGeometry()));
    delete about;
}

void TestLayout::saveLoadPlace_data()
{
    // Frames as a window manager draws them around the editor and the
    // save/load window, in the pixels the windows count: the available
    // area, the editor centred on it.
    QTest::addColumn<QRect>("screen");
    QTest::newRow("1280 x 1024") << QRect(0, 0, 1280, 1024);
    QTest::newRow("800 x 600") << QRect(0, 0, 800, 600);
    QTest::newRow("1366 x 768 at 2") << QRect(0, 0, 683, 384);
    QTest::newRow("800 x 600 at 1.5") << QRect(0, 0, 533, 400);
    QTest::newRow("800 x 600 at 2") << QRect(0, 0, 400, 300);
}

// The save/load window beside the editor where there is room, else where it
// covers least of the editor's menu bar and contents box, and then least of
// the editor: no place on the screen covers less.
void TestLayout::saveLoadPlace()
{
    QFETCH(QRect, screen);
    QRect editor(0, 0, 318, 319);
    editor.moveCenter(screen.center());
    const QRect keepClear(editor.topLeft(), QSize(editor.width(), 70));
    const QSize form(318, 316);
    const auto cover = [&](const QRect &place) {
        const auto area = [](const QRect &r) { return r.isEmpty() ? 0 : qint64(r.width()) * r.height(); };
        return std::pair{area(place & keepClear), area(place & editor)};
    };
    const QRect placed(besideFrame(editor, form, keepClear, screen), form);
    QVERIFY(screen.contains(placed) || form.height() > screen.height());
    std::pair least = cover(placed);
    for (int x = screen.left(); x + form.width() - 1 <= screen.right(); ++x)
        for (int y = screen.top(); y + form.height() - 1 <= screen.bottom(); ++y)
            least = std::min(least, cover(QRect(QPoint(x, y), form)));
    QCOMPARE(cover(placed), least);
}

void TestLayout::messageBoxShowsItsTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("no data") << QStringLiteral("Ошибка") << QStringLiteral("Нет данных");
    QTest::newRow("new catalogue") << QStringLiteral("Создать SaveList") << QStringLiteral("Готово");
}

void TestLayout::messageBoxShowsItsTitle()
{
    QFETCH(QString, title);
    QFETCH(QString, text);
    const auto box = messageBox(nullptr, title, text, QMessageBox::Ok | QMessageBox::Cancel);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    QVERIFY(box->width() >= QFontMetrics(QApplication::font()).horizontalAdvance(title) + 100);
}

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
