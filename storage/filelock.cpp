// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/filelock.h"

#include "storage/pausepoint.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSysInfo>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ravno {
namespace {

// The locked work takes milliseconds (the views refuse large files), so a
// lock this old was left behind.
constexpr qint64 kStaleMs = 30000;
// How often a copy looks again at a lock another copy holds.
constexpr int kPollMs = 20;
// Tries in a row that find the lock file changed under them before this
// copy waits as for a busy lock.
constexpr int kMostAgain = 8;

// As QLockFile writes it, so that copies built on it read this lock:
// process id, program, host, machine id and boot id, one a line.
QByteArray lockContents()
{
    return QByteArray::number(QCoreApplication::applicationPid()) + '\n'
           + QCoreApplication::applicationName().toUtf8() + '\n'
           + QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n'
           + QSysInfo::bootUniqueId() + '\n';
}

// A lock nobody running here holds: empty or unreadable (its writer died
// before filling it in), written on another computer or before this one
// last started (its process ids mean nothing here), of a process that is
// gone, or old.
bool isStale(const QByteArray &contents, const struct stat &status)
{
    const qint64 modified = qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000;
    if (std::llabs(QDateTime::currentMSecsSinceEpoch() - modified) > kStaleMs)
        return true;
    const QList<QByteArray> lines = contents.split('\n');
    bool isNumber = false;
    const qint64 pid = lines.value(0).toLongLong(&isNumber);
    if (lines.size() < 3 || !isNumber || pid <= 0 || pid > INT_MAX)
        return true;
    const QByteArray host = lines.value(2);
    if (!host.isEmpty() && host != QSysInfo::machineHostName().toUtf8())
        return true;
    const QByteArray boot = lines.value(4);
    if (!boot.isEmpty() && boot != QSysInfo::bootUniqueId())
        return true;
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

} // namespace

QString lockFileName(const QString &fileName)
{
    return fileName + QStringLiteral(".lock");
}

FileLock::FileLock(const QString &path, int waitMs, bool withLockFile)
    : m_path(path), m_waitMs(waitMs), m_withLockFile(withLockFile)
{
}

FileLock::~FileLock()
{
    if (m_dataFd >= 0)
        ::close(m_dataFd);
    if (m_fd < 0)
        return;
    // Removed while still locked, so no other copy can clear it in between,
    // and only while it is still this copy's: one that replaced it is
    // another copy's live lock.
    if (stillAt(m_fd, m_lock))
        ::unlinkat(m_lock.dir(), m_lock.name.constData(), 0);
    ::close(m_fd);
}

std::optional<FileError> FileLock::acquire(const QString &shownName)
{
    Result<Place> place = openPlace(lockFileName(m_path), shownName, Access::Write);
    if (!place)
        return std::nullopt; // no folder: the work itself says so
    m_lock = place.value();
    const QDeadlineTimer deadline(m_waitMs);
    bool waited = false;
    bool lockFileDone = !m_withLockFile;
    int again = 0;
    for (;;) {
        switch (lockFileDone ? lockData() : tryOnce()) {
        case Attempt::Taken:
        case Attempt::NoLock:
            if (lockFileDone)
                return std::nullopt;
            lockFileDone = true;
            again = 0;
            continue;
        case Attempt::Blocked:
            return FileError{Failure::LockBlocked, shownName};
        case Attempt::Again:
            if (++again < kMostAgain)
                continue;
            break;
        case Attempt::Busy: break;
        }
        if (!std::exchange(waited, true))
            pauseAt(PausePoint::LockBusy, m_path);
        if (deadline.hasExpired())
            return FileError{Failure::LockBusy, shownName};
        QThread::msleep(std::clamp<qint64>(deadline.remainingTime(), 1, kPollMs));
        again = 0;
    }
}

FileLock::Attempt FileLock::tryOnce()
{
    const int fd = ::openat(m_lock.dir(), m_lock.name.constData(),
                            O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno == EEXIST ? clearIfStale() : Attempt::NoLock;
    // Until it is locked and filled in, a copy clearing stale locks may take
    // it for one whose writer died and remove it: then it is no longer at
    // its name, and this copy starts again.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !stillAt(fd, m_lock)) {
        ::close(fd);
        return Attempt::Again;
    }
    const QByteArray contents = lockContents();
    if (::write(fd, contents.constData(), contents.size()) != contents.size()) {
        // A full disk: the change goes on without a lock file, as where none
        // can be made.
        ::unlinkat(m_lock.dir(), m_lock.name.constData(), 0);
        ::close(fd);
        return Attempt::NoLock;
    }
    m_fd = fd;
    return Attempt::Taken;
}

FileLock::Attempt FileLock::clearIfStale()
{
    const int fd = ::openat(m_lock.dir(), m_lock.name.constData(),
                            O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0) {
        if (errno == ENOENT)
            return Attempt::Again;
        return errno == ELOOP ? Attempt::Blocked : Attempt::Busy;
    }
    struct stat status = {};
    if (::fstat(fd, &status) == 0 && !S_ISREG(status.st_mode)) {
        ::close(fd);
        return Attempt::Blocked;
    }
    pauseAt(PausePoint::LockOpened, m_path);
    // A live holder keeps its lock file locked, and so does a copy that is
    // clearing it. What was opened may since have been cleared by another
    // copy and replaced by its live lock: only the file still at the name
    // is judged and removed.
    Attempt result = Attempt::Busy;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &status) == 0) {
        char contents[512];
        const ssize_t got = ::read(fd, contents, sizeof contents);
        if (!stillAt(fd, m_lock))
            result = Attempt::Again;
        else if (isStale(QByteArray(contents, std::max<ssize_t>(got, 0)), status)
                 && ::unlinkat(m_lock.dir(), m_lock.name.constData(), 0) == 0)
            result = Attempt::Again;
    }
    ::close(fd);
    return result;
}

FileLock::Attempt FileLock::lockData()
{
    Place file = m_lock;
    file.name = QFile::encodeName(QFileInfo(m_path).fileName());
    // A file that is missing, not regular or not readable here has nothing
    // to lock: the change itself then says what stands in its way.
    const Result<Place> real = followInside(file, QString(), Access::Write);
    if (!real)
        return Attempt::NoLock;
    const int fd = ::openat(real.value().dir(), real.value().name.constData(),
                            O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0)
        return Attempt::NoLock;
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return Attempt::NoLock;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return Attempt::Busy;
    }
    // The copy that held it may have replaced the file meanwhile: the new
    // one is locked instead.
    if (!stillAt(fd, real.value())) {
        ::close(fd);
        return Attempt::Again;
    }
    m_dataFd = fd;
    return Attempt::Taken;
}

} // namespace ravno
