// SPDX-License-Identifier: GPL-3.0-or-later
// What a view was filled from, so that saving it back can tell whether
// another copy changed the file meanwhile (storage/textreader.h).
#pragma once

#include <QByteArray>

namespace ravno {

// The length and digest of the file's bytes.
struct FileSnapshot
{
    qint64 size = -1; // -1: none taken
    QByteArray digest;
    bool taken() const { return size >= 0; }
};

} // namespace ravno
