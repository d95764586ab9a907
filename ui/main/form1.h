// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: opens the array editor, solves the workspace, shows the
// answer line and the eliminated matrix, and pages through the answer log.
// Closing it ends the program.
#pragma once


#include "ui/common/keptwindow.h"

#include <QMainWindow>

class QAction;
class QLineEdit;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace ravno {
struct AppContext;
class PrintBox;
class ReportKeeper;
class TextArea;
} // namespace ravno

class Form2;
class RoadAnimator;

class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit Form1(ravno::AppContext &context, QWidget *parent = nullptr);
    ~Form1() override;

    // The editor, created on first use and then only hidden and shown.
    Form2 *editor() const;
    // The last solve's detailed report ("Подробный отчет").
    ravno::ReportKeeper *report() const { return m_report; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenus();

    void enterData();
    void solveFromButton();
    void solve();
    void unloadArray();
    void firstAnswer();
    void nextAnswer();
    void lastAnswer();
    void allAnswers();
    void saveAnswers();
    void hideAnswers();
    void toggleAnswers();
    void setAnswersShown(bool shown);
    void showLogLine(const QString &line);
    void fitText();
    void placeLogView();

    ravno::AppContext &m_context;
    ravno::KeptWindow<Form2> m_editor; // a top-level window of its own

    QPushButton *m_enter = nullptr;      // Command1
    QLineEdit *m_enterBox = nullptr;     // Text1
    QPushButton *m_solve = nullptr;      // Command3
    ravno::PrintBox *m_answer = nullptr; // Picture1
    QPushButton *m_first = nullptr;      // Command2
    QPushButton *m_next = nullptr;       // Command7
    QPushButton *m_last = nullptr;       // Command8
    QPushButton *m_all = nullptr;        // Command4
    QPlainTextEdit *m_logText = nullptr; // Text2
    QLabel *m_matrix = nullptr;          // Label1
    QPushButton *m_saveLog = nullptr;    // Command5
    QPushButton *m_hideLog = nullptr;    // Command6
    ravno::TextArea *m_answerArea = nullptr;
    ravno::TextArea *m_matrixArea = nullptr;
    // The menu items the window acts on, by their names.
    struct MenuActions
    {
        QAction *lastans = nullptr, *allans = nullptr, *exit = nullptr, *unloadmas = nullptr, *masedit = nullptr,
                *ans = nullptr, *graph = nullptr, *stoper = nullptr, *what = nullptr, *final = nullptr,
                *check = nullptr, *about = nullptr;
    };
    MenuActions m_menu;
    ravno::ReportKeeper *m_report = nullptr;
    RoadAnimator *m_road = nullptr;
};
