// SPDX-License-Identifier: GPL-3.0-or-later
// The detailed report set on printed pages, for "Сохранить в PDF...": every
// piece of text placed by hand inside the page's text area, so that nothing
// is cut at the paper's edge. A matrix too wide for the page is set smaller,
// down to 7 pt, and then in blocks of columns, each with the row numbers;
// a heading is never the last thing on a page; a long line wraps indented;
// an exponent is set in digits at 70 % of the text's size, raised.
// The report window lays the pages out, then paints them; tests read the
// layout.
#pragma once

#include "core/report/reporttext.h"

#include <QFont>
#include <QRectF>
#include <QString>

#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPdfWriter;
class QWidget;

namespace ravno {

struct PrintedText
{
    QString text;
    QFont font;
    QPointF baseline; // where it is drawn, in the device's units
    QRectF box;       // what it covers on its page
    bool heading = false;
    bool raised = false; // an exponent: "−251" of "1·10⁻²⁵¹", smaller and above the line
};

struct PrintLayout
{
    QRectF textArea; // on every page: the paper less two centimetres all round
    std::vector<std::vector<PrintedText>> pages;
};

// `title` and `titleLine` come first, then the blocks (of Length::Short).
PrintLayout layOutReport(const QString &title, const QString &titleLine, const std::vector<ReportBlock> &blocks,
                         QPagedPaintDevice &device);

// Each page with its number at the foot on the right.
void paintReport(const PrintLayout &layout, QPagedPaintDevice &device);

class Messages;

// The pages `layOut` sets on a PDF writer, saved whole at `path` (or not at
// all); a failure is told through `messages` over `parent`.
void savePdfFile(QWidget *parent, Messages &messages, const QString &path,
                 const std::function<PrintLayout(QPdfWriter &)> &layOut);

} // namespace ravno
