// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/filelock.h"

namespace ravno {
namespace {

// Long enough for the other copy to finish rewriting a large file, short
// enough that a user waits for it.
constexpr int kWaitMs = 3000;

} // namespace

QString lockFileName(const QString &fileName)
{
    return fileName + QStringLiteral(".lock");
}

FileLock::FileLock(const QString &path)
    : m_lock(lockFileName(path))
{
    // A rewrite of a large file may outlast any fixed age; a lock left by a
    // copy that crashed is still found stale by its process id.
    m_lock.setStaleLockTime(0);
}

std::optional<FileError> FileLock::acquire(const QString &shownName)
{
    if (m_lock.tryLock(kWaitMs))
        return std::nullopt;
    if (m_lock.error() != QLockFile::LockFailedError)
        return std::nullopt;
    return FileError{Failure::LockBusy, shownName};
}

} // namespace ravno
