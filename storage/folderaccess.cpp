// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/folderaccess.h"

#include "storage/textfile_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ravno {
namespace {

// The path of the open folder as the system resolved it.
QString pathOfOpenFolder(int fd, const QString &fallback)
{
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    char target[PATH_MAX];
    const ssize_t got = ::readlink(link.constData(), target, sizeof target);
    if (got > 0 && got < ssize_t(sizeof target))
        return QFile::decodeName(QByteArray(target, got));
    const QString canonical = QDir(fallback).canonicalPath();
    return canonical.isEmpty() ? fallback : canonical;
}

// Where the link at place leads, made absolute, whether or not anything
// lies there; empty when it cannot be read.
QString linkTarget(const Place &place)
{
    char target[PATH_MAX];
    const ssize_t got = ::readlinkat(place.dir(), place.name.constData(), target, sizeof target);
    if (got <= 0 || got >= ssize_t(sizeof target))
        return QString();
    const QString text = QFile::decodeName(QByteArray(target, got));
    const QString whole =
        QDir::cleanPath(QDir::isAbsolutePath(text) ? text : place.folderPath + u'/' + text);
    // Judged by the folder it points into, its own links resolved.
    const QFileInfo info(whole);
    const QString folder = QDir(info.absolutePath()).canonicalPath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + u'/' + info.fileName();
}

} // namespace

Descriptor::~Descriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int Descriptor::release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

Result<Place> openPlace(const QString &path, const QString &shownName, Access access)
{
    const QFileInfo info(path);
    const QString folderPath = info.absolutePath();
    const QString folderName = QDir(folderPath).dirName();
    const int fd = ::open(QFile::encodeName(folderPath).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM)
            return systemError(Failure::NoAccess, shownName, access, error);
        return inFolder(Failure::NoFolder, shownName, access, folderName, error);
    }
    Place place;
    place.folder = std::make_shared<Descriptor>(fd);
    place.name = QFile::encodeName(info.fileName());
    place.folderName = folderName;
    place.folderPath = pathOfOpenFolder(fd, folderPath);
    return place;
}

std::optional<FileError> obstacleAt(const Place &place, const QString &shownName, Access access)
{
    struct stat status = {};
    if (::fstatat(place.dir(), place.name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        const int error = errno;
        if (error == EACCES)
            return quietError(Failure::NoAccess, shownName, access, error);
        if (access == Access::Read)
            return quietError(Failure::Missing, shownName, access, error);
        return std::nullopt;
    }
    if (S_ISLNK(status.st_mode)) {
        const Result<Place> target = followInside(place, shownName, access);
        if (!target)
            return target.error();
        return obstacleAt(target.value(), shownName, access);
    }
    if (S_ISDIR(status.st_mode))
        return FileError(Failure::IsFolder, shownName, access);
    if (!S_ISREG(status.st_mode))
        return FileError(Failure::NotRegular, shownName, access);
    if (access == Access::Write && ::faccessat(place.dir(), place.name.constData(), W_OK, 0) != 0)
        return FileError(Failure::ReadOnly, shownName, access);
    return std::nullopt;
}

Result<Place> followInside(const Place &place, const QString &shownName, Access access)
{
    struct stat status = {};
    if (::fstatat(place.dir(), place.name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0
        || !S_ISLNK(status.st_mode))
        return place;
    const FileError outside = inFolder(Failure::LinkOutside, shownName, access, place.folderName);
    const QString target = linkTarget(place);
    const QString inside = place.folderPath + u'/';
    if (!target.startsWith(inside))
        return outside;
    // Down the folders between, none of them a link.
    const QStringList steps = target.mid(inside.size()).split(u'/');
    Place found = place;
    for (qsizetype i = 0; i + 1 < steps.size(); ++i) {
        const int fd = ::openat(found.dir(), QFile::encodeName(steps[i]).constData(),
                                O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int error = fd < 0 ? errno : 0;
        if (fd < 0)
            return error == ENOENT && access == Access::Read
                       ? quietError(Failure::Missing, shownName, access, error)
                       : outside;
        found.folder = std::make_shared<Descriptor>(fd);
    }
    found.name = QFile::encodeName(steps.last());
    if (::fstatat(found.dir(), found.name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0
        && S_ISLNK(status.st_mode))
        return outside;
    return found;
}

Result<int> openAt(const Place &place, int flags, const QString &shownName, Access access)
{
    const int fd = ::openat(place.dir(), place.name.constData(),
                            flags | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        const int error = errno;
        switch (error) {
        case ELOOP:
            return inFolder(Failure::LinkOutside, shownName, access, place.folderName, error);
        case EISDIR: return quietError(Failure::IsFolder, shownName, access, error);
        case ENXIO: return quietError(Failure::NotRegular, shownName, access, error);
        case EROFS: return systemError(Failure::ReadOnly, shownName, access, error);
        case ENOENT:
            if (access == Access::Read)
                return quietError(Failure::Missing, shownName, access, error);
            break;
        case EACCES:
        case EPERM:
            return systemError(Failure::NoAccess, shownName, access, error);
        default: break;
        }
        return systemError(Failure::NotOpened, shownName, access, error);
    }
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(fd);
        if (S_ISDIR(status.st_mode))
            return FileError(Failure::IsFolder, shownName, access);
        if (!S_ISREG(status.st_mode))
            return FileError(Failure::NotRegular, shownName, access);
        return systemError(Failure::NotOpened, shownName, access, error);
    }
    return fd;
}

bool stillAt(int fd, const Place &place)
{
    struct stat held = {};
    struct stat named = {};
    return ::fstat(fd, &held) == 0
           && ::fstatat(place.dir(), place.name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0
           && held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

} // namespace ravno
