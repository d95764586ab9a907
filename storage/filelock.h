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
// lock that took its place.
#pragma once

#include "storage/fileresult.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace ravno {

// The lock file of a file that has one.
QString lockFileName(const QString &fileName);

class FileLock
{
public:
    // path: the file to guard; the lock is path + ".lock". waitMs: how long
    // acquire() waits for another copy (DataFolder::lockWaitMs).
    FileLock(const QString &path, int waitMs);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // Waits up to waitMs for the lock. An error when another copy keeps it
    // all that time; nothing when it is taken, or cannot be made at all.
    std::optional<FileError> acquire(const QString &shownName);

private:
    enum class Attempt { Taken, Busy, Again, NoLock };
    Attempt tryOnce();
    Attempt clearIfStale();

    QString m_path;
    QByteArray m_lockPath;
    int m_waitMs;
    int m_fd = -1; // the lock file, held
};

// Runs work under the lock of path; its result, or the busy error.
template<typename Work>
auto underLock(const QString &path, const QString &shownName, int waitMs, Work work)
    -> decltype(work())
{
    FileLock lock(path, waitMs);
    if (auto busy = lock.acquire(shownName))
        return *busy;
    return work();
}

} // namespace ravno
