// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/safewrite.h"

#include "storage/codepage.h"
#include "storage/folderaccess.h"
#include "storage/pausepoint.h"
#include "storage/textfile_p.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ravno {
namespace {

// A new file is written beside the old one under the old one's name and a
// suffix of this many bytes, then renamed over it.
constexpr qsizetype kTemporarySuffix = 7;

std::optional<FileError> nameTooLong(const Place &place, const QString &shownName)
{
    const qsizetype bytes = place.name.size();
    long longest = ::fpathconf(place.dir(), _PC_NAME_MAX);
    if (longest <= 0)
        longest = 255;
    if (bytes + kTemporarySuffix <= longest)
        return std::nullopt;
    FileError tooLong(Failure::NameTooLong, shownName, Access::Write);
    tooLong.size = bytes;
    tooLong.limit = longest - kTemporarySuffix;
    return tooLong;
}

// The common reasons a write stops; the system's words follow them.
Failure writeFailure(int error)
{
    switch (error) {
    case ENOSPC: return Failure::NoSpace;
    case EFBIG: return Failure::TooLarge;
    case EDQUOT: return Failure::QuotaExceeded;
    case EIO: return Failure::DeviceFailed;
    default: return Failure::WriteFailed;
    }
}

// The bytes of the open file fd from its start, a slice at a time.
bool copyInto(Sink &out, int fd)
{
    QByteArray slice(kSlice, Qt::Uninitialized);
    for (off_t at = 0;;) {
        const ssize_t got = ::pread(fd, slice.data(), slice.size(), at);
        if (got < 0)
            out.error = errno;
        if (got <= 0)
            return got == 0;
        if (!writeAll(out, QByteArray::fromRawData(slice.constData(), got)))
            return false;
        at += got;
    }
}

// Whether the file at place ends in a CR that no LF follows.
bool endsInCarriageReturn(const Place &place)
{
    const Result<int> fd = openAt(place, O_RDONLY, QString(), Access::Read);
    if (!fd)
        return false;
    const Descriptor held(fd.value());
    struct stat status = {};
    char last = 0;
    return ::fstat(held.get(), &status) == 0 && status.st_size > 0
           && ::pread(held.get(), &last, 1, status.st_size - 1) == 1 && last == '\r';
}

// A name beside the file for its new contents: the file's own name and a
// suffix of kTemporarySuffix bytes.
QByteArray temporaryName(const QByteArray &name)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray suffix(".");
    for (int i = 1; i < kTemporarySuffix; ++i)
        suffix += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return name + suffix;
}

// Replaces the file at place (its link already followed) by what produce
// writes: into a new file beside it, renamed over it once complete, so the
// old bytes stay whole until then. Where no file can be made beside it,
// nothing is written and the error is of the kind noTemporary.
Status replaceAt(const Place &place, const QString &shownName, const Producer &produce,
                 Failure noTemporary)
{
    struct stat old = {};
    const bool exists = ::fstatat(place.dir(), place.name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && S_ISLNK(old.st_mode))
        return inFolder(Failure::LinkOutside, shownName, Access::Write, place.folderName);
    if (exists && S_ISDIR(old.st_mode))
        return writeError(Failure::IsFolder, shownName);
    if (exists && !S_ISREG(old.st_mode))
        return writeError(Failure::NotRegular, shownName);
    QByteArray temporary;
    int fd = -1;
    for (int tries = 0; fd < 0 && tries < 100; ++tries) {
        temporary = temporaryName(place.name);
        fd = ::openat(place.dir(), temporary.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        const int error = fd < 0 ? errno : 0;
        if (fd < 0 && error != EEXIST) {
            FileError failed = systemError(writeFailure(error), shownName, Access::Write, error);
            if (error == EACCES || error == EPERM || error == EROFS) {
                failed.kind = noTemporary;
                failed.folder = place.folderName;
            }
            return failed;
        }
    }
    if (fd < 0)
        return systemError(Failure::NotOpened, shownName, Access::Write, EEXIST);
    QFile out;
    if (!out.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        ::unlinkat(place.dir(), temporary.constData(), 0);
        return writeError(Failure::NotOpened, shownName, out.errorString());
    }
    Sink sink{out};
    bool written = produce(sink) && out.flush();
    int failure = written ? 0 : sink.error;
    QString reason = out.errorString();
    const auto failed = [&] {
        written = false;
        failure = errno;
        reason = qt_error_string(failure);
    };
    if (written && exists && ::fchmod(out.handle(), old.st_mode & 07777) != 0)
        failed();
    if (written && ::fsync(out.handle()) != 0)
        failed();
    out.close();
    if (written && ::renameat(place.dir(), temporary.constData(), place.dir(), place.name.constData()) == 0)
        return success();
    if (written)
        failed();
    ::unlinkat(place.dir(), temporary.constData(), 0);
    return writeError(writeFailure(failure), shownName, reason, failure);
}

} // namespace

