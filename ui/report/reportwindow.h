// SPDX-License-Identifier: GPL-3.0-or-later
// The detailed report window ("Подробный отчет"): the last solve of this
// run from the system to the answer, in exact fractions. Modeless, in the
// program's colours; Escape closes it. "Копировать" (and Ctrl+C) copies the
// whole report as plain text whatever is selected, "Сохранить в PDF..."
// prints it black on white into a PDF file; «Метод» chooses how the report
// works the system out and «Главный элемент» how its eliminations choose
// their pivots, for the run. ReportKeeper decides what it
// shows and when it opens.
#pragma once

#include "core/report/report.h"
#include "core/report/reporttext.h"

#include <QDialog>
#include <QLocale>

#include <functional>

class QComboBox;
class QLabel;
class QPdfWriter;
class QPushButton;
class QTextBrowser;

namespace ravno {

class Messages;
struct PrintLayout;

class ReportWindow : public QDialog
{
    Q_OBJECT
public:
    ReportWindow(Messages &messages, const QLocale &locale);

    // Shows the report of a solve; the title line says whether the editor
    // has changed the system since.
    void setReport(Report report);
    void setEdited(bool edited);

    // The title line and the report as plain text, every fraction whole.
    QString plainText() const;
    void copyAll() const;
    void saveAsPdf();
    // The pages "Сохранить в PDF..." paints, set up on `writer`.
    PrintLayout printLayout(QPdfWriter &writer) const;

    // Asks for the PDF file's path, empty when the user cancels; a file
    // dialog unless a test answers instead.
    std::function<QString(QWidget *parent)> askPdfPath;
    // "Проверить моё решение": opens the check window on the same system.
    std::function<void()> openCheck;

    // A long report is set in the view a screenful first, shown at once,
    // and whole when `pace` runs what it is given: by default on the next
    // turn of the event loop. Tests and the benchmark hold it.
    std::function<void(std::function<void()>)> pace;
    // Sets the whole report in the view now, when it is not yet.
    void finishDocument();

protected:
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    QString titleLine() const;
    Method method() const;
    // Sets the report in the view by the chosen method.
    void render();
    // Gives the view a new document of `html`, the scroll bars where they were.
    void setDocumentHtml(const QString &html);

    Messages &m_messages;
    QLocale m_locale;
    bool m_edited = false;
    QSize m_frame; // what the frame adds to the window's size, as last seen
    Report m_report;
    mutable QString m_plain; // plainText(), once asked for
    std::vector<ReportBlock> m_blocks; // while the view holds only their first screenful
    int m_renders = 0;                 // the document set last, for what `pace` runs late
    QLabel *m_title = nullptr;
    QTextBrowser *m_view = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_savePdf = nullptr;
    QPushButton *m_check = nullptr;
    QComboBox *m_method = nullptr; // «Метод»: the items in the order of Method
    QComboBox *m_pivot = nullptr;  // «Главный элемент»: in the order of Pivot
};

} // namespace ravno
