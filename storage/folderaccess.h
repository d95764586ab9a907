// SPDX-License-Identifier: GPL-3.0-or-later
// The guards every file operation of storage/ goes through. The file's
// folder is opened once; the file is then opened, created, renamed and
// removed relative to that folder, never following a link, so that what
// was checked is what is read or written: a link swapped in after the
// check is found at the open and refused.
#pragma once

#include "storage/fileresult.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace ravno {

// A descriptor, closed with its last holder.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor();
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    // Gives the descriptor up, to a QFile that closes it.
    int release();

private:
    int m_fd;
};

// Where a file lies: its folder, open, and its name there.
struct Place
{
    std::shared_ptr<Descriptor> folder;
    QByteArray name;    // the file's name as the system takes it
    QString folderName; // as messages name the folder ("files")
    QString folderPath; // the folder's own path, links resolved

    int dir() const { return folder ? folder->get() : -1; }
};

// Opens the folder of path (an absolute path). NoFolder when it is missing,
// NoAccess when it may not be entered.
Result<Place> openPlace(const QString &path, const QString &shownName, Access access);

// What stands in the way of reading or writing the file at place, or
// nothing: checked before any byte moves, so that the common faults get a
// plain message.
std::optional<FileError> obstacleAt(const Place &place, const QString &shownName, Access access);

// The place of the file itself: place as it is, or, where a symbolic link
// lies there, the place inside the folder it leads to (one link only).
// LinkOutside when it leads out of the folder or to another link.
Result<Place> followInside(const Place &place, const QString &shownName, Access access);

// Opens the file at place as a regular file only, with flags (O_NOFOLLOW
// and O_CLOEXEC added), never blocking on a fifo: a link found here, after
// followInside, was swapped in meanwhile and is refused.
Result<int> openAt(const Place &place, int flags, const QString &shownName, Access access);

// Whether the open file fd is the one at place now.
bool stillAt(int fd, const Place &place);

} // namespace ravno
