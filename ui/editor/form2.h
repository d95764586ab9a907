// SPDX-License-Identifier: GPL-3.0-or-later
// The array editor: the order (2..10) on a small scroll bar, the numbers of
// the system in one line of text, random filling, the preview of the system,
// the last-array and catalogue commands, and the way back to the main window.
// Every change of the order or the text refills the shared workspace.
#pragma once

#include "ui/common/arrayeditor.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class RoadAnimator;

namespace ravno {
struct AppContext;
class TextArea;
} // namespace ravno

class Form2 : public QMainWindow, public ravno::ArrayEditor
{
    Q_OBJECT
public:
    explicit Form2(ravno::AppContext &context, QWidget *parent = nullptr);
    ~Form2() override;

    // What the save/load window reads and writes; a loaded array passes
    // through the editor's own handlers, so the workspace and the preview
    // follow it.
    int scrollPosition() const override;
    QString arrayText() const override;
    void loadArray(const ravno::LoadedArray &array) override;
    void showEditor() override;

    // Shows the save/load window beside the editor; set by whoever owns it.
    void setSaveLoadOpener(std::function<void()> open) { m_openSaveLoad = std::move(open); }
    void setSaveLoadHider(std::function<void()> hide) { m_hideSaveLoad = std::move(hide); }
    // "Подробный отчет", which the main window's report keeper drives.
    QAction *reportAction() const { return m_menu.final; }
    QAction *checkAction() const { return m_menu.check; }

signals:
    void returnedToMain();
    // The editor has rewritten the workspace's system.
    void systemEdited();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void loadSteps();

    void orderChanged();
    void textChanged();
    void refreshPreview(const QString &caption);
    void refreshNote();
    void showNote(const QString &note);
    void fitText();
    void scrollMoved(int position);
    void randomContents();
    void randomOrder();
    void newArray();
    void ready();
    bool saveLastArray();
    void loadLastArray();
    void createList();
    void ensureWorkspaceMatches();
    int order() const;

    ravno::AppContext &m_context;
    std::function<void()> m_openSaveLoad;
    std::function<void()> m_hideSaveLoad;

    QLineEdit *m_order = nullptr;      // Text2
    QScrollBar *m_scroll = nullptr;    // VScroll1
    QLineEdit *m_text = nullptr;       // Text1
    QPushButton *m_rndOrder = nullptr; // Command2
    QPushButton *m_rndText = nullptr;  // Command1
    QPushButton *m_saveLoad = nullptr; // Command3
    QPushButton *m_ready = nullptr;    // Command4
    QLabel *m_preview = nullptr;       // Label1
    QLabel *m_note = nullptr;          // Label2: how a piece that is no number was read
    ravno::TextArea *m_previewArea = nullptr;
    ravno::TextArea *m_noteArea = nullptr;
    RoadAnimator *m_road = nullptr;
    // The menu items the window acts on, by their names.
    struct MenuActions
    {
        QAction *newArray = nullptr, *createlist = nullptr, *load = nullptr, *save = nullptr, *loadsave = nullptr,
                *ready = nullptr, *exit = nullptr, *graph = nullptr, *stoper = nullptr, *what2 = nullptr,
                *final = nullptr, *check = nullptr, *about = nullptr;
    };
    MenuActions m_menu;
};
