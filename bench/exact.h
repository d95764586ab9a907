// SPDX-License-Identifier: GPL-3.0-or-later
// The exact solver on its hardest inputs: order-10 systems of numbers with
// 17 significant digits over decimal exponents -300..300, timed one by one,
// with how many bits the numbers take.
#pragma once

namespace ravno::bench {

inline const char *const exactOption = "--exact";

// Ravno's whole solve (from the workspace's doubles to the texts) taking
// turns with FLINT's fmpq_mat_solve_fraction_free and fmpq_mat_solve on
// the same systems, `systems` of each of six kinds, with the ratios; Ravno's
// side alone when built without FLINT.
bool benchAgainstReference(int systems);

// `systems` random systems; prints the median and the slowest solve and the
// largest sizes. False when a solve takes more than 100 ms of CPU time.
bool benchExact(int systems);

// The Hilbert system of order 10 typed in fractions (b the row sums) and
// the same typed in 17-digit decimals, and `systems` random systems of
// 17-digit decimals, each from the editor's text through the whole solve,
// taking turns; prints the CPU medians and the ratios.
bool benchHilbert(int systems);

} // namespace ravno::bench
