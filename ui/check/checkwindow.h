// SPDX-License-Identifier: GPL-3.0-or-later
// The check window ("Проверка решения"): the student types row operations
// on the system of the last solve, one a line, and sees at once, exactly,
// the matrix each gives, with the verdict when it is in echelon or reduced
// form; a refused line leaves the matrix as it was and says why. A row
// typed as computed is taken as its step or told wrong, and an answer is
// checked against the system. Steps are
// undone, done again, or dropped by "Сначала"; "Копировать" and "Сохранить
// в PDF..." take the steps with their matrices, printed as the detailed
// report is. Every new matrix and verdict, or refusal, is told to a screen
// reader. The session (core/check/checksession.h) does the work;
// ReportKeeper opens the window.
#pragma once

#include "core/check/checksession.h"

#include <QDialog>
#include <QLocale>

#include <functional>

class QLabel;
class QLineEdit;
class QPdfWriter;
class QPushButton;
class QTextBrowser;

namespace ravno {

class Messages;
struct PrintLayout;

class CheckWindow : public QDialog
{
public:
    CheckWindow(Messages &messages, const QLocale &locale);

    // Starts again from this system, unless it is the one already shown.
    void setSystem(const ExactMatrix &system);
    const CheckSession &session() const { return m_session; }

    // The line typed into the operation box, as Return there does.
    void applyLine();
    void undo();
    void redo();
    void restart();

    // What a screen reader was last told, and the text shown under the box.
    QString announcement() const;
    QString plainText() const;
    void copyAll() const;
    void saveAsPdf();
    PrintLayout printLayout(QPdfWriter &writer) const;

    // Asks for the PDF file's path, empty when the user cancels; a file
    // dialog unless a test answers instead.
    std::function<QString(QWidget *parent)> askPdfPath;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // `lead` goes before what is said of the matrix.
    void showSession(const QString &lead = QString());
    void tell(const QString &shown, const QString &spoken);

    Messages &m_messages;
    QLocale m_locale;
    CheckSession m_session;
    QLabel *m_title = nullptr;
    QTextBrowser *m_view = nullptr;
    QLineEdit *m_line = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_undo = nullptr;
    QPushButton *m_redo = nullptr;
    QPushButton *m_restart = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_savePdf = nullptr;
};

} // namespace ravno
