// SPDX-License-Identifier: GPL-3.0-or-later
// Answers that can be copied: a label made copyable takes focus by click and
// by Tab (the window's yellow frame shows it, clear of the text), and puts
// what it shows on the clipboard with Ctrl+C or with "Копировать" from its
// context menu. The main window makes its answer box and its eliminated
// matrix copyable.
#pragma once

#include <QString>

#include <functional>

class QLabel;

namespace ravno {

inline const QString kCopyCaption = QStringLiteral("Копировать");

// shownText gives what is copied: the lines the label shows, separated by
// LF. Nothing is copied while it is empty.
void makeCopyable(QLabel *label, std::function<QString()> shownText);

} // namespace ravno
