// SPDX-License-Identifier: GPL-3.0-or-later
// Points in a change of a file where a test that runs two copies of the
// program against each other holds one copy until the other has acted. The
// program never sets the hook; a test program sets it in its child process.
#pragma once

#include <QString>

namespace ravno {

enum class PausePoint {
    BeforeReplace, // a whole file is about to be replaced (after any read of it)
    BeforeAppend,  // a file is about to be appended to (after the checks)
    LockBusy,      // another copy holds the lock this one is about to wait for
    LockOpened,    // a lock file that may be stale is open, not yet locked
};

using PauseHook = void (*)(PausePoint point, const QString &path);
extern PauseHook pauseHook;

inline void pauseAt(PausePoint point, const QString &path)
{
    if (pauseHook)
        pauseHook(point, path);
}

} // namespace ravno
