// SPDX-License-Identifier: GPL-3.0-or-later
// What main() does before the first window opens, in functions that tests
// call too, so that the program under test starts the way the shipped one
// does.
#pragma once

#include "ui/common/context.h"

#include <QDir>

#include <memory>

class QApplication;

namespace ravno {

class Messages;

// Process-wide settings that must hold from the first line of main().
void prepareProcess();

// Qt's own Russian texts for the standard context menus of the text boxes.
void installTranslations(QApplication &app);

// The context the windows share: files/ below workingFolder, the user's
// locale for the answers' decimal separator.
std::unique_ptr<AppContext> makeContext(Messages &messages,
                                        const QDir &workingFolder = QDir::current());

} // namespace ravno
