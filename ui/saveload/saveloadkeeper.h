// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's link to its save/load window: one window at a time, shown
// beside the editor. The main window attaches it when it makes the editor.
#pragma once

class Form2;

namespace ravno {

struct AppContext;

// Gives the editor its save/load window: the editor's Command3 and its menu
// item `loadsave` show the window (a fresh one unless it is already shown),
// and closing the editor by its title bar hides it. The window goes with the
// editor.
void attachSaveLoadWindow(Form2 &editor, AppContext &context);

} // namespace ravno
