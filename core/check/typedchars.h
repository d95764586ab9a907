// SPDX-License-Identifier: GPL-3.0-or-later
// The characters a student's typed line is read by: the operation line and
// the answer line of the check window share them.
#pragma once

#include <QChar>

namespace ravno::typed {

inline bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// "-", or "−" as copied from the report.
inline bool isMinus(QChar c)
{
    return c == u'-' || c == u'−';
}

} // namespace ravno::typed
