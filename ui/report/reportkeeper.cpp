// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/report/reportkeeper.h"

#include "core/report/report.h"
#include "ui/check/checkwindow.h"
#include "ui/common/context.h"
#include "ui/common/layout.h"
#include "ui/report/reportwindow.h"

#include <QAction>
#include <QScreen>

namespace ravno {

ReportKeeper::ReportKeeper(AppContext &context, QObject *parent) : QObject(parent), m_context(context) {}

ReportKeeper::~ReportKeeper() = default;

ReportWindow *ReportKeeper::window() const
{
    return m_window.get();
}

CheckWindow *ReportKeeper::checkWindow() const
{
    return m_check.get();
}

void ReportKeeper::addItem(QAction *item, QWidget *caller)
{
    if (!item)
        return;
    item->setEnabled(m_record != nullptr);
    connect(item, &QAction::triggered, this, [this, caller] { open(caller); });
    m_items.emplace_back(item);
}

void ReportKeeper::addCheckItem(QAction *item, QWidget *caller)
{
    if (!item)
        return;
    item->setEnabled(m_record != nullptr);
    connect(item, &QAction::triggered, this, [this, caller] { openCheck(caller); });
    m_items.emplace_back(item);
}

bool ReportKeeper::showsSolves() const
{
    return m_window.isOpen();
}

void ReportKeeper::solved(SolveRecord record)
{
    m_record = std::make_unique<SolveRecord>(std::move(record));
    m_edited = false;
    m_shownIsCurrent = false;
    for (const auto &item : m_items)
        if (item)
            item->setEnabled(true);
    // A solve is reported at once only where somebody looks.
    if (showsSolves())
        refresh();
}

void ReportKeeper::systemEdited()
{
    if (!m_record || m_edited)
        return;
    m_edited = true;
    if (m_window)
        m_window->setEdited(true);
}

void ReportKeeper::unloaded()
{
    m_record.reset();
    m_shownIsCurrent = false;
    for (const auto &item : m_items)
        if (item)
            item->setEnabled(false);
    m_window.hide();
    m_check.hide();
}

void ReportKeeper::refresh()
{
    if (!m_shownIsCurrent) {
        m_window->setReport(buildReport(*m_record));
        m_shownIsCurrent = true;
    }
    m_window->setEdited(m_edited);
}

namespace {

QSize frameSize(const QWidget *window)
{
    return window->frameGeometry().size() - window->geometry().size();
}

// No larger than the screen the caller is on, frame included (taken to be
// the caller's until the window manager has framed the window once): its
// buttons stay on the screen and the report scrolls inside it.
void fitScreen(QWidget *window, const QWidget *caller)
{
    const QScreen *screen = caller->screen();
    if (!screen)
        return;
    // A pixel to spare: at a fractional scale the frame is rounded.
    const QSize room = screen->availableGeometry().size() - frameSize(caller).expandedTo(frameSize(window))
                       - QSize(1, 1);
    window->resize(window->size().boundedTo(room));
}

// Placed before it is shown, so that the window manager puts the frame,
// title bar and all, where it was asked; an open window is only raised.
void showBeside(QWidget &window, const QWidget *caller)
{
    if (!window.isVisible()) {
        fitScreen(&window, caller);
        placeBeside(&window, caller, caller->frameGeometry());
        window.show();
    }
    showActive(&window);
}

} // namespace

void ReportKeeper::open(QWidget *caller)
{
    if (!m_record)
        return;
    ReportWindow &window = m_window.ensure([this] {
        auto *made = new ReportWindow(m_context.messages, m_context.locale);
        made->openCheck = [this, made] { openCheck(made); };
        return made;
    });
    refresh();
    showBeside(window, caller);
}

void ReportKeeper::openCheck(QWidget *caller)
{
    if (!m_record)
        return;
    CheckWindow &check
        = m_check.ensure([this] { return new CheckWindow(m_context.messages, m_context.locale); });
    // The system the report starts from; the student's steps stay while it
    // is the same.
    check.setSystem(m_record->before());
    showBeside(check, caller);
}

} // namespace ravno
