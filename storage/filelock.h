// SPDX-License-Identifier: GPL-3.0-or-later
// Two copies of the program may work in the same folder. Every change of the
// answer log and of the catalogue runs under a lock file beside it
// (files/lastans.lock, files/SaveList.lock), so that neither copy loses what
// the other wrote. The holder keeps the file locked by the system (flock)
// for as long as it holds it; the file holds its process id, program name
// and host as QLockFile writes them. Where no lock file can be made (a
// read-only folder) the change goes on without one. A lock that no running
// copy holds (empty, unreadable, from another computer, of a process that is
// gone, or older than 30 s) is cleared and the change goes on; it is cleared
// only while locked by the clearer and still at its name, so that a copy
// stalled on a lock another copy cleared meanwhile never removes the live
// lock that took its place. A holder removes its lock file only while it is
// still its own. A folder, link or fifo at the lock file's place is named
// at once, since no copy could ever take that lock.
// Besides, every copy locks the file itself (flock) for each change, with
// or without a lock file: copies that differ in their rights to the folder
// still wait for each other.
#pragma once

#include "storage/fileresult.h"
#include "storage/folderaccess.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace ravno {

// The lock file of a file that has one.
QString lockFileName(const QString &fileName);

class FileLock
{
public:
    // path: the file to guard; the lock is path + ".lock", or none where
    // withLockFile is false (the arrays). waitMs: how long acquire() waits
    // for another copy (DataFolder::lockWaitMs).
    FileLock(const QString &path, int waitMs, bool withLockFile = true);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // Waits up to waitMs for the lock. An error when another copy keeps it
    // all that time; nothing when it is taken, or cannot be made at all.
    std::optional<FileError> acquire(const QString &shownName);

private:
    enum class Attempt { Taken, Busy, Again, NoLock, Blocked };
    Attempt tryOnce();
    Attempt clearIfStale();
    Attempt lockData();

    QString m_path;
    int m_waitMs;
    bool m_withLockFile;
    Place m_lock; // the lock file's place; its folder is the file's
    int m_fd = -1;     // the lock file, held
    int m_dataFd = -1; // the file itself, locked
};

// Runs work under the lock of path; its result, or the busy error.
template<typename Work>
auto underLock(const QString &path, const QString &shownName, int waitMs, Work work,
               bool withLockFile = true) -> decltype(work())
{
    FileLock lock(path, waitMs, withLockFile);
    if (auto busy = lock.acquire(shownName))
        return *busy;
    return work();
}

} // namespace ravno
