// SPDX-License-Identifier: GPL-3.0-or-later
// The editor with its save/load window, as the main window sets them up,
// and the hands of a person on that window: typing a name, clicking,
// choosing from the list, reading the lists back.
#pragma once

#include "core/text/arraytext.h"
#include "storage/arrayfile.h"
#include "testsupport.h"
#include "windowcheck.h"
#include "ui/common/layout.h"
#include "ui/common/printbox.h"
#include "ui/editor/form2.h"
#include "ui/main/form1.h"
#include "ui/saveload/form3.h"
#include "ui/saveload/saveloadkeeper.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace ravno::test {

// The save/load window now on screen (or hidden, but not yet destroyed).
inline Form3 *saveLoadWindow()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *form = qobject_cast<Form3 *>(window))
            return form;
    return nullptr;
}

// An editor with its save/load window, as the main window sets it up.
struct Editing
{
    explicit Editing(bool withFilesFolder = true, const QLocale &locale = QLocale::c())
        : box(withFilesFolder, locale), editor(*box.context)
    {
        attachSaveLoadWindow(editor, *box.context);
        editor.showEditor();
    }

    Form3 *open()
    {
        press(child<QPushButton>(&editor, "Command3"));
        return saveLoadWindow();
    }

    QString text() { return child<QLineEdit>(&editor, "Text1")->text(); }
    QString order() { return child<QLineEdit>(&editor, "Text2")->text(); }
    void setArray(int position, const QString &text)
    {
        child<QScrollBar>(&editor, "VScroll1")->setValue(position);
        child<QLineEdit>(&editor, "Text1")->setText(text);
    }

    Sandbox box;
    Form2 editor;
};

// Types into the name box as a person does, Cyrillic included.
inline void typeName(Form3 *form, const QString &name)
{
    QLineEdit *edit = child<QComboBox>(form, "Combo1")->lineEdit();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar c : name)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

inline void click(Form3 *form, const char *button)
{
    press(child<QPushButton>(form, button));
}

inline QStringList listed(QComboBox *combo)
{
    QStringList names;
    for (int i = 0; i < combo->count(); ++i)
        names << combo->itemText(i);
    return names;
}

inline QStringList listed(QListWidget *list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

inline void selectName(Form3 *form, const QString &name)
{
    auto *list = child<QListWidget>(form, "Combo2");
    const auto found = list->findItems(name, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(name));
    press(list->viewport(), list->visualItemRect(found.first()).center());
    QCOMPARE(list->selectedItems().value(0), found.first());
}

inline bool catalogueViewShown(Form3 *form)
{
    return child<QPlainTextEdit>(form, "Text1")->isVisible()
           && child<QPushButton>(form, "Command4")->isVisible()
           && child<QPushButton>(form, "Command5")->isVisible()
           && !child<QPushButton>(form, "Command3")->isVisible();
}

} // namespace ravno::test
