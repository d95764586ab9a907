// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/report/reportprint.h"

#include "storage/textfile.h"
#include "ui/common/busycursor.h"
#include "ui/common/layout.h"
#include "ui/common/messages.h"

#include <QBuffer>
#include <QDir>
#include <QPdfWriter>

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace ravno {
namespace {

constexpr qreal kTextSize = 10;
constexpr qreal kSmallestSize = 7;

// The page's margins as the text document's printing has them: 2 cm of a
// 96 dpi screen, scaled to the device.
qreal margin(const QPaintDevice &device)
{
    return int((2 / 2.54) * 96) * device.logicalDpiY() / 96.0;
}

// "1·10⁻²⁵¹" as the runs it is set in: "1·10", then "−251" raised.
struct Run
{
    QString text;
    bool raised = false;
};

std::vector<Run> runs(const QString &text)
{
    static const QString raised = QStringLiteral("⁰¹²³⁴⁵⁶⁷⁸⁹⁻");
    static const QString plain = QStringLiteral("0123456789−");
    std::vector<Run> out;
    for (const QChar c : text) {
        const qsizetype at = raised.indexOf(c);
        if (out.empty() || out.back().raised != (at >= 0))
            out.push_back({QString(), at >= 0});
        out.back().text += at >= 0 ? plain[at] : c;
    }
    return out;
}

// An exponent's font: large enough to read, at least two thirds of the text.
QFont raisedFont(const QFont &font)
{
    QFont smaller = font;
    smaller.setPointSizeF(font.pointSizeF() * 0.7);
    return smaller;
}

class Pages
{
public:
    explicit Pages(QPagedPaintDevice &device) : m_device(device)
    {
        const qreal m = margin(device);
        layout.textArea = QRectF(0, 0, device.width(), device.height()).adjusted(m, m, -m, -m);
        layout.pages.emplace_back();
        m_y = layout.textArea.top();
    }

    PrintLayout layout;

    QFontMetricsF metrics(const QFont &font) const { return QFontMetricsF(font, &m_device); }
    qreal width() const { return layout.textArea.width(); }
    qreal left() const { return layout.textArea.left(); }

    // Room for `height` more on this page, or a new page.
    void need(qreal height)
    {
        if (m_y + height > layout.textArea.bottom() && m_y > layout.textArea.top()) {
            layout.pages.emplace_back();
            m_y = layout.textArea.top();
        }
    }
    void skip(qreal height) { m_y += height; }

    // Begins a line of `font` on this page or the next.
    qreal line(const QFont &font)
    {
        const QFontMetricsF m = metrics(font);
        need(m.height());
        const qreal baseline = m_y + m.ascent();
        m_y += m.lineSpacing();
        return baseline;
    }

    // The width of a text with its exponents.
    qreal advance(const QString &text, const QFont &font) const
    {
        const QFont small = raisedFont(font);
        qreal width = 0;
        for (const Run &run : runs(text))
            width += metrics(run.raised ? small : font).horizontalAdvance(run.text);
        return width;
    }

    // An exponent's digits reach up to the line's ascent, inside its box.
    void put(const QString &text, const QFont &font, qreal x, qreal baseline, bool heading = false)
    {
        const QFontMetricsF m = metrics(font);
        const QFont small = raisedFont(font);
        const qreal raise = m.ascent() - metrics(small).capHeight();
        for (const Run &run : runs(text)) {
            const QFont &face = run.raised ? small : font;
            const qreal width = metrics(face).horizontalAdvance(run.text);
            const qreal y = run.raised ? baseline - raise : baseline;
            const QRectF box(x, baseline - m.ascent(), width, m.height());
            layout.pages.back().push_back({run.text, face, QPointF(x, y), box, heading, run.raised});
            x += width;
        }
    }

    // A paragraph: wrapped to the width, every line after the first indented.
    void paragraph(const QString &text, const QFont &font, bool heading = false)
    {
        const qreal indent = metrics(font).horizontalAdvance(QStringLiteral("MMM"));
        // Wrapped as it is set, exponents in their own font; a run has as
        // many characters as the text it comes from.
        QString set;
        QList<QTextLayout::FormatRange> exponents;
        for (const Run &run : runs(text)) {
            if (run.raised) {
                QTextCharFormat format;
                format.setFont(raisedFont(font));
                exponents.push_back({int(set.size()), int(run.text.size()), format});
            }
            set += run.text;
        }
        QTextLayout wrap(set, font, &m_device);
        wrap.setFormats(exponents);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        wrap.setTextOption(option);
        wrap.beginLayout();
        for (QTextLine line = wrap.createLine(); line.isValid(); line = wrap.createLine()) {
            const bool first = line.lineNumber() == 0;
            line.setLineWidth(first ? width() : width() - indent);
            const QString piece = text.mid(line.textStart(), line.textLength()).trimmed();
            put(piece, font, left() + (first ? 0 : indent), this->line(font), heading);
        }
        wrap.endLayout();
    }

private:
    QPagedPaintDevice &m_device;
    qreal m_y = 0;
};

// The columns of a matrix at one size: each one's width, and the blank
// that keeps neighbours apart.
struct MatrixFont
{
    QFont font;
    std::vector<qreal> widths; // the columns, the right-hand side last
    std::size_t bar = 0;       // the columns before "|", all when there is none
    qreal gap = 0;
    qreal barWidth = 0;        // "|" with a gap after it
    qreal rowNumbers = 0;      // the widest row number and its gap
};

// The heading over column j when a matrix is set in blocks: in the
// system's matrix [A | b] the unknown the column multiplies (b has none);
// in any other, [A | E], A⁻¹ or a determinant's, whose columns are not the
// unknowns, the column's number. Empty for none.
QString columnName(const ReportBlock &block, std::size_t j)
{
    if (block.bar >= 0)
        return QString::number(j + 1);
    return qsizetype(j) < block.barAt() ? QStringLiteral("x%1").arg(j + 1) : QString();
}

MatrixFont measure(const Pages &pages, const ReportBlock &block, qreal size)
{
    MatrixFont out{uiFont(size), {}, std::size_t(block.barAt()), 0, 0, 0};
    const QFontMetricsF m = pages.metrics(out.font);
    out.gap = m.horizontalAdvance(QStringLiteral("  "));
    out.barWidth = m.horizontalAdvance(u'|') + out.gap;
    out.rowNumbers = m.horizontalAdvance(QString::number(block.rows.size())) + out.gap;
    out.widths.assign(std::size_t(block.rows.front().size()), 0);
    for (const QStringList &row : block.rows)
        for (qsizetype j = 0; j < row.size(); ++j)
            out.widths[std::size_t(j)] = std::max(out.widths[std::size_t(j)], pages.advance(row[j], out.font));
    // The names head the columns when the matrix is set in blocks.
    for (std::size_t j = 0; j < out.widths.size(); ++j)
        out.widths[j] = std::max(out.widths[j], m.horizontalAdvance(columnName(block, j)));
    return out;
}

// Columns [from, to) take this much room, each after a gap.
qreal span(const MatrixFont &f, std::size_t from, std::size_t to)
{
    qreal total = 0;
    for (std::size_t j = from; j < to; ++j)
        total += f.gap + f.widths[j] + (j == f.bar ? f.barWidth : 0);
    return total;
}

void matrix(Pages &pages, const ReportBlock &block)
{
    const std::size_t columns = block.rows.front().size();
    MatrixFont f;
    for (qreal size = kTextSize; size >= kSmallestSize; size -= 0.5) {
        f = measure(pages, block, size);
        if (span(f, 0, columns) <= pages.width())
            break;
    }
    const bool whole = span(f, 0, columns) <= pages.width();
    const QFontMetricsF m = pages.metrics(f.font);
    std::size_t from = 0;
    while (from < columns) {
        // As many columns as fit beside the row numbers, at least one.
        const qreal room = pages.width() - (whole ? 0 : f.rowNumbers);
        std::size_t to = from + 1;
        while (to < columns && span(f, from, to + 1) <= room)
            ++to;
        const qreal start = pages.left() + (whole ? 0 : f.rowNumbers);
        const auto rightEdges = [&](std::size_t j) { return start + span(f, from, j + 1); };
        // A block on one page where it fits on one.
        const bool names = !whole && !columnName(block, from).isEmpty();
        pages.need(qreal(block.rows.size() + (names ? 1 : 0)) * m.lineSpacing());
        if (names) {
            // The names over the columns.
            const qreal baseline = pages.line(f.font);
            for (std::size_t j = from; j < to; ++j) {
                const QString name = columnName(block, j);
                pages.put(name, f.font, rightEdges(j) - m.horizontalAdvance(name), baseline);
            }
        }
        for (std::size_t i = 0; i < block.rows.size(); ++i) {
            const qreal baseline = pages.line(f.font);
            if (!whole) {
                const QString number = QString::number(i + 1);
                pages.put(number, f.font, pages.left() + f.rowNumbers - f.gap - m.horizontalAdvance(number),
                          baseline);
            }
            for (std::size_t j = from; j < to; ++j) {
                const QString &cell = block.rows[i][qsizetype(j)];
                if (j == f.bar)
                    pages.put(QStringLiteral("|"), f.font, rightEdges(j) - f.widths[j] - f.barWidth, baseline);
                pages.put(cell, f.font, rightEdges(j) - pages.advance(cell, f.font), baseline);
            }
        }
        pages.skip(m.lineSpacing() / 2);
        from = to;
    }
}

} // namespace

PrintLayout layOutReport(const QString &title, const QString &titleLine, const std::vector<ReportBlock> &blocks,
                         QPagedPaintDevice &device)
{
    Pages pages(device);
    const QFont text = uiFont(kTextSize), bold = uiFont(kTextSize, true), big = uiFont(12, true);
    const qreal line = pages.metrics(text).lineSpacing();
    pages.paragraph(title, uiFont(14, true), true);
    pages.skip(line / 2);
    pages.paragraph(titleLine, text);
    for (const ReportBlock &block : blocks) {
        switch (block.kind) {
        case ReportBlock::Kind::Heading:
            pages.skip(line / 2);
            // Never alone at a page's foot: room for the heading and two
            // lines after it, or a new page.
            pages.need(pages.metrics(big).lineSpacing() + 2 * line);
            pages.paragraph(block.text, big, true);
            pages.skip(line / 4);
            break;
        case ReportBlock::Kind::Column:
            pages.need(3 * line);
            pages.paragraph(block.text, bold, true);
            break;
        case ReportBlock::Kind::Line:
            pages.paragraph(block.text, text);
            pages.skip(line / 4);
            break;
        case ReportBlock::Kind::Matrix:
            if (!block.rows.empty())
                matrix(pages, block);
            break;
        }
    }
    return std::move(pages.layout);
}

void paintReport(const PrintLayout &layout, QPagedPaintDevice &device)
{
    QPainter painter(&device);
    const QFont numberFont = uiFont(kTextSize);
    const QFontMetricsF numbers(numberFont, &device);
    const qreal m = margin(device);
    const QPointF numberAt(device.width() - m, device.height() - m + numbers.ascent() + 5 * device.logicalDpiY() / 72.0);
    for (std::size_t page = 0; page < layout.pages.size(); ++page) {
        if (page > 0)
            device.newPage();
        for (const PrintedText &piece : layout.pages[page]) {
            painter.setFont(piece.font);
            painter.drawText(piece.baseline, piece.text);
        }
        const QString number = QString::number(page + 1);
        painter.setFont(numberFont);
        painter.drawText(QPointF(qRound(numberAt.x() - numbers.horizontalAdvance(number)), qRound(numberAt.y())),
                         number);
    }
}

void savePdfFile(QWidget *parent, Messages &messages, const QString &path,
                 const std::function<PrintLayout(QPdfWriter &)> &layOut)
{
    const BusyCursor busy;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        paintReport(layOut(writer), writer);
    }
    messages.failed(parent, replaceFileBytes(path, QDir::toNativeSeparators(path), bytes));
}

} // namespace ravno
