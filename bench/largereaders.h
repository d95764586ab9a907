// SPDX-License-Identifier: GPL-3.0-or-later
// The storage readers alone on files of hundreds of megabytes: a last array
// and a saved array of value lines, garbage as a saved array and as the
// catalogue, and a runaway answer log; then a log that is one line of
// 32 MiB beside a short one. Each reader runs in a child process
// of its own, so that the peak memory it reports is its own. Run by hand:
//   build/ravno_bench --large-readers [megabytes, default 200]
#pragma once

namespace ravno::bench {

inline const char *const largeReadersOption = "--large-readers";
int largeReaders(int argc, char *argv[]);

// The bounds a person works in, each in a child process on the offscreen
// platform: the editor loading and repainting an array of the most values
// it accepts, "Все ответы" on a log of the most bytes it shows, and
// "Последний ответ" on a log of 1 GiB beside one of 1 MiB. Run by hand:
//   build/ravno_bench --bounds
inline const char *const boundsOption = "--bounds";
int bounds(int argc, char *argv[]);
inline const char *const boundsChildOption = "--bounds-child";
int boundsChild(int argc, char *argv[]);

inline const char *const readerChildOption = "--reader-child";
// --reader-child <reader> <working folder>: runs one reader once and
// prints its time in ms and the process's peak resident memory in KiB.
int readerChild(int argc, char *argv[]);

} // namespace ravno::bench
