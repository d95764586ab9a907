// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/filelock.h"

#include "storage/pausepoint.h"

namespace ravno {

QString lockFileName(const QString &fileName)
{
    return fileName + QStringLiteral(".lock");
}

FileLock::FileLock(const QString &path, int waitMs)
    : m_lock(lockFileName(path)), m_path(path), m_waitMs(waitMs)
{
    // A rewrite of a large file may outlast any fixed age; a lock left by a
    // copy that crashed is still found stale by its process id.
    m_lock.setStaleLockTime(0);
}

std::optional<FileError> FileLock::acquire(const QString &shownName)
{
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
