// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/textfile.h"

#include "storage/pausepoint.h"
#include "storage/textfile_p.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ravno {
namespace {

// QSaveFile writes beside the file under the file's name and a suffix of up
// to this many bytes, then renames.
constexpr qsizetype kTemporarySuffix = 7;
// Texts reach a million lines: they go out a slice of about this many
// characters at a time, never as one whole copy.
constexpr qsizetype kSlice = qsizetype(1) << 20;

std::optional<FileError> nameTooLong(const QFileInfo &info, const QString &shownName)
{
    const qsizetype bytes = QFile::encodeName(info.fileName()).size();
    long longest = ::pathconf(QFile::encodeName(info.absolutePath()).constData(), _PC_NAME_MAX);
    if (longest <= 0)
        longest = 255;
    if (bytes + kTemporarySuffix <= longest)
        return std::nullopt;
    return FileError(Failure::NameTooLong, shownName, Access::Write,
                     {QString::number(bytes), QString::number(longest - kTemporarySuffix)});
}

// Lines end in CR LF on disk whatever the text box used.
QString withCrLf(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    qsizetype start = 0;
    for (qsizetype lf = text.indexOf(u'\n'); lf >= 0; lf = text.indexOf(u'\n', start)) {
        out += text.sliced(start, lf - start);
        if (lf == 0 || text.at(lf - 1) != u'\r')
            out += u'\r';
        out += u'\n';
        start = lf + 1;
    }
    out += text.sliced(start);
    return out;
}

// Plain ASCII is the same in windows-1251; the number files of a million
// lines are ASCII, and this quick path is what keeps their writing fast.
bool isAscii(QStringView text)
{
    char16_t any = 0;
    for (const QChar c : text)
        any |= c.unicode();
    return any < 0x80;
}

// ASCII text as bytes, every line end made CR LF, in one pass.
QByteArray asciiWithCrLf(QStringView text)
{
    const qsizetype size = text.size();
    const char16_t *in = text.utf16();
    qsizetype bareLineFeeds = 0;
    for (qsizetype i = 0; i < size; ++i)
        bareLineFeeds += in[i] == u'\n' && (i == 0 || in[i - 1] != u'\r');
    QByteArray bytes(size + bareLineFeeds, Qt::Uninitialized);
    char *out = bytes.data();
    for (qsizetype i = 0; i < size; ++i) {
        if (in[i] == u'\n' && (i == 0 || in[i - 1] != u'\r'))
            *out++ = '\r';
        *out++ = char(in[i]);
    }
    return bytes;
}

// The encoded text goes out in slices cut after a line end, so a CR LF
// pair is never split.
bool putText(QIODevice &out, QStringView text, QCryptographicHash *digest)
{
    QStringEncoder encoder(kCodePage);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = std::min(text.size(), start + kSlice);
        if (end < text.size()) {
            const qsizetype lf = text.indexOf(u'\n', end);
            end = lf < 0 ? text.size() : lf + 1;
        }
        const QStringView slice = text.sliced(start, end - start);
        const QByteArray bytes =
            isAscii(slice) ? asciiWithCrLf(slice) : encoder.encode(withCrLf(slice));
        if (digest)
            digest->addData(bytes);
        if (!writeAll(out, bytes))
            return false;
        start = end;
    }
    return true;
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

// A write in place that failed: the old bytes go back.
bool putBack(const QString &path, const QByteArray &before)
{
    QFile file(path);
    return !openRegular(file, QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered,
                        QString(), Access::Write)
           && writeAll(file, before);
}

// The bytes of the file at path, a slice at a time.
bool copyInto(QIODevice &out, const QString &path)
{
    QFile in(path);
    if (openRegular(in, QIODevice::ReadOnly, QString(), Access::Read))
        return false;
    QByteArray slice(kSlice, Qt::Uninitialized);
    for (;;) {
        const qint64 got = in.read(slice.data(), slice.size());
        if (got <= 0)
            return got == 0;
        if (!writeAll(out, QByteArray::fromRawData(slice.constData(), got)))
            return false;
    }
}

} // namespace

FileError writeError(Failure kind, const QString &shownName, const QString &system)
{
    return {kind, shownName, Access::Write, {}, system};
}

FileError readError(Failure kind, const QString &shownName, const QString &system)
{
    return {kind, shownName, Access::Read, {}, system};
}

