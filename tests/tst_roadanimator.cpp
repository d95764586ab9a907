// SPDX-License-Identifier: GPL-3.0-or-later
#include "roadscript.h"
#include "testsupport.h"
#include "ui/editor/form2.h"
#include "ui/extras/keptlabel.h"
#include "ui/extras/roadanimator.h"
#include "ui/extras/roadview.h"
#include "ui/main/form1.h"
#include "ui/saveload/form3.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPaintEvent>
#include <QScreen>
#include <QWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace ravno;

namespace {

// Timers stretched this far never fire within a test; it fires them itself.
constexpr int kHandDriven = 1000;

void fire(QTimer *timer)
{
    QVERIFY(timer->isActive());
    QMetaObject::invokeMethod(timer, "timeout");
}

// A window with the two switches as its menu would hold them.
struct Window
{
    Window(RoadKind kind = RoadKind::Form1)
    {
        widget.resize(314, 272);
        graph = new QAction(QStringLiteral("Разрешить графику"), &widget);
        graph->setObjectName(QStringLiteral("graph"));
        stoper = new QAction(QStringLiteral("Разрешить анимацию"), &widget);
        stoper->setObjectName(QStringLiteral("stoper"));
        road = new RoadAnimator(&widget, kind, graph, stoper);
        road->setTimeScale(kHandDriven);
    }
    QWidget widget;
    QAction *graph;
    QAction *stoper;
    RoadAnimator *road;
};

bool hasColour(const QImage &image, const QColor &colour, const QRect &area)
{
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

} // namespace

class TestRoadAnimator : public QObject
{
    Q_OBJECT
private slots:
    void menuFollowsClicks_data();
    void menuFollowsClicks();
    void viewLiesBeneathControls();
    void mainWindowRoadGoesOnCentralWidget();
    void runsWhileHidden();
    void drawing_data();
    void drawing();
    void windowsCarryRoad_data();
    void windowsCarryRoad();
    void runRepaintsOnlyTheRoad();
    void keptLabelFollowsChanges_data();
    void keptLabelFollowsChanges();
};

void TestRoadAnimator::menuFollowsClicks_data()
{
    // Clicks: g = graph, s = stoper. A disabled item takes no click.
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<bool>("graphChecked");
    QTest::addColumn<bool>("graphEnabled");
    QTest::addColumn<bool>("stoperChecked");
    QTest::addColumn<bool>("paceRunning");

    QTest::newRow("at load") << "" << true << false << true << true;
    QTest::newRow("graphics locked at load") << "g" << true << false << true << true;
    QTest::newRow("animation off") << "s" << true << true << false << false;
    QTest::newRow("animation off, graphics off") << "sg" << false << true << false << false;
    QTest::newRow("graphics back on locks them") << "sgg" << true << false << false << false;
    QTest::newRow("locked graphics stay on") << "sggg" << true << false << false << false;
    QTest::newRow("animation on restores graphics") << "sgs" << true << false << true << true;
    QTest::newRow("animation off and on") << "ss" << true << false << true << true;
}

void TestRoadAnimator::menuFollowsClicks()
{
    QFETCH(QString, clicks);
    Window w;
    for (QChar c : clicks)
        (c == u'g' ? w.graph : w.stoper)->trigger();

    QTEST(w.graph->isChecked(), "graphChecked");
    QTEST(w.graph->isEnabled(), "graphEnabled");
    QTEST(w.stoper->isChecked(), "stoperChecked");
    QTEST(w.road->paceTimer()->isActive(), "paceRunning");
    QCOMPARE(w.graph->isChecked(), w.road->state().graphChecked());
    QCOMPARE(w.stoper->isChecked(), w.road->state().stoperChecked());
    QCOMPARE(w.road->state().horizonVisible(), w.graph->isChecked());
}

void TestRoadAnimator::viewLiesBeneathControls()
{
    QWidget window;
    window.resize(300, 280);
    auto *button = new QPushButton(QStringLiteral("Ввести данные"), &window);
    button->setGeometry(8, 8, 280, 25);
    RoadAnimator road(&window, RoadKind::Form1);
    RoadView *view = road.view();

    QCOMPARE(view->parentWidget(), &window);
    QCOMPARE(view->geometry(), window.rect());
    QCOMPARE(window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly).constFirst(), view);
    // The mouse goes through the road to the window and to the controls.
    QCOMPARE(window.childAt(150, 200), nullptr);
    QCOMPARE(window.childAt(20, 20), button);

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.resize(400, 500);
    QCOMPARE(view->geometry(), window.rect());
}

