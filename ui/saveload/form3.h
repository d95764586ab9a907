// SPDX-License-Identifier: GPL-3.0-or-later
// The save/load window: saves the editor's array under a typed name, adds
// the name to the catalogue files/SaveList when asked, loads a listed array
// into the editor, and shows the catalogue text for editing and rewriting.
// The editor's save/load button shows it; "Готово" or the close box closes
// and destroys it and brings the editor back.
#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QComboBox;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class RoadAnimator;

namespace ravno {
struct AppContext;
class ArrayEditor;
} // namespace ravno

class Form3 : public QWidget
{
    Q_OBJECT
public:
    // Starts from the initial state: lists filled from the catalogue,
    // catalogue view closed, Check1 ticked, Combo1 text "Combo1".
    // The editor must outlive the window.
    Form3(ravno::AppContext &context, ravno::ArrayEditor &editor, QWidget *parent = nullptr);
    ~Form3() override;

    // On a screen lower than the window as designed (with the frame the
    // window manager gave it, or until then one of frameGuess pixels in
    // height), the window is only as high as the screen leaves: the
    // catalogue view is shorter, and what lies beneath it moves up.
    void fitToScreen(int frameGuess);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    bool refillLists();
    void saveArray();
    void showSaved(const QString &name, bool listed);
    void loadArray();
    void viewCatalogue();
    void rewriteCatalogue();
    void setCatalogueShown(bool shown);
    bool refused(const QString &name);

    ravno::AppContext &m_context;
    RoadAnimator *m_road = nullptr;
    ravno::ArrayEditor *const m_editor;

    QPushButton *m_save = nullptr;       // Command1
    QPushButton *m_load = nullptr;       // Command2
    QComboBox *m_name = nullptr;         // Combo1
    QCheckBox *m_addToList = nullptr;    // Check1
    QListWidget *m_names = nullptr;      // Combo2
    QPushButton *m_view = nullptr;       // Command3
    QPlainTextEdit *m_catalogue = nullptr; // Text1
    QPushButton *m_rewrite = nullptr;    // Command4
    QPushButton *m_hide = nullptr;       // Command5
    QPushButton *m_done = nullptr;       // Command6
    QLabel *m_status = nullptr;          // Label1: what the last save did
};
