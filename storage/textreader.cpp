// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/textreader.h"

#include "storage/codepage.h"
#include "storage/folderaccess.h"
#include "storage/safewrite.h"
#include "storage/textfile_p.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace ravno {

FileError lineTooLong(const QString &shownName)
{
    FileError tooLong(Failure::LineTooLong, shownName, Access::Read);
    tooLong.limit = kMostLineBytes;
    return tooLong;
}

namespace {

constexpr qint64 kChunk = qint64(1) << 20;

// A read that failed, in the file's words for it, with errno as the read
// left it.
FileError readFailure(const QFile &file, const QString &shownName, int error)
{
    return readError(Failure::ReadFailed, shownName, file.errorString(), error);
}

// A line without its line end: LF, and one CR before it. A CR that ends
// the file is taken for a line end cut short.
QByteArrayView withoutLineEnd(QByteArrayView line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

// Calls onLine for the lines from the file's read position on; each new
// chunk is searched once, and no line over kMostLineBytes is held.
Status readLinesFrom(QFile &file, const QString &shownName,
                     const std::function<bool(QStringView)> &onLine, QCryptographicHash *digest,
                     qint64 *size)
{
    QStringDecoder decoder(kCodePage);
    QByteArray pending; // a part line, at most kMostLineBytes and its CR
    QByteArray chunk;
    QString line;
    const auto give = [&](QByteArrayView bytes) {
        const QByteArrayView text = withoutLineEnd(bytes);
        line = decoder.decode(text);
        return onLine(line);
    };
    for (;;) {
        chunk.resize(kChunk);
        const qint64 got = file.read(chunk.data(), kChunk);
        if (got < 0)
            return readFailure(file, shownName, errno);
        if (got == 0)
            break;
        chunk.truncate(got);
        if (size)
            *size += got;
        if (digest)
            digest->addData(chunk);
        qsizetype start = 0;
        for (qsizetype lf = chunk.indexOf('\n'); lf >= 0; lf = chunk.indexOf('\n', start)) {
            const QByteArrayView rest(chunk.constData() + start, lf + 1 - start);
            if (pending.size() + rest.size() > kMostLineBytes + 2)
                return lineTooLong(shownName);
            bool more;
            if (pending.isEmpty()) {
                more = give(rest);
            } else {
                pending.append(rest);
                more = give(pending);
                pending.clear();
            }
            start = lf + 1;
            if (!more)
                return success();
        }
        if (pending.size() + (chunk.size() - start) > kMostLineBytes + 1)
            return lineTooLong(shownName);
        pending.append(chunk.constData() + start, chunk.size() - start);
    }
    if (!pending.isEmpty()) {
        if (withoutLineEnd(pending).size() > kMostLineBytes)
            return lineTooLong(shownName);
        give(pending);
    }
    return success();
}

} // namespace

std::optional<FileError> openForReading(QFile &file, const QString &path, const QString &shownName)
{
    const Result<Place> place = openPlace(path, shownName, Access::Read);
    if (!place)
        return place.error();
    if (auto blocked = obstacleAt(place.value(), shownName, Access::Read))
        return blocked;
    const Result<Place> real = followInside(place.value(), shownName, Access::Read);
    if (!real)
        return real.error();
    const Result<int> fd = openAt(real.value(), O_RDONLY, shownName, Access::Read);
    if (!fd)
        return fd.error();
    if (!file.open(fd.value(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd.value());
        return readError(Failure::NotOpened, shownName, file.errorString());
    }
    return std::nullopt;
}

Status readLines(const QString &path, const QString &shownName,
                 const std::function<bool(QStringView)> &onLine, FileSnapshot *taken)
{
    QFile file;
    if (const auto failed = openForReading(file, path, shownName))
        return *failed;
    QCryptographicHash digest(kSnapshotDigest);
    bool whole = true;
    qint64 size = 0;
    const Status read = readLinesFrom(file, shownName, [&](QStringView line) {
        whole = onLine(line);
        return whole;
    }, taken ? &digest : nullptr, &size);
    if (read && whole && taken)
        *taken = {size, digest.result()};
    return read;
}

Result<QString> readWholeFile(const QString &path, const QString &shownName)
{
    QFile file;
    if (const auto failed = openForReading(file, path, shownName))
        return *failed;
    const QByteArray bytes = file.readAll();
    const int error = errno;
    if (file.error() != QFileDevice::NoError)
        return readFailure(file, shownName, error);
    return decodeText(bytes);
}

Result<QString> readLastLine(const QString &path, const QString &shownName)
{
    QFile file;
    if (const auto failed = openForReading(file, path, shownName))
        return *failed;
    constexpr qint64 kBackStep = qint64(64) << 10;
    // The bytes of the line being put together, from the end of the step
    // just read to the line's end: each step is searched once.
    QByteArray carried;
    QByteArray step;
    const auto found = [&](QByteArrayView head) -> std::optional<Result<QString>> {
        const QByteArray line = withoutLineEnd(head.toByteArray() + carried).toByteArray();
        carried.clear();
        if (line.size() > kMostLineBytes)
            return Result<QString>(lineTooLong(shownName));
        if (line.isEmpty())
            return std::nullopt;
        return Result<QString>(decodeText(line));
    };
    for (qint64 pos = file.size(); pos > 0;) {
        const qint64 size = std::min(pos, kBackStep);
        pos -= size;
        step.resize(size);
        if (!file.seek(pos) || file.read(step.data(), size) != size)
            return readFailure(file, shownName, errno);
        qsizetype end = step.size();
        for (qsizetype lf = step.lastIndexOf('\n', end - 1); end > 0 && lf >= 0;
             lf = end > 0 ? step.lastIndexOf('\n', end - 1) : -1) {
            // The line after this line feed; its own line end stays with it.
            if (auto line = found(QByteArrayView(step.constData() + lf + 1, end - lf - 1)))
                return *line;
            end = lf;
            carried = "\n"; // the line before ends here
        }
        carried.prepend(step.constData(), end);
        if (carried.size() > kMostLineBytes + 2)
            return lineTooLong(shownName);
    }
    if (auto line = found({}))
        return *line;
    return QString();
}

Result<QStringList> replaceKeepingAdded(const QString &path, const QString &shownName,
                                        const QString &text, FileSnapshot &basis,
                                        Failure changed)
{
    // What the file holds beyond the bytes the view was filled from.
    QStringList added;
    QString addedText;
    bool unchanged = basis.size == 0;
    if (QFileInfo::exists(path)) {
        QFile file;
        if (const auto failed = openForReading(file, path, shownName))
            return *failed;
        QCryptographicHash digest(kSnapshotDigest);
        qint64 left = basis.size;
        while (left > 0) {
            const QByteArray part = file.read(std::min(left, kChunk));
            const int error = errno;
            if (file.error() != QFileDevice::NoError)
                return readFailure(file, shownName, error);
            if (part.isEmpty())
                break;
            digest.addData(part);
            left -= part.size();
        }
        unchanged = left == 0 && digest.result() == basis.digest;
        if (!unchanged)
            return writeError(changed, shownName);
        const Status rest = readLinesFrom(file, shownName, [&](QStringView line) {
            if (!line.isEmpty()) {
                added.append(line.toString());
                addedText += line;
                addedText += kLineEnd;
            }
            return true;
        }, nullptr, nullptr);
        if (!rest)
            return rest.error();
    }
    if (!unchanged)
        return writeError(changed, shownName);

    FileSnapshot written;
    const Status status = replaceFile(path, shownName, text + addedText, &written);
    if (!status)
        return status.error();
    basis = written;
    return added;
}

bool readableDespite(const FileError &appendFailure, const QString &path)
{
    switch (appendFailure.kind) {
    case Failure::ReadOnly:
    case Failure::NotOpened:
    case Failure::WriteFailed:
    case Failure::NoSpace:
    case Failure::TooLarge:
    case Failure::QuotaExceeded:
    case Failure::FolderReadOnly:
    case Failure::SharedInReadOnlyFolder:
        return QFileInfo(path).isFile();
    default: return false;
    }
}

FileError asReadFailure(FileError appendFailure)
{
    switch (appendFailure.kind) {
    case Failure::NoFolder:
    case Failure::IsFolder:
    case Failure::NotRegular:
    case Failure::LinkOutside:
        appendFailure.access = Access::Read;
        break;
    default: break;
    }
    return appendFailure;
}

FileError tooLargeToShow(const QString &path, const QString &shownName)
{
    FileError tooLarge(Failure::TooLargeToShow, shownName, Access::Read);
    tooLarge.limit = kMostShownBytes;
    tooLarge.size = QFileInfo(path).size();
    return tooLarge;
}

} // namespace ravno
