// SPDX-License-Identifier: GPL-3.0-or-later
// The detailed report of an order-10 solve, built and shown in its window:
// for random digits as "RND" makes them, and for 17-significant-digit
// entries over exponents -300..300, whose fractions grow long. Runs in a
// child on the offscreen platform, since the window needs a QApplication.
#pragma once

#include <QString>

namespace ravno::bench {

inline const char *const reportOption = "--report";
inline const char *const reportChildOption = "--report-child";

bool benchReport(const QString &program);
int reportChild(int argc, char *argv[]);

} // namespace ravno::bench
