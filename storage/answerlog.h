// SPDX-License-Identifier: GPL-3.0-or-later
// The answer log files/lastans: one answer line per solve. Empty lines carry
// no meaning and every reader skips them. "Первый ответ" leaves the log open
// so that "Следующий ответ" goes on from there; any command that closes all
// files (OpenFiles::closeAll: every command of the log, the arrays and the
// catalogue, except "Следующий ответ") ends that paging.
#pragma once

#include "storage/datafolder.h"
#include "storage/fileresult.h"
#include "storage/textfile.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <utility>

namespace ravno {

// The program's open files: only the answer log stays open between two
// commands.
class OpenFiles
{
public:
    OpenFiles();
    ~OpenFiles();
    OpenFiles(const OpenFiles &) = delete;
    OpenFiles &operator=(const OpenFiles &) = delete;

    void closeAll();
    bool isPaging() const;

private:
    friend class AnswerLog;
    struct Paging;
    std::unique_ptr<Paging> m_paging;
};

// A line of the log, or nothing, and the failed write the reading went on
// past (told after the line is shown).
struct LogEntry
{
    std::optional<QString> line;
    std::optional<FileError> notice;
};

// The log's entries as shown for editing, and the failed rewrite they are
// shown despite.
struct LogText
{
    QString entries;
    std::optional<FileError> notice;
};

class AnswerLog
{
public:
    AnswerLog(const DataFolder &folder, OpenFiles &files);

    // After a solve: closes all files (a solve ends paging), then appends the
    // line and CR LF, creating the log if missing.
    Status append(const QString &line);

    // Closes all files, appends an empty line, reads from the start to the
    // first non-empty line. When found, the log stays open for next(). An
    // append that fails on a full disk or a read-only log does not stop the
    // reading; it comes as the entry's notice (so in last()).
    Result<LogEntry> first();
    // The next non-empty line of the open log; nothing when not paging or at
    // the end (then paging stays as it is).
    Result<LogEntry> next();
    // Closes all files, appends an empty line, reads to the end; the last
    // non-empty line, or nothing.
    Result<LogEntry> last();
    // Closes all files, reads the non-empty lines, each followed by CR LF
    // (the text shown for editing), then rewrites the log as that text plus
    // CR LF, and remembers those bytes for save(). A missing log reads as an
    // empty one and is created. A log over kMostShownBytes is refused and
    // left as it is. A rewrite that fails on a full disk or a read-only log
    // does not keep the entries from being shown; it comes as the notice.
    Result<LogText> all();
    // Closes all files and replaces the log by text plus CR LF (LF alone in
    // the text is stored as CR LF too). After all(), the non-empty lines that
    // were added to the log since (answers solved meanwhile, here or in
    // another copy) follow the text and are returned; a log that another
    // copy rewrote meanwhile is refused and left alone.
    Result<QStringList> save(const QString &text);

private:
    QString path() const;
    static QString shown();
    // Every change of the log runs under its lock; so do appends.
    Status appendLocked(const QString &text);
    // The empty line before a read: the failure the read goes on past, if
    // any, or the one that stops it.
    Result<std::optional<FileError>> appendBeforeReading();

    DataFolder m_folder;
    OpenFiles &m_files;
    FileSnapshot m_shown; // the log as all() last wrote it
};

} // namespace ravno
