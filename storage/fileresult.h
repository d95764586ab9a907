// SPDX-License-Identifier: GPL-3.0-or-later
// How the file formats report a failure: as a value that names the kind of
// failure, the file, what the system said and whatever else the kind names,
// each in a field of its own; a typed name the files cannot take is refused
// with its reason (NameRefusal). The windows turn these into Russian words
// (ui/common/failuretext.h) and show them in a message box; nothing here
// ever ends the program.
#pragma once

#include <QString>
#include <QStringList>

#include <utility>

namespace ravno {

// A typed name refused, by its reason.
enum class NameReason {
    Empty,
    WithSeparator,
    OfFolder,
    OfOwnFile,
    WithControl,
    OutsideCodePage, // characters: those windows-1251 lacks
    // The catalogue's lists or its view would not give the name back.
    UnseenInList,
    EmptyInList,
    ChangedInList,   // listed: the items the list would give back instead
};

struct NameRefusal
{
    NameReason reason = NameReason::Empty;
    QString name;       // as typed
    QString characters; // OutsideCodePage
    QStringList listed; // ChangedInList
};

enum class Failure {
    // The file or its folder; these read "could not read/write the file".
    NoFolder,      // folder: the folder's name
    IsFolder,      // a folder lies where the file should be
    NotRegular,    // a fifo, a device or a socket
    LinkOutside,   // a symbolic link to a place outside files/ (folder)
    NoAccess,      // the system denies access to the file or its folder
    ReadOnly,
    Missing,
    NameTooLong,   // size: the name's bytes; limit: the most the file system allows
    NotEncodable,  // characters: those windows-1251 lacks
    NotOpened,
    ReadFailed,
    WriteFailed,
    NoSpace,
    TooLarge,
    QuotaExceeded,
    DeviceFailed,
    FolderReadOnly,     // no new file can be made in the folder (folder)
    SharedInReadOnlyFolder, // the same, for a file with a second name (a hard link)
    LineTooLong,        // limit: the most bytes a line may hold
    LogRewritten,       // another copy rewrote the answer log while it was shown
    CatalogueRewritten, // the same for the catalogue
    // Whole sentences of their own.
    LockBusy,           // another copy holds the file's lock
    LockBlocked,        // a folder, a link or a fifo lies where the lock file goes
    OrderOutOfRange,    // firstItem: the stored first item
    TooManyValues,      // limit: the most values; size: the file's bytes
    TooLargeToShow,     // limit: the most bytes; size: the file's bytes
    NameRefused,        // refusal: why the typed name cannot be the file's
};

enum class Access { Read, Write };

// What a failed write could not undo.
enum class Leftover { None, OldContent, PartLine };

struct FileError
{
    FileError() = default;
    FileError(Failure kind, QString path, Access access = Access::Write)
        : kind(kind), path(std::move(path)), access(access)
    {
    }

    Failure kind = Failure::WriteFailed;
    QString path;           // as the user knows it, e.g. "files/LostMas"
    Access access = Access::Write;
    QString system;         // the system's own words, when it gave any
    int errorNumber = 0;    // errno as the failing call left it, 0 when none
    Leftover leftover = Leftover::None;
    // What some kinds name beside the file (see Failure).
    QString folder;
    QString characters;
    QString firstItem;
    qint64 size = 0;
    qint64 limit = 0;
    NameRefusal refusal;
};

// The file at path not written or read, for the name it was typed under.
inline FileError refusedName(QString path, NameRefusal refusal)
{
    FileError error(Failure::NameRefused, std::move(path));
    error.refusal = std::move(refusal);
    return error;
}

// Either a value or an error (a FileError unless said otherwise); never to
// be dropped unread.
template<typename T, typename E = FileError>
class [[nodiscard]] Result
{
public:
    Result(T value) : m_ok(true), m_value(std::move(value)) {}
    Result(E error) : m_ok(false), m_error(std::move(error)) {}

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const T &value() const { return m_value; }
    T &value() { return m_value; }
    const E &error() const { return m_error; }

private:
    bool m_ok;
    T m_value{};
    E m_error;
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
