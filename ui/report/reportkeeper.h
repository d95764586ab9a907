// SPDX-License-Identifier: GPL-3.0-or-later
// The detailed report's place in the program: holds the record of the last
// solve of this run and the one report window, created on first use and
// then hidden and shown. The main window hands it every solve and every
// "Выгрузить массив"; both "Подробный отчет" items (main window and editor)
// open the window beside the window they belong to, and are enabled only
// while there is a solve to report. The "Проверить моё решение" items and
// the report window's button open the check window on the same system,
// under the same rule.
#pragma once

#include "core/exact/solverecord.h"
#include "ui/common/keptwindow.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class QAction;
class QWidget;

namespace ravno {

struct AppContext;
class CheckWindow;
class ReportWindow;

class ReportKeeper : public QObject
{
    Q_OBJECT
public:
    ReportKeeper(AppContext &context, QObject *parent);
    ~ReportKeeper() override;

    // A "Подробный отчет" item of the window `caller`.
    void addItem(QAction *item, QWidget *caller);
    // A "Проверить моё решение" item of the window `caller`.
    void addCheckItem(QAction *item, QWidget *caller);

    // The report window is open: a solve then records its steps, which the
    // window shows at once.
    bool showsSolves() const;
    void solved(SolveRecord record);
    // The editor has rewritten the system since the last solve.
    void systemEdited();
    void unloaded();

    ReportWindow *window() const;
    CheckWindow *checkWindow() const;

private:
    void open(QWidget *caller);
    void openCheck(QWidget *caller);
    void refresh();

    AppContext &m_context;
    std::unique_ptr<SolveRecord> m_record;
    bool m_edited = false;
    bool m_shownIsCurrent = false; // the window shows m_record
    KeptWindow<ReportWindow> m_window;
    KeptWindow<CheckWindow> m_check;
    std::vector<QPointer<QAction>> m_items;
};

} // namespace ravno
