// SPDX-License-Identifier: GPL-3.0-or-later
#include "roadscript.h"

using namespace ravno;
using Timer = RoadAnimation::Timer;

namespace {

QList<int> visibleDots(const RoadAnimation &road)
{
    QList<int> shown;
    for (int i = 0; i < kDotCount; ++i) {
        if (road.dotVisible(i))
            shown << i;
    }
    return shown;
}

const QList<int> kRoad{38, 39, 40, 41}; // red dots and road edges

// The given dots together with the red dots and the road edges, in order.
QList<int> withRoad(QList<int> dots)
{
    dots.append(kRoad);
    std::sort(dots.begin(), dots.end());
    return dots;
}

} // namespace

class TestRoadAnimation : public QObject
{
    Q_OBJECT
private slots:
    void dots_data();
    void dots();
    void switches_data();
    void switches();
    void intervals_data();
    void intervals();
    void firstPairNeverShown();
    void geometryIsARoad_data();
    void geometryIsARoad();
};

void TestRoadAnimation::dots_data()
{
    QTest::addColumn<RoadKind>("kind");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QList<int>>("shown");
    QTest::addColumn<int>("animPos");
    QTest::addColumn<int>("stepInterval");

    const int run = RoadAnimation::kStepIntervalMs;
    const auto F1 = RoadKind::Form1;
    QTest::newRow("main window at load") << F1 << "" << QList<int>{} << 0 << 0;
    QTest::newRow("editor shows its road edges at load")
        << RoadKind::Form2 << "" << QList<int>{40, 41} << 0 << 0;
    QTest::newRow("save/load window at load") << RoadKind::Form3 << "" << QList<int>{} << 0 << 0;
    QTest::newRow("first pace starts no run") << F1 << "P" << QList<int>{} << 0 << 0;
    QTest::newRow("second pace shows the road and starts a run")
        << F1 << "P P" << kRoad << 0 << run;
    QTest::newRow("odd step moves nothing") << F1 << "P P S" << kRoad << 0 << run;
    QTest::newRow("every second step moves a pair")
        << F1 << "P P S2" << withRoad({1, 20}) << 1 << run;
    QTest::newRow("run ends at 18 and stops the step timer")
        << F1 << "P P S36" << withRoad({18, 37}) << 18 << 0;
    QTest::newRow("late step events change nothing")
        << F1 << "P P S36 S5" << withRoad({18, 37}) << 18 << 0;
    QTest::newRow("next run keeps 18 and 37")
        << F1 << "P P S36 P S2" << withRoad({1, 20, 18, 37}) << 1 << run;
    QTest::newRow("pace mid-run keeps the shown pair")
        << F1 << "P P S10 P" << withRoad({5, 24}) << 0 << run;
    QTest::newRow("run restarted mid-run leaves the old pair")
        << F1 << "P P S10 P S2" << withRoad({1, 20, 5, 24}) << 1 << run;
    QTest::newRow("pace keeps an odd step count")
        << F1 << "P P S3 P S" << withRoad({1, 20}) << 1 << run;
    QTest::newRow("animation off mid-run lets the run end")
        << F1 << "P P S10 A S26" << withRoad({18, 37}) << 18 << 0;
    QTest::newRow("graphics off hides 18..41 only")
        << F1 << "P P S36 P S10 A G" << QList<int>{5} << 5 << run;
    QTest::newRow("a run goes on with the graphics off")
        << F1 << "P P S36 P S10 A G S26" << QList<int>{18, 37} << 18 << 0;
    QTest::newRow("graphics on again brings no dots back")
        << F1 << "P P S36 A G G" << QList<int>{} << 18 << 0;
    QTest::newRow("animation on: red dots and edges wait for the pace")
        << F1 << "P P S36 A G A" << QList<int>{} << 18 << 0;
    QTest::newRow("animation on: the next pace shows them")
        << F1 << "P P S36 A G A P" << kRoad << 0 << run;
    QTest::newRow("switches leave the run alone")
        << F1 << "P P S10 A G A" << QList<int>{5} << 5 << run;
    QTest::newRow("editor graphics off hides its edges")
        << RoadKind::Form2 << "A G" << QList<int>{} << 0 << 0;
    QTest::newRow("load handler mid-run lets the run go on")
        << F1 << "P P S10 L" << withRoad({5, 24}) << 5 << run;
    QTest::newRow("after a load reset the next pace only brightens")
        << F1 << "P P S10 L P S2" << withRoad({1, 20, 5, 24}) << 1 << run;
}

void TestRoadAnimation::dots()
{
    QFETCH(RoadKind, kind);
    QFETCH(QString, script);
    QFETCH(QList<int>, shown);
    QFETCH(int, animPos);
    QFETCH(int, stepInterval);

    RoadAnimation road(kind);
    playRoad(road, script);
    QCOMPARE(visibleDots(road), shown);
    QCOMPARE(road.animPos(), animPos);
    QCOMPARE(road.stepInterval(), stepInterval);
}

