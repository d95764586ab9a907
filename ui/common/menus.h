// SPDX-License-Identifier: GPL-3.0-or-later
// Menu bars built from tables: each window lists its menus and items as
// data, and each item's action is kept where the window says.
#pragma once

#include <QChar>
#include <QSet>
#include <QString>
#include <QStringList>

#include <initializer_list>

class QAction;
class QMenuBar;

namespace ravno {

struct MenuItem
{
    const char *name = nullptr; // nullptr: a separator
    const char *caption = "";
    QAction **keep = nullptr; // where the window holds the item's action
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

// The captions of one menu (or of the bar's titles), each with an Alt
// mnemonic ('&' before a letter) of its own: where it can, the first letter
// of a word that is no preposition or conjunction. The words stay as they
// are.
QStringList withMnemonics(const QStringList &captions);

// Adds the menus to the bar, each title and each item with a mnemonic of
// its own within its menu, and F10 to open the first menu; each item's
// action goes where its row keeps it. The top-level menus themselves carry
// no action.
// From then on Alt with a letter that is no mnemonic types nothing into a
// text box of the program.
void buildMenuBar(QMenuBar *bar, std::initializer_list<Menu> menus);

} // namespace ravno
