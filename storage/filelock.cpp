// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/filelock.h"

#include "storage/pausepoint.h"

#include <QFileInfo>
#include <QSysInfo>

namespace ravno {
namespace {

// The locked work takes milliseconds (the views refuse files over 16 MB), so
// a lock this old was left behind.
constexpr int kStaleMs = 30000;

// A lock that names no copy running here: empty or unreadable (its writer
// died before filling it in), or written on another computer, whose process
// ids mean nothing here (a files folder copied over).
bool namesNoCopyHere(const QLockFile &lock, const QString &lockPath)
{
    if (!QFileInfo::exists(lockPath))
        return false;
    qint64 pid = 0;
    QString hostname;
    QString application;
    if (!lock.getLockInfo(&pid, &hostname, &application))
        return true;
    return !hostname.isEmpty() && hostname != QSysInfo::machineHostName();
}

} // namespace

QString lockFileName(const QString &fileName)
{
    return fileName + QStringLiteral(".lock");
}

FileLock::FileLock(const QString &path, int waitMs)
    : m_lock(lockFileName(path)), m_path(path), m_waitMs(waitMs)
{
    // A lock left by a copy that crashed is found stale by its process id at
    // once, and any lock by its age.
    m_lock.setStaleLockTime(kStaleMs);
}

std::optional<FileError> FileLock::acquire(const QString &shownName)
{
    // The holder of a live lock keeps it locked by the system as well, so
    // removing a lock that only looks stale fails while a copy holds it.
    if (namesNoCopyHere(m_lock, lockFileName(m_path)))
        m_lock.removeStaleLockFile();
    if (m_lock.tryLock(0))
        return std::nullopt;
    if (m_lock.error() == QLockFile::LockFailedError)
        pauseAt(PausePoint::LockBusy, m_path);
    if (m_lock.tryLock(m_waitMs))
        return std::nullopt;
    if (m_lock.error() != QLockFile::LockFailedError)
        return std::nullopt;
    return FileError{Failure::LockBusy, shownName};
}

} // namespace ravno
