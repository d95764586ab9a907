// SPDX-License-Identifier: GPL-3.0-or-later
// The check window's refusals in the student's words: why a line was no
// operation, no readable row or no readable answer, and where the reading
// stopped.
#pragma once

#include "core/check/checksession.h"

#include <QString>

namespace ravno {

// Empty when the line was taken (a step, a checked row or answer).
QString refusalText(const CheckEntry &entry, QStringView line, int order);
qsizetype refusedAt(const CheckEntry &entry);

} // namespace ravno
