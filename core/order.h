// SPDX-License-Identifier: GPL-3.0-or-later
// The order of a system and the editor's scroll position that sets it: the
// scroll bar runs from 2 (order 10) down to 10 (order 2), and the array
// files store the position, not the order.
#pragma once

namespace ravno {

inline constexpr int kLowestOrder = 2;
inline constexpr int kHighestOrder = 10;

constexpr int positionOfOrder(int order)
{
    return 12 - order;
}

constexpr int orderAtPosition(int position)
{
    return 12 - position;
}

inline constexpr int kLowestPosition = positionOfOrder(kHighestOrder);
inline constexpr int kHighestPosition = positionOfOrder(kLowestOrder);

// A position the scroll bar can take; halves are rounded before asking.
constexpr bool isScrollPosition(double position)
{
    return position >= kLowestPosition && position <= kHighestPosition;
}

} // namespace ravno
