// SPDX-License-Identifier: GPL-3.0-or-later
// The reading half of storage/textfile.h: files are streamed a slice at a
// time, so that a file of hundreds of megabytes is never held twice.
#include "storage/textfile.h"

#include "storage/textfile_p.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace ravno {
namespace {

constexpr qint64 kChunk = qint64(1) << 20;

std::optional<FileError> openForReading(QFile &file, const QString &shownName)
{
    if (auto blocked = obstacle(file.fileName(), shownName, Access::Read))
        return blocked;
    return openRegular(file, QIODevice::ReadOnly, shownName, Access::Read);
}

FileError readFailure(const QFile &file, const QString &shownName)
{
    return readError(Failure::ReadFailed, shownName, file.errorString());
}

} // namespace

Status readLines(const QString &path, const QString &shownName,
                 const std::function<bool(QStringView)> &onLine, FileSnapshot *taken)
{
    QFile file(path);
    if (const auto failed = openForReading(file, shownName))
        return *failed;
    QStringDecoder decoder(kCodePage);
    QCryptographicHash digest(kSnapshotDigest);
    qint64 size = 0;
    QString pending; // the decoded text not yet given out: at most a part line
    QByteArray chunk;
    for (;;) {
        chunk.resize(kChunk);
        const qint64 got = file.read(chunk.data(), kChunk);
        if (got < 0)
            return readFailure(file, shownName);
        if (got == 0)
            break;
        chunk.truncate(got);
        size += got;
        if (taken)
            digest.addData(chunk);
        qsizetype lf = pending.size(); // no line end before what is new
        pending += decoder.decode(chunk);
        qsizetype start = 0;
        while ((lf = pending.indexOf(u'\n', lf)) >= 0) {
            const qsizetype end = lf > start && pending.at(lf - 1) == u'\r' ? lf - 1 : lf;
            if (!onLine(QStringView(pending).sliced(start, end - start)))
                return success();
            start = ++lf;
        }
        pending.remove(0, start);
    }
    if (!pending.isEmpty() && !onLine(pending))
        return success();
    if (taken)
        *taken = {size, digest.result()};
    return success();
}

Result<QString> readWholeFile(const QString &path, const QString &shownName)
{
    QFile file(path);
    if (const auto failed = openForReading(file, shownName))
        return *failed;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return readFailure(file, shownName);
    return decodeText(bytes);
}

Result<QString> readLastLine(const QString &path, const QString &shownName)
{
    QFile file(path);
    if (const auto failed = openForReading(file, shownName))
        return *failed;
    constexpr qint64 kBackStep = qint64(64) << 10;
    // The bytes from pos to the end of the lines not yet looked at; the
    // first of them may be the tail of a line that begins further back.
    QByteArray tail;
    bool atLineEnd = false; // whether a line end follows those bytes
    for (qint64 pos = file.size(); pos > 0;) {
        const qint64 step = std::min(pos, kBackStep);
        pos -= step;
        if (!file.seek(pos))
            return readFailure(file, shownName);
        const QByteArray before = file.read(step);
        if (before.size() != step)
            return readFailure(file, shownName);
        tail.prepend(before);
        // Whole lines, last first: each begins after a line feed, or at the
        // start of the file.
        qsizetype end = tail.size();
        for (;;) {
            const qsizetype lf = end > 0 ? tail.lastIndexOf('\n', end - 1) : -1;
            if (lf < 0 && pos > 0)
                break;
            QByteArrayView line(tail.constData() + lf + 1, end - lf - 1);
            if (atLineEnd && line.endsWith('\r'))
                line.chop(1);
            if (!line.isEmpty())
                return decodeText(line.toByteArray());
            if (lf < 0)
                break;
            end = lf;
            atLineEnd = true;
        }
        tail.truncate(end);
    }
    return QString();
}

Result<QStringList> replaceKeepingAdded(const QString &path, const QString &shownName,
                                        const QString &text, FileSnapshot &basis,
                                        Failure changed)
{
    // What the file holds beyond the bytes the view was filled from.
    QByteArray beyond;
    bool unchanged = basis.size == 0;
    QFile file(path);
    if (file.exists()) {
        if (const auto failed = openForReading(file, shownName))
            return *failed;
        QCryptographicHash digest(kSnapshotDigest);
        qint64 left = basis.size;
        while (left > 0) {
            const QByteArray part = file.read(std::min(left, kChunk));
            if (file.error() != QFileDevice::NoError)
                return readFailure(file, shownName);
            if (part.isEmpty())
                break;
            digest.addData(part);
            left -= part.size();
        }
        unchanged = left == 0 && digest.result() == basis.digest;
        beyond = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return readFailure(file, shownName);
        file.close();
    }
    if (!unchanged)
        return writeError(changed, shownName);

    QStringList added;
    QString addedText;
    for (const QString &line : splitLines(decodeText(beyond)))
        if (!line.isEmpty()) {
            added.append(line);
            addedText += line + kLineEnd;
        }
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

std::optional<FileError> refuseToShow(const QString &path, const QString &shownName)
{
    const qint64 size = QFileInfo(path).size();
    if (size <= kMostShownBytes)
        return std::nullopt;
    return FileError(Failure::TooLargeToShow, shownName, Access::Read,
                     {QString::number(kMostShownBytes), QString::number(size)});
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        if (end < 0)
            end = text.size();
        const qsizetype length = end > start && text.at(end - 1) == u'\r' && end < text.size()
                                     ? end - start - 1
                                     : end - start;
        lines.append(text.mid(start, length));
        start = next;
    }
    return lines;
}

} // namespace ravno
