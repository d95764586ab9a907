// SPDX-License-Identifier: GPL-3.0-or-later
// The decorative road of one working window as a state machine: which lines
// are shown, the lane colour, the run counters and the intervals of the two
// timers, and the state of the "Разрешить графику" (graph) and "Разрешить
// анимацию" (stoper) switches. The owning window's RoadAnimator feeds it the
// timer events and menu clicks and applies the intervals it asks for; tests
// drive it event by event.
#pragma once

#include "core/road/roadgeometry.h"

#include <array>
#include <functional>
#include <utility>

namespace ravno {

class RoadAnimation
{
public:
    // A run asks for the shortest timer period; about 16 ms makes the 36
    // step events of a run last a little over half a second.
    static constexpr int kStepIntervalMs = 16;
    static constexpr int kPaceIntervalMs = 1000;

    enum class Timer { Step, Pace };
    // Called each time an event sets a timer's interval, even to the value
    // it already has: setting an interval restarts a running timer. 0 stops.
    using IntervalHandler = std::function<void(Timer, int intervalMs)>;

    // The state right after the window is loaded: pace timer running, step
    // timer stopped, all dots hidden (the editor shows its road edges),
    // horizon and lanes shown in their dark colours, graph checked and
    // disabled, stoper checked.
    explicit RoadAnimation(RoadKind kind);

    void setIntervalHandler(IntervalHandler handler) { m_onInterval = std::move(handler); }

    // The window's load handler: the lane phase starts again from 0, so the
    // next pace event brightens the lanes instead of starting a run. A run
    // in progress goes on; shown lines, colours and switches stay.
    void resetForLoad();

    // Each event returns whether anything drawn changed.
    bool paceEvent();
    bool stepEvent();
    bool graphClicked();
    bool stoperClicked();

    RoadKind kind() const { return m_kind; }
    const RoadGeometry &geometry() const { return m_geometry; }

    bool dotVisible(int index) const { return m_dots.at(static_cast<std::size_t>(index)); }
    bool horizonVisible() const { return m_horizon; }
    int laneCount() const { return m_geometry.laneCount; }
    bool laneVisible(int index) const { return m_lanes.at(static_cast<std::size_t>(index)); }
    Rgb laneColour(int index) const { return m_laneColours.at(static_cast<std::size_t>(index)); }

    int animPos() const { return m_animPos; }
    int animTick() const { return m_animTick; }
    int animPhase() const { return m_animPhase; }

    int stepInterval() const { return m_stepInterval; }
    int paceInterval() const { return m_paceInterval; }

    bool graphChecked() const { return m_graphChecked; }
    bool graphEnabled() const { return m_graphEnabled; }
    bool stoperChecked() const { return m_stoperChecked; }

private:
    void setDot(int index, bool shown) { m_dots.at(static_cast<std::size_t>(index)) = shown; }
    void setInterval(Timer timer, int intervalMs);

    RoadKind m_kind;
    const RoadGeometry &m_geometry;
    std::array<bool, kDotCount> m_dots{};
    bool m_horizon = true;
    std::array<bool, kMaxLanes> m_lanes{};
    std::array<Rgb, kMaxLanes> m_laneColours{};

    int m_animPos = 0;
    int m_animTick = 0;
    int m_animPhase = 0;

    int m_stepInterval = 0;
    int m_paceInterval = kPaceIntervalMs;

    bool m_graphChecked = true;
    bool m_graphEnabled = false;
    bool m_stoperChecked = true;

    IntervalHandler m_onInterval;
};

} // namespace ravno
