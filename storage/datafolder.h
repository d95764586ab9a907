// SPDX-License-Identifier: GPL-3.0-or-later
// The folder `files` below the working folder, where the program keeps the
// answer log, the last array, the catalogue and the saved arrays. The
// program never creates it. Tests point it at a temporary folder.
#pragma once

#include "storage/fileresult.h"

#include <QDir>
#include <QString>

#include <optional>

namespace ravno {

inline const QString kAnswerLogName = QStringLiteral("lastans");
inline const QString kLastArrayName = QStringLiteral("LostMas");
inline const QString kCatalogueName = QStringLiteral("SaveList");

class DataFolder
{
public:
    // How long a change waits for the lock another copy holds.
    static constexpr int kLockWaitMs = 3000;

    // The folder `files` below workingFolder (the current folder by default);
    // tests give the lock a shorter wait.
    explicit DataFolder(const QDir &workingFolder = QDir::current(), int lockWaitMs = kLockWaitMs);

    // Absolute path of files/<name>.
    QString pathOf(const QString &name) const;
    // "files/<name>" as messages show it.
    static QString displayName(const QString &name);

    QDir workingFolder() const { return m_working; }
    int lockWaitMs() const { return m_lockWaitMs; }

private:
    QDir m_working;
    int m_lockWaitMs;
};

// A name typed for saving or loading an array: refused (the reason says why)
// when it is empty, holds "/" or "\", is "." or "..", names one of
// the program's own files (SaveList, lastans, their lock files
// SaveList.lock and lastans.lock, iexplore, help.htm, in any case), ends
// in ".rmlock" (the lock machinery's own, in any case), holds
// a line break or another control character, or holds a character
// windows-1251 lacks (SaveList could not keep it). Every other
// name, dots and blanks included, is kept exactly as typed; LostMas too.
std::optional<NameRefusal> refuseArrayName(const QString &name);

} // namespace ravno
