// SPDX-License-Identifier: GPL-3.0-or-later
// A picture box that text is printed into: each print adds a line below the
// earlier ones until the box is cleared. A screen reader reads what it shows.
#pragma once

#include <QLabel>
#include <QStringList>

namespace ravno {

class PrintBox : public QLabel
{
    Q_OBJECT
public:
    explicit PrintBox(QWidget *parent = nullptr);

    void print(const QString &line);
    void clearPrint();
    QStringList printedLines() const { return m_lines; }

signals:
    // After every print and clear, so the window can make room for the text.
    void changed();

private:
    QStringList m_lines;
};

} // namespace ravno
