// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's answer log commands: paging through the log, the last
// answer, and the whole log shown for editing and saved back.
#include "ui/main/form1.h"

#include "ui/common/context.h"
#include "ui/common/printbox.h"
#include "ui/common/viewtext.h"

#include <QPlainTextEdit>
#include <QPushButton>

using namespace ravno;

void Form1::showLogLine(const QString &line)
{
    m_answer->clearPrint();
    m_answer->print(line);
}

void Form1::firstAnswer()
{
    m_next->setEnabled(false);
    const auto read = m_context.log.first();
    if (m_context.messages.failed(this, read))
        return;
    if (read.value().line) {
        showLogLine(*read.value().line);
        m_next->setEnabled(true);
    }
    m_context.messages.failed(this, read.value().notice);
}

void Form1::nextAnswer()
{
    // The editor and the save/load window close every file too, and may do
    // so while this window is shown; paging then has ended.
    if (!m_context.files.isPaging()) {
        m_next->setEnabled(false);
        return;
    }
    const auto read = m_context.log.next();
    if (!read)
        m_next->setEnabled(false);
    if (m_context.messages.failed(this, read))
        return;
    if (read.value().line)
        showLogLine(*read.value().line);
}

void Form1::lastAnswer()
{
    m_next->setEnabled(false);
    const auto read = m_context.log.last();
    if (m_context.messages.failed(this, read))
        return;
    if (read.value().line)
        showLogLine(*read.value().line);
    else
        m_answer->print(QStringLiteral("Ничего не помню"));
    m_context.messages.failed(this, read.value().notice);
}

void Form1::allAnswers()
{
    m_next->setEnabled(false);
    // On a failure nothing is shown for editing, so nothing can be saved
    // over the log.
    const auto read = m_context.log.all();
    if (m_context.messages.failed(this, read))
        return;
    setAnswersShown(true);
    m_logText->setPlainText(withLf(read.value().entries));
    m_logText->setFocus(Qt::OtherFocusReason);
    m_context.messages.failed(this, read.value().notice);
}

void Form1::saveAnswers()
{
    m_next->setEnabled(false);
    const auto saved = m_context.log.save(viewText(*m_logText));
    if (m_context.messages.failed(this, saved))
        return;
    appendViewLines(*m_logText, saved.value());
}
