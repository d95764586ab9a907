// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a window back as a person sees it: the words a control shows, its
// place, and the state of a menu's items, for the tests that hold the
// windows' tables.
#pragma once

#include "ui/common/layout.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTest>

namespace ravno::test {

inline QString shownText(const QWidget *control)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (const auto *line = qobject_cast<const QLineEdit *>(control))
        return line->text();
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (const auto *text = qobject_cast<const QPlainTextEdit *>(control))
        return text->toPlainText();
    if (const auto *combo = qobject_cast<const QComboBox *>(control))
        return combo->currentText();
    return QString();
}

// Compares the window's control with its row of the window's table: the
// words it shows ("*" for any), its tool tip and its place, given in twips.
// A tick box may grow to the right where the type is wider than drawn for.
inline void compareControl(const QWidget *window, const QString &name, const QString &text,
                           const QString &toolTip, const QRect &twips)
{
    const auto *control = window->findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    if (text != QLatin1String("*"))
        QCOMPARE(shownText(control), text);
    QCOMPARE(control->toolTip(), toolTip);
    const QRect expected = twipsRect(window, twips.x(), twips.y(), twips.width(), twips.height());
    if (qobject_cast<const QCheckBox *>(control)) {
        QCOMPARE(control->pos(), expected.topLeft());
        QCOMPARE(control->height(), expected.height());
        QVERIFY(control->width() >= expected.width());
    } else {
        QCOMPARE(control->geometry(), expected);
    }
}

// The items of a menu in order (a separator as an empty caption), and the
// names of those that are disabled and of those that are checked, each list
// joined by blanks.
struct MenuState
{
    QStringList captions;
    QString unavailable;
    QString checked;
};

inline MenuState menuState(const QMenu *menu)
{
    MenuState state;
    QStringList off;
    QStringList on;
    for (const QAction *item : menu->actions()) {
        state.captions << (item->isSeparator() ? QString() : item->text());
        if (item->isSeparator())
            continue;
        if (!item->isEnabled())
            off << item->objectName();
        if (item->isChecked())
            on << item->objectName();
        if (!item->shortcut().isEmpty())
            state.captions.last() += QStringLiteral(" [%1]").arg(item->shortcut().toString());
    }
    state.unavailable = off.join(u' ');
    state.checked = on.join(u' ');
    return state;
}

// The columns of a menu table: the menu's caption, its items' captions, and
// the names of its disabled and of its checked items. A row's tag is the
// menu's object name.
inline void addMenuColumns()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("unavailable");
    QTest::addColumn<QString>("checked");
}

// Compares the window's menu named by the current row with that row.
inline void compareMenu(const QWidget &window)
{
    QFETCH(QString, menu);
    QFETCH(QStringList, captions);
    QFETCH(QString, unavailable);
    QFETCH(QString, checked);
    const auto *items = window.findChild<QMenu *>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(items);
    QCOMPARE(items->title(), menu);
    const MenuState state = menuState(items);
    QCOMPARE(state.captions, captions);
    QCOMPARE(state.unavailable, unavailable);
    QCOMPARE(state.checked, checked);
}

} // namespace ravno::test