FileError writeError(Failure kind, const QString &shownName, const QString &system, int error)
{
    FileError failed(kind, shownName, Access::Write);
    failed.system = system;
    failed.errorNumber = error;
    return failed;
}

FileError readError(Failure kind, const QString &shownName, const QString &system, int error)
{
    FileError failed = writeError(kind, shownName, system, error);
    failed.access = Access::Read;
    return failed;
}

FileError systemError(Failure kind, const QString &shownName, Access access, int error)
{
    FileError failed = writeError(kind, shownName, qt_error_string(error), error);
    failed.access = access;
    return failed;
}

FileError quietError(Failure kind, const QString &shownName, Access access, int error)
{
    FileError failed(kind, shownName, access);
    failed.errorNumber = error;
    return failed;
}

FileError inFolder(Failure kind, const QString &shownName, Access access, const QString &folder,
                   int error)
{
    FileError failed = quietError(kind, shownName, access, error);
    failed.folder = folder;
    return failed;
}

bool writeAll(Sink &out, const QByteArray &bytes)
{
    const qint64 done = out.device.write(bytes);
    if (done == bytes.size())
        return true;
    // A short write gives no reason; the rest tried once more gives the
    // system's (a full disk, a file-size limit).
    if (done > 0)
        out.device.write(bytes.constData() + done, bytes.size() - done);
    out.error = errno;
    return false;
}

Status writeWhole(const QString &path, const QString &shownName, const Producer &produce)
{
    const Result<Place> place = openPlace(path, shownName, Access::Write);
    if (!place)
        return place.error();
    if (auto blocked = obstacleAt(place.value(), shownName, Access::Write))
        return *blocked;
    if (auto tooLong = nameTooLong(place.value(), shownName))
        return *tooLong;
    pauseAt(PausePoint::BeforeReplace, path);
    // What is written is what is found now, not what was checked above.
    const Result<Place> real = followInside(place.value(), shownName, Access::Write);
    if (!real)
        return real.error();
    return replaceAt(real.value(), shownName, produce, Failure::FolderReadOnly);
}

Status replaceFileBytes(const QString &path, const QString &shownName, const QByteArray &bytes)
{
    return writeWhole(path, shownName, [&bytes](Sink &out) { return writeAll(out, bytes); });
}

Status replaceFile(const QString &path, const QString &shownName, const QString &text,
                   FileSnapshot *written)
{
    if (const auto refusal = refuseText(text, shownName))
        return *refusal;
    QCryptographicHash digest(kSnapshotDigest);
    const Status status = writeWhole(path, shownName, [&](Sink &out) {
        return putText(out, text, written ? &digest : nullptr);
    });
    if (status && written)
        *written = {QFileInfo(path).size(), digest.result()};
    return status;
}

Status appendToFile(const QString &path, const QString &shownName, const QString &text)
{
    const Result<Place> place = openPlace(path, shownName, Access::Write);
    if (!place)
        return place.error();
    if (auto blocked = obstacleAt(place.value(), shownName, Access::Write))
        return *blocked;
    if (const auto refusal = refuseText(text, shownName))
        return *refusal;
    const QByteArray bytes = encodeWithCrLf(text);
    pauseAt(PausePoint::BeforeAppend, path);
    const Result<Place> real = followInside(place.value(), shownName, Access::Write);
    if (!real)
        return real.error();
    const Result<int> opened =
        openAt(real.value(), O_WRONLY | O_APPEND | O_CREAT, shownName, Access::Write);
    if (!opened)
        return opened.error();
    QFile file;
    if (!file.open(opened.value(), QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered,
                   QFileDevice::AutoCloseHandle)) {
        ::close(opened.value());
        return writeError(Failure::NotOpened, shownName, file.errorString());
    }
    struct stat status = {};
    const bool known = ::fstat(file.handle(), &status) == 0;
    QByteArray out = bytes;
    if (known && status.st_size > 0 && endsInCarriageReturn(real.value()))
        out.prepend('\n'); // a line end cut after its CR is completed first
    if (known && status.st_nlink > 1) {
        // The file has another name too (a backup made with hard links):
        // that one keeps its bytes, and this name gets a file of its own,
        // as a whole rewrite gives it. Where no such file can be made, the
        // append is refused: written in place, it would reach both names.
        const Result<int> source = openAt(real.value(), O_RDONLY, shownName, Access::Write);
        if (!source)
            return source.error();
        const Descriptor held(source.value());
        return replaceAt(real.value(), shownName, [&](Sink &sink) {
            return copyInto(sink, held.get()) && writeAll(sink, out);
        }, Failure::SharedInReadOnlyFolder);
    }
    const qint64 before = file.size();
    Sink sink{file};
    if (writeAll(sink, out))
        return success();
    // No half line is left behind: the file is cut back to where it ended.
    FileError error =
        writeError(writeFailure(sink.error), shownName, file.errorString(), sink.error);
    if (::ftruncate(file.handle(), before) != 0)
        error.leftover = Leftover::PartLine;
    return error;
}

} // namespace ravno
