// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/extras/helpmenu.h"

#include "ui/common/context.h"
#include "ui/extras/helplauncher.h"

namespace ravno {

void openHelp(QWidget *parent, AppContext &context)
{
    if (const Status started = startHelp(context.folder.workingFolder()); !started)
        context.messages.fileError(parent, started.error());
}

} // namespace ravno
