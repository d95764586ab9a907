// SPDX-License-Identifier: GPL-3.0-or-later
// The picture on the editor's save/load button: a small disk drawn in code.
#pragma once

#include <QIcon>

namespace ravno {
QIcon saveLoadIcon();
} // namespace ravno
