// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader is told about the windows beyond Qt's own: texts
// that show a result say what they are before what they show, and
// decorations and click areas that would be a second item beside a real
// control are left out of the tree. The windows call these while they build
// their controls.
#pragma once

#include <QString>

#include <functional>

class QComboBox;
class QLabel;
class QWidget;

namespace ravno {

// The label's name is "what: text" ("Ответ: 1.000  3.000"), or what alone
// while it is empty; it follows every change of the text, so a reader
// hears new answers.
void nameResult(QLabel *label, const QString &what);

// The same for a label that shows a matrix a row a line: its name and text
// are "what:" and then each row on a line of its own, values apart by
// blanks and "|" before the right-hand side.
void nameMatrix(QLabel *label, const QString &what);

// The widget is read as a document whose text, read-only, is `text()` (the
// report as it is copied), rather than as what its view draws.
void readAsDocument(QWidget *widget, std::function<QString()> text);

// The widget is no item of its parent's in the accessibility tree: a click
// area over a button that already says the same, a decoration.
void hideFromReaders(QWidget *widget);

// The window is a dialog to a screen reader, which then announces it when
// it opens (a plain window of its own would be a mere "filler").
void announceAsDialog(QWidget *window);

// An editable combo box named by its accessible name, as on other systems:
// on Linux Qt gives it its current text as its name ("Combo1"). Its text
// field takes the same name.
void nameComboBox(QComboBox *box, const QString &name);

} // namespace ravno
