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
        for (const TextRun &run : exponentRuns(text))
            width += metrics(run.raised ? small : font).horizontalAdvance(run.text);
        return width;
    }

    // An exponent's digits reach up to the line's ascent, inside its box.
    void put(const QString &text, const QFont &font, qreal x, qreal baseline, bool heading = false)
    {
        const QFontMetricsF m = metrics(font);
        const QFont small = raisedFont(font);
        const qreal raise = m.ascent() - metrics(small).capHeight();
        for (const TextRun &run : exponentRuns(text)) {
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
        for (const TextRun &run : exponentRuns(text)) {
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

// The columns' headings show only when the matrix is set in blocks, and
// are measured only then.
MatrixFont measure(const Pages &pages, const ReportBlock &block, qreal size, bool names)
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
    for (std::size_t j = 0; names && j < out.widths.size(); ++j)
        out.widths[j] = std::max(out.widths[j], m.horizontalAdvance(columnName(block, j)));
    return out;
}

// Columns [from, to) side by side: a gap between neighbours, and "|" with
// a gap of its own before the right-hand side.
qreal span(const MatrixFont &f, std::size_t from, std::size_t to)
{
    qreal total = 0;
    for (std::size_t j = from; j < to; ++j)
        total += (j > from ? f.gap : 0) + f.widths[j] + (j == f.bar ? f.barWidth : 0);
    return total;
}

struct MatrixSetting
{
    MatrixFont font;
    bool whole = true; // in one block, without row numbers and names
};

// The largest size at which the whole matrix fits the width, down to 7 pt;
// else 7 pt, in blocks of columns.
MatrixSetting setting(const Pages &pages, const ReportBlock &block)
{
    const std::size_t columns = block.rows.front().size();
    for (qreal size = kTextSize; size >= kSmallestSize; size -= 0.5) {
        MatrixFont f = measure(pages, block, size, false);
        if (span(f, 0, columns) <= pages.width())
            return {std::move(f), true};
    }
    return {measure(pages, block, kSmallestSize, true), false};
}

// Set in blocks, the block from column `from` on has the columns' headings
// over it, unless it holds only the right-hand side.
bool named(const ReportBlock &block, const MatrixSetting &s, std::size_t from)
{
    return !s.whole && !columnName(block, from).isEmpty();
}

// The rows of the block from column `from` on, with the names over them: it
// stands on one page where it fits on one, and the first block shares its
// page with the heading before the matrix.
qreal blockHeight(const Pages &pages, const ReportBlock &block, const MatrixSetting &s, std::size_t from = 0)
{
    return qreal(block.rows.size() + (named(block, s, from) ? 1 : 0)) * pages.metrics(s.font.font).lineSpacing();
}

void matrix(Pages &pages, const ReportBlock &block, const MatrixSetting &chosen)
{
    const std::size_t columns = block.rows.front().size();
    const MatrixFont &f = chosen.font;
    const bool whole = chosen.whole;
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
        pages.need(blockHeight(pages, block, chosen, from));
        if (named(block, chosen, from)) {
            // The headings over the columns.
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

// The report's faces and the height of a line of each on the device.
struct Faces
{
    explicit Faces(const Pages &pages)
        : text(uiFont(kTextSize)), bold(uiFont(kTextSize, true)), big(uiFont(12, true)),
          line(pages.metrics(text).lineSpacing()), boldLine(pages.metrics(bold).lineSpacing()),
          bigLine(pages.metrics(big).lineSpacing())
    {
    }
    QFont text, bold, big;
    qreal line, boldLine, bigLine;
};

// What must share a page with a heading standing before `blocks[i]`: a
// line's first line, a matrix's first block, or a heading with what it
// keeps in turn. A heading is thus never the last line of a page.
qreal keptWithHeading(const Pages &pages, const Faces &faces, const std::vector<ReportBlock> &blocks,
                      const std::vector<MatrixSetting> &settings, std::size_t i)
{
    if (i >= blocks.size())
        return 0;
    const ReportBlock &block = blocks[i];
    switch (block.kind) {
    case ReportBlock::Kind::Heading:
        return faces.line / 2 + faces.bigLine + faces.line / 4
               + keptWithHeading(pages, faces, blocks, settings, i + 1);
    case ReportBlock::Kind::Column:
        return faces.boldLine + keptWithHeading(pages, faces, blocks, settings, i + 1);
    case ReportBlock::Kind::Line:
        return faces.line;
    case ReportBlock::Kind::Matrix:
        return block.rows.empty() ? 0 : blockHeight(pages, block, settings[i]);
    }
    return 0;
}

} // namespace

PrintLayout layOutReport(const QString &title, const QString &titleLine, const std::vector<ReportBlock> &blocks,
                         QPagedPaintDevice &device)
{
    Pages pages(device);
    const Faces faces(pages);
    const qreal line = faces.line;
    pages.paragraph(title, uiFont(14, true), true);
    pages.skip(line / 2);
    pages.paragraph(titleLine, faces.text);
    // Each matrix's size, chosen once: a heading before it needs its height.
    std::vector<MatrixSetting> settings(blocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i)
        if (blocks[i].kind == ReportBlock::Kind::Matrix && !blocks[i].rows.empty())
            settings[i] = setting(pages, blocks[i]);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const ReportBlock &block = blocks[i];
        switch (block.kind) {
        case ReportBlock::Kind::Heading:
            pages.skip(line / 2);
            pages.need(faces.bigLine + line / 4 + keptWithHeading(pages, faces, blocks, settings, i + 1));
            pages.paragraph(block.text, faces.big, true);
            pages.skip(line / 4);
            break;
        case ReportBlock::Kind::Column:
            pages.need(faces.boldLine + keptWithHeading(pages, faces, blocks, settings, i + 1));
            pages.paragraph(block.text, faces.bold, true);
            break;
        case ReportBlock::Kind::Line:
            pages.paragraph(block.text, faces.text);
            pages.skip(line / 4);
            break;
        case ReportBlock::Kind::Matrix:
            if (!block.rows.empty())
                matrix(pages, block, settings[i]);
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
