// SPDX-License-Identifier: GPL-3.0-or-later
// The decorative road of one working window, ready to attach: it owns the
// road's state machine, its view and the two timers Timer1 (step) and Timer2
// (pace), and keeps the window's graph and stoper menu items in step with
// the state. The main window, the editor and the save/load window each
// create one after their controls:
//     m_road = new RoadAnimator(this, ravno::RoadKind::Form1, graph, stoper);
// and call resetForLoad() from their load handler.
#pragma once

#include "core/road/roadanimation.h"
#include "ui/extras/roadview.h"

#include <QObject>
#include <QPointer>

class QAction;
class QTimer;
class QWidget;

class RoadAnimator : public QObject
{
    Q_OBJECT
public:
    // window: the window, or the widget that holds its controls; for a
    // QMainWindow the road goes onto its central widget, which must be set
    // by then. graph and stoper may be null (the save/load window has no
    // menu); given, they are made checkable and driven from here. The pace
    // timer starts at once; the animator is a child of window.
    RoadAnimator(QWidget *window, ravno::RoadKind kind, QAction *graph = nullptr,
                 QAction *stoper = nullptr);
    ~RoadAnimator() override;

    // The window's load handler: the lane phase starts again from 0.
    void resetForLoad();

    const ravno::RoadAnimation &state() const { return m_road; }
    RoadView *view() const { return m_view.data(); }
    // The step timer fires at this many times the step interval the road
    // asks for and brings as many step events each time.
    static constexpr int kStepEventsPerWake = 4;
    QTimer *stepTimer() const { return m_stepTimer; }
    QTimer *paceTimer() const { return m_paceTimer; }
    // Every interval the road asks for is taken factor times (1 unless set).
    // Tests stretch the timers so far that they never fire by themselves,
    // and fire them by hand.
    void setTimeScale(int factor);

private:
    void applyInterval(ravno::RoadAnimation::Timer timer, int intervalMs);
    void afterEvent(bool changed);
    void syncActions();

    ravno::RoadAnimation m_road;
    QPointer<RoadView> m_view; // a child of the control holder, not of this
    QTimer *m_stepTimer = nullptr;
    QTimer *m_paceTimer = nullptr;
    QPointer<QAction> m_graph;
    QPointer<QAction> m_stoper;
    int m_timeScale = 1;
};
