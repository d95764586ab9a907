// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/answerlog.h"

#include "storage/filelock.h"
#include "storage/textfile.h"
#include "storage/textfile_p.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace ravno {

// The log open for reading between "Первый ответ" and "Следующий ответ": the
// read position of the open file is the paging position.
struct OpenFiles::Paging
{
    QFile file;


    // The next non-empty line from the read position, or nothing at the end.
    Result<std::optional<QString>> nextEntry()
    {
        const QString shown = DataFolder::displayName(kAnswerLogName);
        while (!file.atEnd()) {
            // No more than the longest line and its line end, and one byte
            // to tell a longer one.
            QByteArray bytes = file.readLine(kMostLineBytes + 3);
            const int error = errno;
            if (file.error() != QFileDevice::NoError)
                return readError(Failure::ReadFailed, shown, file.errorString(), error);
            if (bytes.endsWith('\n'))
                bytes.chop(1);
            else if (!file.atEnd())
                return lineTooLong(shown);
            if (bytes.endsWith('\r'))
                bytes.chop(1);
            if (bytes.size() > kMostLineBytes)
                return lineTooLong(shown);
            if (!bytes.isEmpty())
                return std::optional<QString>(decodeText(bytes));
        }
        return std::optional<QString>();
    }
};

OpenFiles::OpenFiles() = default;
OpenFiles::~OpenFiles() = default;

void OpenFiles::closeAll()
{
    m_paging.reset();
}

bool OpenFiles::isPaging() const
{
    return m_paging != nullptr;
}

AnswerLog::AnswerLog(const DataFolder &folder, OpenFiles &files)
    : m_folder(folder)
    , m_files(files)
{
}

Status AnswerLog::append(const QString &line)
{
    // A solve is one of the commands that close every file.
    m_files.closeAll();
    return appendLocked(line + kLineEnd);
}

Status AnswerLog::appendLocked(const QString &text)
{
    return underLock(path(), shown(), m_folder.lockWaitMs(),
                     [&] { return appendToFile(path(), shown(), text); });
}

Result<std::optional<FileError>> AnswerLog::appendBeforeReading()
{
    const Status appended = appendLocked(kLineEnd);
    if (appended)
        return std::optional<FileError>();
    FileError failure = asReadFailure(appended.error());
    if (!readableDespite(failure, path()))
        return failure;
    return std::optional<FileError>(failure);
}

Result<LogEntry> AnswerLog::first()
{
    m_files.closeAll();
    const Result<std::optional<FileError>> appended = appendBeforeReading();
    if (!appended)
        return appended.error();

    auto paging = std::make_unique<OpenFiles::Paging>();
    if (auto failed = openForReading(paging->file, path(), shown()))
        return *failed;
    const Result<std::optional<QString>> line = paging->nextEntry();
    if (!line)
        return line.error();
    if (line.value())
        m_files.m_paging = std::move(paging);
    return LogEntry{line.value(), appended.value()};
}

Result<LogEntry> AnswerLog::next()
{
    if (!m_files.m_paging)
        return LogEntry();
    const Result<std::optional<QString>> line = m_files.m_paging->nextEntry();
    if (!line) {
        m_files.closeAll();
        return line.error();
    }
    return LogEntry{line.value(), std::nullopt};
}

Result<LogEntry> AnswerLog::last()
{
    m_files.closeAll();
    const Result<std::optional<FileError>> appended = appendBeforeReading();
    if (!appended)
        return appended.error();
    const Result<QString> lastEntry = readLastLine(path(), shown());
    if (!lastEntry)
        return lastEntry.error();
    if (lastEntry.value().isEmpty())
        return LogEntry{std::nullopt, appended.value()};
    return LogEntry{lastEntry.value(), appended.value()};
}

Result<LogText> AnswerLog::all()
{
    m_files.closeAll();
    m_shown = FileSnapshot();
    return underLock(path(), shown(), m_folder.lockWaitMs(), [&]() -> Result<LogText> {
        // A log that was never written is an empty one; the rewrite creates it.
        LogText shownText;
        QString &entries = shownText.entries;
        FileSnapshot read;
        bool tooLarge = false;
        const QFileInfo info(path());
        if (info.exists() || !info.dir().exists()) {
            const Status status = readLines(path(), shown(), [&](QStringView line) {
                if (!line.isEmpty()) {
                    entries += line;
                    entries += kLineEnd;
                }
                // Counted on what the view shows: a log it saved back
                // (with one empty line more) shows again.
                tooLarge = entries.size() > kMostShownBytes;
                return !tooLarge;
            }, &read);
            if (!status)
                return status.error();
            if (tooLarge)
                return tooLargeToShow(path(), shown());
        }
        entries += kLineEnd;
        FileSnapshot written;
        const Status rewritten = replaceFile(path(), shown(), entries, &written);
        if (rewritten) {
            m_shown = written;
        } else {
            // A full disk or a read-only log is still shown; a save then
            // keeps the lines added after what was read.
            if (!readableDespite(rewritten.error(), path()))
                return rewritten.error();
            shownText.notice = rewritten.error();
            m_shown = read;
        }
        entries.chop(kLineEnd.size());
        return shownText;
    });
}

Result<QStringList> AnswerLog::save(const QString &text)
{
    m_files.closeAll();
    return underLock(path(), shown(), m_folder.lockWaitMs(), [&]() -> Result<QStringList> {
        if (m_shown.taken())
            return replaceKeepingAdded(path(), shown(), text + kLineEnd, m_shown,
                                       Failure::LogRewritten);
        const Status saved = replaceFile(path(), shown(), text + kLineEnd);
        if (!saved)
            return saved.error();
        return QStringList();
    });
}

QString AnswerLog::path() const
{
    return m_folder.pathOf(kAnswerLogName);
}

QString AnswerLog::shown()
{
    return DataFolder::displayName(kAnswerLogName);
}

} // namespace ravno