void TestRoadAnimation::switches_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("graphChecked");
    QTest::addColumn<bool>("graphEnabled");
    QTest::addColumn<bool>("stoperChecked");
    QTest::addColumn<int>("paceInterval");
    QTest::addColumn<bool>("roadShown"); // horizon and both lanes
    QTest::addColumn<bool>("bright");
    QTest::addColumn<int>("animPhase");

    const int pace = RoadAnimation::kPaceIntervalMs;
    QTest::newRow("load") << "" << true << false << true << pace << true << false << 0;
    QTest::newRow("first pace brightens the lanes")
        << "P" << true << false << true << pace << true << true << 1;
    QTest::newRow("later paces leave the phase at 1")
        << "P P P" << true << false << true << pace << true << true << 1;
    QTest::newRow("animation off unlocks graphics")
        << "A" << true << true << false << 0 << true << false << 0;
    QTest::newRow("animation off and on locks graphics")
        << "A A" << true << false << true << pace << true << false << 0;
    QTest::newRow("graphics off") << "A G" << false << true << false << 0 << false << false << 0;
    QTest::newRow("graphics on again locks them")
        << "A G G" << true << false << false << 0 << true << false << 0;
    QTest::newRow("animation on restores graphics")
        << "A G A" << true << false << true << pace << true << false << 0;
    QTest::newRow("hidden lanes keep their colour")
        << "P A G" << false << true << false << 0 << false << true << 1;
    QTest::newRow("bright lanes outlive the switches")
        << "P A G G A A A" << true << false << true << pace << true << true << 1;
}

void TestRoadAnimation::switches()
{
    QFETCH(QString, script);

    RoadAnimation road(RoadKind::Form1);
    playRoad(road, script);
    QTEST(road.graphChecked(), "graphChecked");
    QTEST(road.graphEnabled(), "graphEnabled");
    QTEST(road.stoperChecked(), "stoperChecked");
    QTEST(road.paceInterval(), "paceInterval");
    QFETCH(bool, roadShown);
    QCOMPARE(road.horizonVisible(), roadShown);
    QCOMPARE(road.laneVisible(0), roadShown);
    QCOMPARE(road.laneVisible(1), roadShown);
    QFETCH(bool, bright);
    const Rgb lane = bright ? kLaneBrightColour : kLaneDarkColour;
    QCOMPARE(road.laneColour(0), lane);
    QCOMPARE(road.laneColour(1), lane);
    QTEST(road.animPhase(), "animPhase");
}

void TestRoadAnimation::intervals_data()
{
    // Every interval an event sets, in order: S16 = step timer to 16 ms,
    // P0 = pace timer stopped.
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("set");

    QTest::newRow("first pace sets nothing") << "P" << QStringList{};
    QTest::newRow("each later pace restarts the step timer")
        << "P P S10 P" << QStringList{"S16", "S16"};
    QTest::newRow("a run stops its timer once") << "P P S40" << QStringList{"S16", "S0"};
    QTest::newRow("animation off and on") << "A A" << QStringList{"P0", "P1000"};
    QTest::newRow("graphics switch no timer") << "A G G" << QStringList{"P0"};
    QTest::newRow("load handler sets no timer") << "P P L" << QStringList{"S16"};
}

void TestRoadAnimation::intervals()
{
    QFETCH(QString, script);
    QFETCH(QStringList, set);

    QStringList seen;
    RoadAnimation road(RoadKind::Form2);
    road.setIntervalHandler([&seen](Timer timer, int ms) {
        seen << (timer == Timer::Step ? u'S' : u'P') + QString::number(ms);
    });
    playRoad(road, script);
    QCOMPARE(seen, set);
}

void TestRoadAnimation::firstPairNeverShown()
{
    RoadAnimation road(RoadKind::Form1);
    playRoad(road, QStringLiteral("P P"));
    for (int run = 0; run < 2; ++run) {
        int moves = 0;
        for (int step = 0; step < 36; ++step) {
            if (road.stepEvent())
                ++moves;
            QVERIFY(!road.dotVisible(0));
            QVERIFY(!road.dotVisible(19));
            const int pos = road.animPos();
            QVERIFY(pos == 0 || (road.dotVisible(pos) && road.dotVisible(pos + kMirrorOffset)));
        }
        QCOMPARE(moves, 18);
        QCOMPARE(road.stepInterval(), 0);
        road.paceEvent();
    }
}

void TestRoadAnimation::geometryIsARoad_data()
{
    QTest::addColumn<RoadKind>("kind");
    QTest::newRow("main window") << RoadKind::Form1;
    QTest::newRow("editor") << RoadKind::Form2;
    QTest::newRow("save/load window") << RoadKind::Form3;
}

void TestRoadAnimation::geometryIsARoad()
{
    QFETCH(RoadKind, kind);
    const RoadGeometry &g = roadGeometry(kind);

    // Each dot lies level with its mirror partner, as thick, below the
    // horizon; both chains climb towards it and thin out on the way.
    for (int i = 0; i <= kLastLeftDot; ++i) {
        const Segment &left = g.line1.at(std::size_t(i));
        const Segment &right = g.line1.at(std::size_t(i + kMirrorOffset));
        QCOMPARE(left.y1, right.y1);
        QCOMPARE(dotWidth(i), dotWidth(i + kMirrorOffset));
        QVERIFY2(left.y1 > g.line2.y1, qPrintable(QString::number(i)));
        QVERIFY(left.x1 < right.x1);
        if (i > 0) {
            QVERIFY(left.y1 < g.line1.at(std::size_t(i - 1)).y1);
            QVERIFY(dotWidth(i) <= dotWidth(i - 1));
        }
    }
    // The red dots sit level with the last pair; the road edges start level
    // with the far ends of the lanes.
    QCOMPARE(g.line1[kLeftRedDot].y1, g.line1[kLastLeftDot].y1);
    QCOMPARE(g.line1[kRightRedDot].y1, g.line1[kLastLeftDot].y1);
    QCOMPARE(g.line1[kLeftEdge].y1, g.line3[0].y2);
    QCOMPARE(g.line1[kRightEdge].y1, g.line3[1].y2);
}

QTEST_GUILESS_MAIN(TestRoadAnimation)
#include "tst_roadanimation.moc"
