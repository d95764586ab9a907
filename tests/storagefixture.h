// SPDX-License-Identifier: GPL-3.0-or-later
// A working folder for one storage test: a temporary folder with an empty
// `files` below it, and raw byte access to the files there, so that tests
// compare what lies on disk and not what the readers make of it.
#pragma once

#include "storage/datafolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class StorageFixture
{
public:
    StorageFixture()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("files")));
    }

    ravno::DataFolder folder() const { return ravno::DataFolder(QDir(m_dir.path())); }
    QString workingPath() const { return m_dir.path(); }
    QString path(const QString &name) const { return folder().pathOf(name); }

    void put(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    // The bytes of files/<name>, or a null array when the file is missing.
    QByteArray bytes(const QString &name) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray();
        return file.readAll();
    }

    bool exists(const QString &name) const { return QFile::exists(path(name)); }

    void removeFolder() const { QVERIFY(QDir(m_dir.path() + QStringLiteral("/files")).removeRecursively()); }

private:
    QTemporaryDir m_dir;
};
