// SPDX-License-Identifier: GPL-3.0-or-later
// Menu letters by the key rather than by the layout. A Russian desktop
// mostly has its Latin layout active, where the key of «Ф» types «a»; the
// menus' letters are Russian. Alt with such a key opens the menu whose
// letter lies on it, and in an open menu the key chooses the item, as if
// the Russian layout were active. The menu bars install it.
#pragma once

#include <QChar>

namespace ravno {

// The Russian letter (lower case) on the key that types the given Latin
// letter or sign in the standard layouts, or a null QChar.
QChar russianOnKey(QChar latin);

// From then on, for every window of the program.
void matchMenuLettersByKey();

} // namespace ravno
