// SPDX-License-Identifier: GPL-3.0-or-later
// The CPU a window takes while it only sits on the screen: each case runs
// in a child process on the offscreen platform for a fixed time, and the
// child's own CPU time over that time is its share of one core.
#pragma once

#include <QString>

namespace ravno::bench {

// Runs the five cases at once (each child counts only its own CPU time):
// the main window and the array editor showing `values` values with the
// focus off its contents box, each with the animation on and switched off,
// and the main window with an order-10 system solved, animation on.
bool benchIdle(const QString &program, int seconds, int values);

inline const char *const idleChildOption = "--idle-child";
// The child's side: arguments window ("main", "solved" or "editor"), animation ("on"
// or "off"), seconds, values. Prints the CPU share in percent.
int idleChild(int argc, char *argv[]);

} // namespace ravno::bench