namespace {

// Where the symbolic link at path leads, made absolute, whether or not
// anything lies there.
QString linkTarget(const QFileInfo &link)
{
    const QString canonical = link.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    // A dangling link: judged by the folder it points into.
    const QFileInfo target(link.symLinkTarget());
    const QString folder = QDir(target.absolutePath()).canonicalPath();
    return folder.isEmpty() ? target.absoluteFilePath() : folder + u'/' + target.fileName();
}

} // namespace

std::optional<FileError> obstacle(const QString &path, const QString &shownName, Access access)
{
    const QFileInfo info(path);
    const QDir folder = info.dir();
    const auto failure = [&](Failure kind, QStringList quoted = {}) {
        return FileError(kind, shownName, access, std::move(quoted));
    };
    if (!folder.exists())
        return failure(Failure::NoFolder, {folder.dirName()});
    const QByteArray native = QFile::encodeName(path);
    struct stat status = {};
    if (::lstat(native.constData(), &status) != 0) {
        if (errno == EACCES)
            return failure(Failure::NoAccess);
        if (access == Access::Read)
            return failure(Failure::Missing);
        return std::nullopt;
    }
    if (S_ISLNK(status.st_mode)) {
        const QString inside = folder.canonicalPath() + u'/';
        if (!linkTarget(info).startsWith(inside))
            return failure(Failure::LinkOutside, {folder.dirName()});
        if (::stat(native.constData(), &status) != 0) {
            if (access == Access::Read)
                return failure(Failure::Missing);
            return std::nullopt;
        }
    }
    if (S_ISDIR(status.st_mode))
        return failure(Failure::IsFolder);
    if (!S_ISREG(status.st_mode))
        return failure(Failure::NotRegular);
    if (access == Access::Write && !info.isWritable())
        return failure(Failure::ReadOnly);
    return std::nullopt;
}

std::optional<FileError> openRegular(QFile &file, QIODevice::OpenMode mode,
                                     const QString &shownName, Access access)
{
    // Opened without blocking, then checked: a fifo put in the file's place
    // after the check above can no longer hang the program.
    int flags = O_CLOEXEC | O_NONBLOCK;
    if (mode & QIODevice::Append)
        flags |= O_WRONLY | O_APPEND | O_CREAT;
    else if (mode & QIODevice::WriteOnly)
        flags |= O_WRONLY | O_TRUNC | O_CREAT;
    else
        flags |= O_RDONLY;
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), flags, 0666);
    const auto failed = [&](int error) {
        return FileError(error == EACCES || error == EPERM ? Failure::NoAccess : Failure::NotOpened,
                         shownName, access, {}, qt_error_string(error));
    };
    if (fd < 0)
        return failed(errno);
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(fd);
        if (S_ISREG(status.st_mode))
            return failed(error);
        return FileError(Failure::NotRegular, shownName, access);
    }
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return FileError(Failure::NotOpened, shownName, access, {}, file.errorString());
    }
    return std::nullopt;
}

bool writeAll(QIODevice &out, const QByteArray &bytes)
{
    const qint64 done = out.write(bytes);
    if (done == bytes.size())
        return true;
    // A short write gives no reason; the rest tried once more gives the
    // system's (a full disk, a file-size limit).
    if (done > 0)
        out.write(bytes.constData() + done, bytes.size() - done);
    return false;
}

