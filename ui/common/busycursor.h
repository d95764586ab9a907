// SPDX-License-Identifier: GPL-3.0-or-later
// The wait cursor while a command that may take seconds (loading a large
// array, building a long report) runs on the window thread; restored however
// the command ends.
#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace ravno {

class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace ravno
