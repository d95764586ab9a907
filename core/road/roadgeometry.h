// SPDX-License-Identifier: GPL-3.0-or-later
// Where the decorative road of each working window lies: the 42 dots, road
// edges and vanishing-point dots of Line1, the horizon Line2 and the dotted
// lane lines Line3, as data. RoadAnimation decides what is shown; RoadView
// draws these lines with it. Coordinates are twips of the window's client
// area, widths are pixels at 96 dpi.
#pragma once

#include <array>
#include <cstdint>

namespace ravno {

// Which window a road belongs to: the main window, the array editor or the
// save/load window. Each has its own geometry.
enum class RoadKind { Form1, Form2, Form3 };

struct Rgb
{
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

struct Segment
{
    int x1, y1, x2, y2; // twips
};

// Line1: 0..18 the left chain of dots, 19..37 their mirror partners on the
// right (index + 19), 38 and 39 the red dots at the vanishing point, 40 and
// 41 the road edges.
inline constexpr int kDotCount = 42;
inline constexpr int kLastLeftDot = 18;
inline constexpr int kMirrorOffset = 19;
inline constexpr int kRightRedDot = 38;
inline constexpr int kLeftRedDot = 39;
inline constexpr int kLeftEdge = 40;
inline constexpr int kRightEdge = 41;
// Line3(0) and Line3(1) are the lane lines the animation works on; the save/
// load window has three more that it leaves alone.
inline constexpr int kAnimatedLanes = 2;
inline constexpr int kMaxLanes = 5;

inline constexpr Rgb kDotColour{0, 255, 0};
inline constexpr Rgb kEdgeColour{0, 128, 0};
inline constexpr Rgb kHorizonColour{64, 0, 64};
inline constexpr Rgb kLaneDarkColour{64, 64, 0};
inline constexpr Rgb kLaneBrightColour{192, 192, 0};

struct RoadGeometry
{
    std::array<Segment, kDotCount> line1;
    Rgb redDotColour;
    Segment line2;
    std::array<Segment, kMaxLanes> line3;
    int laneCount;          // how many Line3 the window has
    bool edgesShownAtLoad;  // the editor shows its road edges from the start
};

const RoadGeometry &roadGeometry(RoadKind kind);

// Pen width of Line1(index) in pixels at 96 dpi.
int dotWidth(int index);
// Colour of Line1(index) in the given geometry.
Rgb dotColour(const RoadGeometry &geometry, int index);

} // namespace ravno
