// SPDX-License-Identifier: GPL-3.0-or-later
// How the file formats report a failure: as a value that names the kind of
// failure, the file and what the system said. The windows turn it into
// Russian words (ui/common/failuretext.h) and show them in a message box;
// nothing here ever ends the program.
#pragma once

#include <QString>
#include <QStringList>

#include <utility>

namespace ravno {

enum class Failure {
    // The file or its folder; these read "could not read/write the file".
    NoFolder,      // quoted: the folder's name
    IsFolder,      // a folder lies where the file should be
    NotRegular,    // a fifo, a device or a socket
    LinkOutside,   // a symbolic link to a place outside files/
    NoAccess,      // the system denies access to the file or its folder
    ReadOnly,
    Missing,
    NameTooLong,   // quoted: the name's bytes, the most the file system allows
    NotEncodable,  // quoted: the characters windows-1251 lacks
    NotOpened,
    ReadFailed,
    WriteFailed,
    NoSpace,
    TooLarge,
    QuotaExceeded,
    DeviceFailed,
    FolderReadOnly,     // no new file can be made in the folder; quoted: its name
    SharedInReadOnlyFolder, // the same, for a file with a second name (a hard link)
    LineTooLong,        // quoted: the most bytes a line may hold
    LogRewritten,       // another copy rewrote the answer log while it was shown
    CatalogueRewritten, // the same for the catalogue
    // Whole sentences of their own.
    LockBusy,           // another copy holds the file's lock
    LockBlocked,        // a folder, a link or a fifo lies where the lock file goes
    OrderOutOfRange,    // quoted: the stored first item
    TooManyValues,      // quoted: the most values, the file's size in bytes
    TooLargeToShow,     // quoted: the most bytes, the file's size in bytes
    ListCut,            // not a failure: the lists show only the first names; quoted: how many
    // A typed name refused, by its reason; quoted: the name, then what the
    // reason names (the characters, the items the list would give back).
    NameEmpty,
    NameWithSeparator,
    NameOfFolder,
    NameOfOwnFile,
    NameWithControl,
    NameOutsideCodePage,
    NameUnseenInList,
    NameEmptyInList,
    NameChangedInList,
    // The help page and its launcher.
    HelpPageMissing,
    HelpNotStarted,
    BrowserFailed,      // quoted: the page's native path
};

enum class Access { Read, Write };

// What a failed write could not undo.
enum class Leftover { None, OldContent, PartLine };

struct FileError
{
    FileError() = default;
    FileError(Failure kind, QString path, Access access = Access::Write, QStringList quoted = {},
              QString system = {})
        : kind(kind), path(std::move(path)), access(access), quoted(std::move(quoted)),
          system(std::move(system))
    {
    }

    Failure kind = Failure::WriteFailed;
    QString path;           // as the user knows it, e.g. "files/LostMas"
    Access access = Access::Write;
    QStringList quoted;     // what the words quote, in order
    QString system;         // the system's own words, when it gave any
    Leftover leftover = Leftover::None;
};

// Either a value or a FileError; never to be dropped unread.
template<typename T>
class [[nodiscard]] Result
{
public:
    Result(T value) : m_ok(true), m_value(std::move(value)) {}
    Result(FileError error) : m_ok(false), m_error(std::move(error)) {}

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const T &value() const { return m_value; }
    T &value() { return m_value; }
    const FileError &error() const { return m_error; }

private:
    bool m_ok;
    T m_value{};
    FileError m_error;
};

struct Done
{
};
using Status = Result<Done>;

inline Status success()
{
    return Status(Done{});
}

} // namespace ravno
