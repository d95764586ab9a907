// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/road/roadanimation.h"

namespace ravno {

RoadAnimation::RoadAnimation(RoadKind kind) : m_kind(kind), m_geometry(roadGeometry(kind))
{
    m_dots[kLeftEdge] = m_geometry.edgesShownAtLoad;
    m_dots[kRightEdge] = m_geometry.edgesShownAtLoad;
    for (int i = 0; i < m_geometry.laneCount; ++i) {
        m_lanes.at(static_cast<std::size_t>(i)) = true;
        m_laneColours.at(static_cast<std::size_t>(i)) = kLaneDarkColour;
    }
}

void RoadAnimation::resetForLoad()
{
    m_animPhase = 0;
}

void RoadAnimation::setInterval(Timer timer, int intervalMs)
{
    (timer == Timer::Step ? m_stepInterval : m_paceInterval) = intervalMs;
    if (m_onInterval)
        m_onInterval(timer, intervalMs);
}

bool RoadAnimation::paceEvent()
{
    m_animPos = 0;
    bool changed = false;
    if (m_animPhase > 0) {
        // A new run; the pair a previous run left shown stays shown.
        setInterval(Timer::Step, kStepIntervalMs);
        for (int index : {kLeftRedDot, kRightRedDot, kLeftEdge, kRightEdge}) {
            changed = changed || !dotVisible(index);
            setDot(index, true);
        }
        return changed;
    }
    // The first pace event after load only brightens the two lanes.
    for (std::size_t i = 0; i < kAnimatedLanes; ++i) {
        changed = changed || m_laneColours[i] != kLaneBrightColour;
        m_laneColours[i] = kLaneBrightColour;
    }
    ++m_animPhase;
    return changed;
}

bool RoadAnimation::stepEvent()
{
    ++m_animTick;
    if (m_animTick != 2)
        return false;
    m_animTick = 0;
    if (m_animPos >= kLastLeftDot) {
        // A step event after the end of the run (one already on its way
        // when the timer stopped): the next "pair" would be the red dots and
        // the road edges, and beyond them there are no lines at all.
        if (m_stepInterval != 0)
            setInterval(Timer::Step, 0);
        return false;
    }
    // Each step hides the current pair before showing the next one, so the
    // first pair of a chain is never shown.
    setDot(m_animPos, false);
    setDot(m_animPos + kMirrorOffset, false);
    ++m_animPos;
    setDot(m_animPos, true);
    setDot(m_animPos + kMirrorOffset, true);
    if (m_animPos == kLastLeftDot)
        setInterval(Timer::Step, 0);
    return true;
}

bool RoadAnimation::graphClicked()
{
    if (m_graphChecked) {
        // The left dots 0..17 are not the road's: they stay as they are.
        for (int i = kLastLeftDot; i < kDotCount; ++i)
            setDot(i, false);
        m_horizon = false;
        for (std::size_t i = 0; i < kAnimatedLanes; ++i)
            m_lanes[i] = false;
        m_graphChecked = false;
        return true;
    }
    // Switched on again, the graphics can only be switched off after the
    // animation has been switched on and off once more.
    m_horizon = true;
    m_graphEnabled = false;
    m_graphChecked = true;
    for (std::size_t i = 0; i < kAnimatedLanes; ++i)
        m_lanes[i] = true;
    return true;
}

bool RoadAnimation::stoperClicked()
{
    if (m_stoperChecked) {
        // A run in progress goes on to its end; no new run starts.
        setInterval(Timer::Pace, 0);
        m_stoperChecked = false;
        m_graphEnabled = true;
        return false;
    }
    m_graphChecked = false;
    const bool changed = graphClicked();
    m_stoperChecked = true;
    setInterval(Timer::Pace, kPaceIntervalMs);
    return changed;
}

} // namespace ravno