void TestRoadAnimator::mainWindowRoadGoesOnCentralWidget()
{
    QMainWindow window;
    auto *central = new QWidget;
    window.setCentralWidget(central);
    auto *road = new RoadAnimator(&window, RoadKind::Form1);
    QCOMPARE(road->parent(), &window);
    QCOMPARE(road->view()->parentWidget(), central);

    // The view goes with its animator, and the animator with its window.
    QPointer<RoadView> view = road->view();
    delete road;
    QVERIFY(view.isNull());
}

void TestRoadAnimator::runsWhileHidden()
{
    Window w;
    QVERIFY(!w.widget.isVisible());
    const RoadAnimation &road = w.road->state();

    fire(w.road->paceTimer());
    QCOMPARE(road.laneColour(0), kLaneBrightColour);
    QVERIFY(!road.dotVisible(kLeftRedDot));
    fire(w.road->paceTimer());
    QVERIFY(road.dotVisible(kLeftRedDot));
    // Two step events each time it fires: only the second of a pair moves.
    for (int i = 0; i < 100 && !road.dotVisible(kLastLeftDot); ++i)
        fire(w.road->stepTimer());
    QVERIFY(road.dotVisible(kLastLeftDot));
    QVERIFY(!w.road->stepTimer()->isActive());
    QVERIFY(road.dotVisible(kLastLeftDot + kMirrorOffset));
}

void TestRoadAnimator::drawing_data()
{
    QTest::addColumn<RoadKind>("kind");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QPoint>("near"); // twips; (-1, -1): anywhere
    QTest::addColumn<bool>("drawn");

    const QColor horizon(64, 0, 64), dark(64, 64, 0), bright(192, 192, 0), dot(0, 255, 0),
        edge(0, 128, 0);
    const QPoint anywhere(-1, -1);
    const auto F1 = RoadKind::Form1, F2 = RoadKind::Form2, F3 = RoadKind::Form3;
    QTest::newRow("horizon where it belongs") << F1 << "" << horizon << QPoint(2340, 1800) << true;
    QTest::newRow("editor horizon") << F2 << "" << horizon << QPoint(2340, 1560) << true;
    QTest::newRow("horizon gone with graphics") << F1 << "A G" << horizon << anywhere << false;
    QTest::newRow("dark lanes at load") << F1 << "" << dark << anywhere << true;
    QTest::newRow("no bright lanes at load") << F1 << "" << bright << anywhere << false;
    QTest::newRow("first pace brightens lanes") << F1 << "P" << bright << anywhere << true;
    QTest::newRow("no dark lanes left") << F1 << "P" << dark << anywhere << false;
    QTest::newRow("lanes gone with graphics") << F1 << "P A G" << bright << anywhere << false;
    QTest::newRow("save/load window keeps its other lanes")
        << F3 << "P A G" << dark << anywhere << true;
    QTest::newRow("red dots wait for a run") << F1 << "P" << QColor(255, 0, 0) << anywhere << false;
    QTest::newRow("main window red dot")
        << F1 << "P P" << QColor(255, 0, 0) << QPoint(2467, 2040) << true;
    QTest::newRow("editor red dot")
        << F2 << "P P" << QColor(192, 0, 0) << QPoint(2227, 1800) << true;
    QTest::newRow("no road edges at load") << F1 << "" << edge << anywhere << false;
    QTest::newRow("editor road edge at load") << F2 << "" << edge << QPoint(1080, 3000) << true;
    QTest::newRow("no dots at load") << F1 << "" << dot << anywhere << false;
    QTest::newRow("thick dot of a run") << F1 << "P P S2" << dot << QPoint(247, 4080) << true;
    QTest::newRow("its mirror partner") << F1 << "P P S2" << dot << QPoint(4447, 4080) << true;
    QTest::newRow("thin last dot after a run") << F1 << "P P S36" << dot << QPoint(2430, 2040)
                                               << true;
}

