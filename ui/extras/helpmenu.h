// SPDX-License-Identifier: GPL-3.0-or-later
// The "Справка" item of the main window and the editor: starts the help
// launcher of the working folder and shows a failure in a message box.
#pragma once

class QWidget;

namespace ravno {
struct AppContext;
void openHelp(QWidget *parent, AppContext &context);
} // namespace ravno
