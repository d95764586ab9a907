// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/printbox.h"

namespace ravno {

PrintBox::PrintBox(QWidget *parent) : QLabel(parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(true);
    // Named by class, so that the box's tool tip keeps its own look.
    setStyleSheet(QStringLiteral("ravno--PrintBox { background-color: black; color: rgb(0,255,0);"
                                 "  border: 1px solid rgb(128,128,128); }"));
}

void PrintBox::print(const QString &line)
{
    m_lines << line;
    setText(m_lines.join(u'\n'));
    emit changed();
}

void PrintBox::clearPrint()
{
    m_lines.clear();
    setText(QString());
    emit changed();
}

} // namespace ravno