void TestRoadAnimator::drawing()
{
    QFETCH(RoadKind, kind);
    QFETCH(QString, script);
    QFETCH(QColor, colour);
    QFETCH(QPoint, near);
    QFETCH(bool, drawn);

    QWidget window;
    window.resize(320, 420); // room for the save/load window's lowest lanes
    RoadAnimation road(kind);
    auto *view = new RoadView(road, &window);
    playRoad(road, script);

    QImage image(view->size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    view->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);

    QRect area = image.rect();
    if (near.x() >= 0)
        area = QRect(view->toPixels(near.x(), near.y()).toPoint(), QSize()).adjusted(-2, -2, 2, 2);
    QCOMPARE(hasColour(image, colour, area), drawn);
}

void TestRoadAnimator::windowsCarryRoad_data()
{
    QTest::addColumn<RoadKind>("kind");
    QTest::addColumn<bool>("hasMenu");

    QTest::newRow("main window") << RoadKind::Form1 << true;
    QTest::newRow("editor") << RoadKind::Form2 << true;
    QTest::newRow("save/load window") << RoadKind::Form3 << false;
}

void TestRoadAnimator::windowsCarryRoad()
{
    QFETCH(RoadKind, kind);
    QFETCH(bool, hasMenu);

    test::Sandbox box;
    Form2 editor(*box.context);
    std::unique_ptr<QWidget> owned;
    QWidget *window = &editor;
    if (kind == RoadKind::Form1)
        owned = std::make_unique<Form1>(*box.context);
    else if (kind == RoadKind::Form3)
        owned = std::make_unique<Form3>(*box.context, editor);
    if (owned)
        window = owned.get();

    const QList<RoadAnimator *> roads = window->findChildren<RoadAnimator *>();
    QCOMPARE(roads.size(), 1);
    const RoadAnimator *road = roads.constFirst();
    QCOMPARE(road->state().kind(), kind);

    // The road covers the client area, below the menu bar and beneath every
    // control.
    auto *holder = window->findChild<QWidget *>(QStringLiteral("client"));
    QVERIFY(holder);
    QCOMPARE(road->view()->parentWidget(), holder);
    QCOMPARE(road->view()->geometry(), holder->rect());
    QCOMPARE(holder->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).constFirst(),
             road->view());

    // As loaded: the pace timer runs, the step timer waits, the lanes are
    // still dark.
    QVERIFY(road->paceTimer()->isActive());
    QVERIFY(!road->stepTimer()->isActive());
    QCOMPARE(road->state().animPhase(), 0);
    QCOMPARE(road->state().laneColour(0), kLaneDarkColour);

    auto *graph = window->findChild<QAction *>(QStringLiteral("graph"));
    auto *stoper = window->findChild<QAction *>(QStringLiteral("stoper"));
    QCOMPARE(graph != nullptr, hasMenu);
    QCOMPARE(stoper != nullptr, hasMenu);
    if (!hasMenu)
        return;
    QCOMPARE(graph->text().remove(u'&'), QStringLiteral("Разрешить графику"));
    QCOMPARE(stoper->text().remove(u'&'), QStringLiteral("Разрешить анимацию"));
    QVERIFY(graph->isChecked() && !graph->isEnabled());
    QVERIFY(stoper->isChecked() && stoper->isEnabled());
    // The window's own switches drive its own road.
    stoper->trigger();
    QVERIFY(!road->paceTimer()->isActive());
    QVERIFY(graph->isEnabled());
    graph->trigger();
    QVERIFY(!road->state().horizonVisible());
}

namespace {

// Counts the paint events of one widget and joins up the regions they ask for.
struct PaintWatch : QObject
{
    explicit PaintWatch(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watching) {
            ++count;
            painted += static_cast<QPaintEvent *>(event)->region();
        }
        return false;
    }
    bool watching = true; // off while a test renders the window itself
    int count = 0;
    QRegion painted;
};

} // namespace

