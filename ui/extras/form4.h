// SPDX-License-Identifier: GPL-3.0-or-later
// The About window "О программе", opened by the about item of the main
// window's and the editor's help menu through Form4::showSingle(). There is
// at most one; closing it destroys it, and the next showSingle() builds a
// new one.
#pragma once

#include <QWidget>

class Form4 : public QWidget
{
    Q_OBJECT
public:
    // Shows the About window, without owner and without blocking: creates
    // it when there is none, otherwise brings the open one forward.
    static Form4 *showSingle();

    // The one open instance, or null.
    static Form4 *instance();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    Form4();
};
