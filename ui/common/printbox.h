// SPDX-License-Identifier: GPL-3.0-or-later
// A picture box that text is printed into: each print adds a line below the
// earlier ones until the box is cleared. A printed line wider than the room
// the window gives it is shown on several lines, broken at blanks, so
// between numbers; what it printed stays one line for copying.
#pragma once

#include <QLabel>
#include <QStringList>

namespace ravno {

// The line broken at blanks into pieces no wider than width in the
// metrics' font; a word wider than that stands alone on its piece. Each
// piece keeps the blanks that follow it, so the pieces join to the line.
QStringList wrapAtBlanks(const QString &line, const QFontMetrics &metrics, int width);

class PrintBox : public QLabel
{
    Q_OBJECT
public:
    explicit PrintBox(QWidget *parent = nullptr);

    void print(const QString &line);
    void clearPrint();
    QStringList printedLines() const { return m_lines; }

    // The width its text may take, in pixels; 0 for no limit. Shown lines
    // follow at once.
    void setWrapWidth(int width);

    // How far below the top of the text the newest printed line begins.
    int newestLineTop() const;

signals:
    // After every print and clear, so the window can make room for the text.
    void changed();

private:
    void showLines();

    QStringList m_lines;
    int m_wrapWidth = 0;
    int m_newestRow = 0; // the shown row the newest printed line begins on
};

} // namespace ravno