Status writeWhole(const QString &path, const QString &shownName, const Producer &produce)
{
    if (auto blocked = obstacle(path, shownName, Access::Write))
        return *blocked;
    const QFileInfo info(path);
    if (auto tooLong = nameTooLong(info, shownName))
        return *tooLong;
    pauseAt(PausePoint::BeforeReplace, path);

    const QByteArray nativePath = QFile::encodeName(path);
    struct stat status = {};
    const bool exists = ::stat(nativePath.constData(), &status) == 0;
    // No temporary file can lie in a read-only folder; a writable file there
    // is written in place, its old bytes kept to be put back.
    const bool inPlace =
        exists && ::access(QFile::encodeName(info.absolutePath()).constData(), W_OK) != 0;
    QByteArray before;
    if (inPlace) {
        QFile old(path);
        if (auto failed = openRegular(old, QIODevice::ReadOnly, shownName, Access::Write))
            return *failed;
        before = old.readAll();
        if (old.error() != QFileDevice::NoError)
            return writeError(Failure::ReadFailed, shownName, old.errorString());
    }

    QSaveFile file(path);
    file.setDirectWriteFallback(inPlace);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return writeError(Failure::NotOpened, shownName, file.errorString());
    // commit() may report success after a failed last flush, so the data is
    // pushed out and checked here, before the rename.
    bool written = produce(file) && file.flush();
    int failure = written ? 0 : errno;
    QString reason = file.errorString();
    if (written && exists && !inPlace && ::fchmod(file.handle(), status.st_mode & 07777) != 0) {
        written = false;
        failure = errno;
        reason = qt_error_string(failure);
    }
    if (written) {
        if (file.commit())
            return success();
        failure = errno;
        reason = file.errorString();
    } else {
        file.cancelWriting();
        file.commit(); // closes, and drops the temporary file
    }
    FileError error = writeError(writeFailure(failure), shownName, reason);
    if (inPlace && !putBack(path, before))
        error.leftover = Leftover::OldContent;
    return error;
}

Status replaceFileBytes(const QString &path, const QString &shownName, const QByteArray &bytes)
{
    return writeWhole(path, shownName, [&bytes](QIODevice &out) { return writeAll(out, bytes); });
}

QByteArray encodeText(const QString &text)
{
    QStringEncoder encoder(kCodePage);
    return encoder.encode(text);
}

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder decoder(kCodePage);
    return decoder.decode(bytes);
}

QString charactersOutsideCodePage(const QString &text)
{
    QString missing;
    if (isAscii(text))
        return missing;
    // Checked a slice at a time: the texts reach a million lines.
    bool clean = true;
    QStringEncoder whole(kCodePage);
    for (qsizetype start = 0; start < text.size() && clean; start += kSlice) {
        const QByteArray bytes = whole.encode(QStringView(text).sliced(start, std::min(kSlice, text.size() - start)));
        clean = !whole.hasError();
    }
    if (clean)
        return missing;
    // Rare: find the culprits one code point at a time.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString one = text.mid(i, length);
        QStringEncoder encoder(kCodePage);
        const QByteArray bytes = encoder.encode(one);
        if (encoder.hasError() && !missing.contains(one))
            missing += one;
        i += length - 1;
    }
    return missing;
}

std::optional<FileError> refuseText(const QString &text, const QString &shownName)
{
    const QString missing = charactersOutsideCodePage(text);
    if (missing.isEmpty())
        return std::nullopt;
    return FileError(Failure::NotEncodable, shownName, Access::Write, {missing});
}

Status replaceFile(const QString &path, const QString &shownName, const QString &text,
                   FileSnapshot *written)
{
    if (const auto refusal = refuseText(text, shownName))
        return *refusal;
    QCryptographicHash digest(kSnapshotDigest);
    const Status status = writeWhole(path, shownName, [&](QIODevice &out) {
        return putText(out, text, written ? &digest : nullptr);
    });
    if (status && written)
        *written = {QFileInfo(path).size(), digest.result()};
    return status;
}

Status appendToFile(const QString &path, const QString &shownName, const QString &text)
{
    if (auto blocked = obstacle(path, shownName, Access::Write))
        return *blocked;
    if (const auto refusal = refuseText(text, shownName))
        return *refusal;
    const QByteArray bytes = encodeText(withCrLf(text));

    QFile file(path);
    if (auto failed = openRegular(file, QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered,
                                  shownName, Access::Write))
        return *failed;
    struct stat status = {};
    if (::fstat(file.handle(), &status) == 0 && status.st_nlink > 1) {
        // The file has another name too (a backup made with hard links):
        // that one keeps its bytes, and this name gets a file of its own,
        // as a whole rewrite gives it.
        file.close();
        return writeWhole(path, shownName, [&](QIODevice &out) {
            return copyInto(out, path) && writeAll(out, bytes);
        });
    }
    const qint64 before = file.size();
    if (writeAll(file, bytes))
        return success();
    const int failure = errno;
    // No half line is left behind: the file is cut back to where it ended.
    FileError error = writeError(writeFailure(failure), shownName, file.errorString());
    if (::ftruncate(file.handle(), before) != 0)
        error.leftover = Leftover::PartLine;
    return error;
}

} // namespace ravno
