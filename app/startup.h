// SPDX-License-Identifier: GPL-3.0-or-later
// What main() does before the first window opens, in functions that tests
// call too, so that the program under test starts the way the shipped one
// does.
#pragma once

#include "ui/common/context.h"

#include <QByteArray>
#include <QDir>
#include <QProcessEnvironment>
#include <QStringList>

#include <memory>
#include <vector>

class QApplication;

namespace ravno {

class Messages;

// Process-wide settings that must hold from the first line of main().
void prepareProcess();

// The display platform to ask Qt for, or nothing for Qt's own choice. The
// windows are placed by the program (the editor's save/load window beside
// it, every window centred); a Wayland compositor places them itself. So
// in a Wayland session (WAYLAND_DISPLAY set, or XDG_SESSION_TYPE=wayland)
// that also offers an X server (DISPLAY set) the program runs on X11,
// unless the person has chosen a platform: QT_QPA_PLATFORM or -platform.
QByteArray chooseDisplayPlatform(const QProcessEnvironment &environment, const QStringList &arguments);

// The command line as Qt gets it: the program's own, with "-platform xcb"
// added where chooseDisplayPlatform() asks for X11. An argument rather than
// QT_QPA_PLATFORM, so that the browser the help opens does not inherit it.
class StartArguments
{
public:
    StartArguments(int argc, char **argv,
                   const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
    int &count() { return m_count; }
    char **values() { return m_values.data(); }

private:
    int m_count = 0;
    std::vector<char *> m_values;
    QByteArray m_platform;
};

// Qt's own Russian texts for the standard context menus of the text boxes.
void installTranslations(QApplication &app);

// The context the windows share: files/ below workingFolder, the user's
// locale for the answers' decimal separator.
std::unique_ptr<AppContext> makeContext(Messages &messages,
                                        const QDir &workingFolder = QDir::current());

} // namespace ravno
