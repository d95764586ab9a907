// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a text as a sequence of items, the way the array files and the
// catalogue view read: an item ends at a comma or a line end; blanks around
// an unquoted item are dropped; an item that starts with a double quote runs
// to the next double quote (or to the line end when unclosed), the quotes
// removed, and what follows the closing quote up to the next comma or line
// end is dropped; an empty line gives one empty item; a final line end gives
// no extra item.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

namespace ravno {

QStringList readItems(const QString &text);
// The items of one line (without its line end), in order.
void forEachItem(QStringView line, const std::function<void(QStringView)> &onItem);

} // namespace ravno
