// SPDX-License-Identifier: GPL-3.0-or-later
// The Russian words for every failure the file formats and the help
// launcher report: the one place where a kind of failure becomes a sentence.
// Messages::fileError shows it.
#pragma once

#include "storage/fileresult.h"

#include <QString>

namespace ravno {

QString failureText(const FileError &error);

} // namespace ravno
