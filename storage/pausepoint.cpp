// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/pausepoint.h"

namespace ravno {

PauseHook pauseHook = nullptr;

} // namespace ravno
