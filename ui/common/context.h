// SPDX-License-Identifier: GPL-3.0-or-later
// What the windows share for the whole run: the workspace, the data folder
// with its open files and the three kinds of file (answer log, arrays,
// catalogue), the message boxes, the random source and the locale whose
// decimal separator the answers use. The program makes one; each test
// makes its own.
#pragma once

#include "core/randomdigits.h"
#include "core/workspace.h"
#include "storage/answerlog.h"
#include "storage/arrayfile.h"
#include "storage/catalogue.h"
#include "storage/datafolder.h"
#include "ui/common/messages.h"
#include "ui/extras/helplauncher.h"

#include <QLocale>

namespace ravno {

struct AppContext
{
    AppContext(const DataFolder &dataFolder, Messages &boxes, const QLocale &userLocale = QLocale())
        : folder(dataFolder), messages(boxes), locale(userLocale), log(folder, files),
          arrays(folder, files), catalogue(folder, files)
    {
    }

    Workspace workspace;
    DataFolder folder;
    OpenFiles files;
    Messages &messages;
    RandomSource random;
    QLocale locale;
    AnswerLog log;
    ArrayStore arrays;
    Catalogue catalogue;
    // How long a failing help launcher is still reported; tests shorten it.
    int helpWatchMs = kHelpWatchMs;
};

} // namespace ravno
