// SPDX-License-Identifier: GPL-3.0-or-later
// What the fuzz targets share: the input as text, a failure described, and
// the one working folder the file targets read their inputs from.
#pragma once

#include "storage/datafolder.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace ravno::fuzz {

// Text as the windows may hand it over: UTF-8, or raw UTF-16 code units
// (lone surrogates included), chosen by the caller.
inline QString decoded(QByteArrayView bytes, bool utf16)
{
    if (!utf16)
        return QString::fromUtf8(bytes);
    return QString(reinterpret_cast<const QChar *>(bytes.data()), bytes.size() / 2);
}

inline QString describe(const char *what, const QString &detail)
{
    return QString::fromLatin1(what) + QStringLiteral(": ") + detail;
}

inline QString describe(const char *what, const FileError &error)
{
    return describe(what, QStringLiteral("failure %1 on %2 (%3)")
                              .arg(int(error.kind))
                              .arg(error.path, error.system));
}

// One working folder with its files/ for the whole fuzzing run; every input
// replaces the file it is read from.
inline const DataFolder &sandbox()
{
    static QTemporaryDir dir;
    static const DataFolder folder = [] {
        QDir(dir.path()).mkdir(QStringLiteral("files"));
        return DataFolder(QDir(dir.path()));
    }();
    return folder;
}

inline bool store(const QString &name, QByteArrayView bytes)
{
    QFile file(sandbox().pathOf(name));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(bytes.data(), bytes.size()) == bytes.size();
}

} // namespace ravno::fuzz
