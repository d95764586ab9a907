// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's contents box, which takes a pasted system whole: a paste that
// holds a line break, a tab or a semicolon (rows copied from a spreadsheet
// or a text file) replaces the text with the system's numbers in one line
// when it holds two or more cells, and sets the order when the rows make a
// system; a single cell is inserted at the cursor without its line break; a
// paste that would shift its cells is refused with one line beneath the box.
// Every way of pasting counts: Ctrl+V, Shift+Insert, the context menu, the
// middle button and a drop. Any other paste is inserted as typed text.
#pragma once

#include <QLineEdit>

class PasteBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit PasteBox(QWidget *parent = nullptr);

signals:
    // A pasted system of n rows of n + 1 numbers, sent before the text
    // changes; whoever holds the order sets it to n.
    void orderPasted(int n);
    // A paste refused, the text left as it was; the line says why, for
    // whoever shows it beneath the box.
    void refused(const QString &line);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void pasteClipboard();
    // True when the paste was taken here (inserted, replaced or refused).
    bool takeSystem(const QString &paste);
    static QString refusalLine(const QString &cell);
};