void TestRoadAnimator::runRepaintsOnlyTheRoad()
{
    // The editor with a long contents box, which lies clear of the road.
    test::Sandbox box;
    Form2 editor(*box.context);
    auto *text = editor.findChild<QLineEdit *>(QStringLiteral("Text1"));
    QVERIFY(text);
    text->setText(QString(2000, u'7'));
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    // The focus goes on, so that no blinking cursor repaints the box.
    QTest::keyClick(editor.windowHandle(), Qt::Key_Tab);
    QVERIFY(!text->hasFocus());
    // New random contents: the preview over the road shows another system.
    auto *rnd = editor.findChild<QPushButton *>(QStringLiteral("Command1"));
    auto *preview = editor.findChild<QLabel *>(QStringLiteral("Label1"));
    const QString before = preview->text();
    QTest::mouseClick(editor.windowHandle(), Qt::LeftButton, {},
                      rnd->mapTo(&editor, rnd->rect().center()));
    QVERIFY(preview->text() != before);
    RoadAnimator *road = editor.findChild<RoadAnimator *>();
    road->setTimeScale(kHandDriven);
    fire(road->paceTimer());
    QCoreApplication::processEvents();

    PaintWatch onText(text);
    PaintWatch onRoad(road->view());
    // What the screen holds after the small repaints is what painting the
    // window afresh gives: no dot is left behind, none is cut.
    QWindow *window = editor.windowHandle();
    const auto sameAsAfresh = [&] {
        const QImage onScreen = window->screen()->grabWindow(window->winId()).toImage();
        onText.watching = onRoad.watching = false;
        const QImage afresh = editor.grab().toImage();
        onText.watching = onRoad.watching = true;
        return onScreen.convertToFormat(QImage::Format_RGB32)
               == afresh.convertToFormat(QImage::Format_RGB32);
    };
    // Mid-run, with the thick dots near the bottom shown, and after the run.
    fire(road->paceTimer());
    const auto step = [&] {
        fire(road->stepTimer());
        QCoreApplication::processEvents();
    };
    for (int i = 0; i < 100 && road->state().animPos() < 3; ++i)
        step();
    QVERIFY(sameAsAfresh());
    for (int i = 0; i < 100 && road->stepTimer()->isActive(); ++i)
        step();
    QVERIFY(sameAsAfresh());

    QCOMPARE(onText.count, 0);
    // One repaint for every two moves of the run at the least.
    QVERIFY(onRoad.count >= 18 / (RoadAnimator::kStepEventsPerWake / 2));
    const QRect whole = road->view()->rect();
    const QRect bounds = onRoad.painted.boundingRect();
    QVERIFY2(bounds.width() * bounds.height() < whole.width() * whole.height() * 3 / 4,
             "the road repaints far more than its moving dots");
}

void TestRoadAnimator::keptLabelFollowsChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("text") << "text";
    QTest::newRow("colour") << "colour";
    QTest::newRow("size") << "size";
    QTest::newRow("alignment") << "alignment";
}

void TestRoadAnimator::keptLabelFollowsChanges()
{
    QFETCH(QString, change);
    // A kept label and a plain one side by side on black, changed alike:
    // the kept one must show what the plain one shows, not its old picture.
    QWidget window;
    window.setStyleSheet(QStringLiteral("QWidget { background: black; }"
                                        "QLabel { background: transparent; color: rgb(0,255,0); }"));
    window.resize(400, 100);
    auto *kept = new KeptLabel(QStringLiteral("1 2 3\n4 5 6"), &window);
    auto *plain = new QLabel(kept->text(), &window);
    kept->setGeometry(0, 0, 200, 100);
    plain->setGeometry(200, 0, 200, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents(); // the picture is taken
    const auto shot = [&](QLabel *label) {
        QCoreApplication::processEvents();
        label->repaint(); // as the road below repaints it
        const QImage screen = window.screen()->grabWindow(window.winId()).toImage();
        return screen.copy(label->geometry()).convertToFormat(QImage::Format_RGB32);
    };
    QCOMPARE(shot(kept), shot(plain));

    for (QLabel *label : {static_cast<QLabel *>(kept), plain}) {
        if (change == u"text")
            label->setText(QStringLiteral("7 8 9"));
        else if (change == u"colour")
            label->setStyleSheet(QStringLiteral("color: rgb(0,255,255);"));
        else if (change == u"size")
            label->resize(120, 60);
        else
            label->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    }
    QCOMPARE(shot(kept), shot(plain));
}

QTEST_MAIN(TestRoadAnimator)
#include "tst_roadanimator.moc"
