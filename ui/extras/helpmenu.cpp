// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/extras/helpmenu.h"

#include "ui/common/context.h"
#include "ui/extras/helplauncher.h"

#include <QPointer>
#include <QWidget>

namespace ravno {

void openHelp(QWidget *parent, AppContext &context)
{
    // A failure of the launcher itself arrives later, while the program
    // goes on; it is shown over the window that asked, if that is still there.
    const auto late = [&messages = context.messages, window = QPointer<QWidget>(parent)](
                          const HelpFault &fault) { messages.showFailure(window, fault); };
    const HelpStatus started = startHelp(context.folder.workingFolder(), late, context.helpWatchMs);
    context.messages.failed(parent, started);
}

} // namespace ravno
