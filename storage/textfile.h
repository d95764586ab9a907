// SPDX-License-Identifier: GPL-3.0-or-later
// Plain text on disk, in one include: the text form (storage/codepage.h),
// the safe writers (storage/safewrite.h) and the readers
// (storage/textreader.h).
#pragma once

#include "storage/codepage.h"
#include "storage/safewrite.h"
#include "storage/textreader.h"
