// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/extras/roadanimator.h"

#include "ui/extras/roadview.h"

#include <QAction>
#include <QMainWindow>
#include <QTimer>

using namespace ravno;

namespace {

QWidget *controlHolder(QWidget *window)
{
    if (auto *main = qobject_cast<QMainWindow *>(window); main && main->centralWidget())
        return main->centralWidget();
    return window;
}

} // namespace

RoadAnimator::RoadAnimator(QWidget *window, RoadKind kind, QAction *graph, QAction *stoper)
    : QObject(window), m_road(kind), m_graph(graph), m_stoper(stoper)
{
    setObjectName(QStringLiteral("roadAnimator"));
    m_view = new RoadView(m_road, controlHolder(window));

    m_stepTimer = new QTimer(this);
    m_stepTimer->setObjectName(QStringLiteral("Timer1"));
    m_paceTimer = new QTimer(this);
    m_paceTimer->setObjectName(QStringLiteral("Timer2"));
    // Only every second step event changes what is drawn. The step timer
    // wakes the program a quarter as often and brings four step events at
    // once: the road moves at the same pace, shown in half as many frames,
    // each moving a dot two places, and the program sleeps four times as
    // long (the repaints are what an idle window costs).
    connect(m_stepTimer, &QTimer::timeout, this, [this] {
        bool changed = false;
        for (int i = 0; i < kStepEventsPerWake && (i == 0 || m_road.stepInterval() > 0); ++i)
            changed = m_road.stepEvent() || changed;
        afterEvent(changed);
    });
    connect(m_paceTimer, &QTimer::timeout, this, [this] { afterEvent(m_road.paceEvent()); });

    m_road.setIntervalHandler([this](RoadAnimation::Timer timer, int intervalMs) {
        applyInterval(timer, intervalMs);
    });
    applyInterval(RoadAnimation::Timer::Step, m_road.stepInterval());
    applyInterval(RoadAnimation::Timer::Pace, m_road.paceInterval());

    for (QAction *action : {graph, stoper}) {
        if (action)
            action->setCheckable(true);
    }
    if (m_graph)
        connect(m_graph, &QAction::triggered, this, [this] { afterEvent(m_road.graphClicked()); });
    if (m_stoper)
        connect(m_stoper, &QAction::triggered, this, [this] { afterEvent(m_road.stoperClicked()); });
    syncActions();
}

RoadAnimator::~RoadAnimator()
{
    delete m_view.data(); // it paints from m_road, which goes with this object
}

void RoadAnimator::resetForLoad()
{
    m_road.resetForLoad();
}

void RoadAnimator::setTimeScale(int factor)
{
    m_timeScale = factor;
    if (m_stepTimer->isActive())
        applyInterval(RoadAnimation::Timer::Step, m_road.stepInterval());
    if (m_paceTimer->isActive())
        applyInterval(RoadAnimation::Timer::Pace, m_road.paceInterval());
}

void RoadAnimator::applyInterval(RoadAnimation::Timer timer, int intervalMs)
{
    QTimer *t = timer == RoadAnimation::Timer::Step ? m_stepTimer : m_paceTimer;
    if (intervalMs > 0) // restarts it
        t->start(m_timeScale * (t == m_stepTimer ? kStepEventsPerWake * intervalMs : intervalMs));
    else
        t->stop();
}

void RoadAnimator::afterEvent(bool changed)
{
    syncActions();
    if (changed && m_view)
        m_view->refresh(); // only the lines that changed
}

void RoadAnimator::syncActions()
{
    if (m_graph) {
        m_graph->setChecked(m_road.graphChecked());
        m_graph->setEnabled(m_road.graphEnabled());
    }
    if (m_stoper)
        m_stoper->setChecked(m_road.stoperChecked());
}
