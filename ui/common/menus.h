// SPDX-License-Identifier: GPL-3.0-or-later
// Menu bars built from tables: each window lists its menus and items as
// data, and finds an item's action by its name afterwards.
#pragma once

#include <QHash>
#include <QString>

#include <initializer_list>

class QAction;
class QMenuBar;

namespace ravno {

struct MenuItem
{
    const char *name = nullptr; // nullptr: a separator
    const char *caption = "";
    bool checkable = false;
    bool checked = false;
    bool enabled = true;
};

struct Menu
{
    const char *name;
    const char *caption;
    std::initializer_list<MenuItem> items;
};

inline constexpr MenuItem kSeparator{};

// Adds the menus to the bar; returns every item's action by name. The
// top-level menus themselves carry no action.
QHash<QString, QAction *> buildMenuBar(QMenuBar *bar, std::initializer_list<Menu> menus);

} // namespace ravno
