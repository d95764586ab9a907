// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report/reporttext.h"

#include "core/report/reportwriter.h"

#include "core/exact/exactnumber.h"
#include "core/report/methods/determinant.h"
#include "core/exact/solver.h"

#include <algorithm>
#include <span>

namespace ravno {

namespace {

void writeSystem(Writer &w, const Report &r)
{
    w.section(QStringLiteral("Система уравнений"));
    w.values = r.system.matrix();
    // Each value as typed: a fraction as a fraction, a decimal as a decimal.
    const auto typed = [&](std::size_t cell) {
        return !r.fractionCells.empty() && r.fractionCells[cell] ? Notation::Fraction : Notation::Decimal;
    };
    std::size_t cell = 0;
    for (const auto &row : w.values) {
        std::vector<std::pair<mpq_class, QString>> terms;
        std::vector<Notation> forms;
        QStringList zeros; // an equation without unknowns: "0·x1 + 0·x2 = 5"
        for (int c = 0; c < r.order; ++c, ++cell) {
            terms.emplace_back(row[std::size_t(c)], unknown(c));
            forms.push_back(typed(cell));
            zeros << QStringLiteral("0·") + unknown(c);
        }
        const QString left = sum(w, terms, forms);
        w.line((left == QLatin1String("0") ? zeros.join(QStringLiteral(" + ")) : left)
               + w.equals(row[std::size_t(r.order)], typed(cell++)));
    }
    w.notation = Notation::Fraction;
}

// A step from the matrix the step before left (or the system).
void writeStep(Writer &w, const ReportStep &done)
{
    const EliminationStep &s = done.step;
    const mpq_class pivot = stepPivot(w.values, done);
    w.column(QStringLiteral("Столбец %1").arg(s.column + 1));
    if (s.pivotRow != done.row)
        w.line(QStringLiteral("Строки %1 и %2 меняются местами: главный элемент %3")
                   .arg(QString::number(done.row + 1), QString::number(s.pivotRow + 1), w.number(pivot)));
    else
        w.line(QStringLiteral("Главный элемент %1 в строке %2").arg(w.number(pivot), QString::number(done.row + 1)));
    for (int row = done.row + 1; row < int(w.values.size()); ++row) {
        const mpq_class multiplier = stepMultiplier(w.values, done, row);
        if (multiplier == 0)
            continue;
        QString text = QStringLiteral("Из строки %1 вычитается строка %2")
                           .arg(QString::number(row + 1), QString::number(done.row + 1));
        if (multiplier != 1)
            text += QStringLiteral(", умноженная на ") + w.multiplier(multiplier);
        w.line(text);
    }
    w.stepMatrix(s.after, done.row, s.pivotRow);
}

} // namespace

void writeElimination(Writer &w, const Report &r)
{
    w.values = r.system.matrix();
    w.section(QStringLiteral("Исключение неизвестных"));
    if (r.order == 1)
        w.line(QStringLiteral("Исключать нечего: одно уравнение"));
    for (const ReportStep &done : r.steps)
        writeStep(w, done);
    if (r.unique)
        return;
    // Only a consistent system has free unknowns.
    const bool consistent = r.rankAugmented == r.rankCoefficients;
    const auto zeros = [&](const QString &start, int column) {
        QString text = start.arg(column + 1);
        if (consistent)
            text += QStringLiteral(", %1 — свободное неизвестное").arg(unknown(column));
        return text;
    };
    const int from = int(r.steps.size());
    w.line(zeros(QStringLiteral("В столбце %1 на диагонали и ниже одни нули: одного решения нет"), from));
    if (from + 1 < r.order)
        w.line(QStringLiteral("Исключение продолжается по следующим столбцам"));
    auto next = r.continued.begin();
    for (int column = from; column < r.order; ++column) {
        if (next != r.continued.end() && next->step.column == column)
            writeStep(w, *next++);
        else if (column > from)
            w.line(zeros(QStringLiteral("Столбец %1: на диагонали и ниже одни нули"), column));
    }
}

namespace {

void writeBackSubstitution(Writer &w, const Report &r)
{
    w.section(QStringLiteral("Обратный ход"));
    // The last matrix written: the triangular one.
    const ExactMatrix &m = w.values;
    const int n = r.order;
    const QString minus = u' ' + w.minus() + u' ';
    for (int i = n - 1; i >= 0; --i) {
        const mpq_class &b = m[std::size_t(i)][std::size_t(n)];
        QString top = w.number(b);
        bool bracket = false;
        for (int c = i + 1; c < n; ++c) {
            const mpq_class &a = m[std::size_t(i)][std::size_t(c)];
            if (a == 0)
                continue;
            top += a < 0 ? QStringLiteral(" + ") : minus;
            if (abs(a) != 1)
                top += w.factor(abs(a)) + u'·';
            top += w.factor(w.answers[std::size_t(c)]);
            bracket = true;
        }
        // A division by 1 is left out: "x3 = 14/3", "x2 = 4 - 3·(14/3) = -10".
        const mpq_class &pivot = m[std::size_t(i)][std::size_t(i)];
        if (pivot == 1) {
            w.line(unknown(i) + (bracket ? QStringLiteral(" = ") + top : QString())
                   + w.equals(w.answers[std::size_t(i)]));
            continue;
        }
        top = bracket ? u'(' + top + u')' : w.factor(b, true);
        w.line(QStringLiteral("%1 = %2 / %3").arg(unknown(i), top, w.factor(pivot))
               + w.equals(w.answers[std::size_t(i)]));
    }
}

} // namespace

void writeAnswers(Writer &w, const Report &r, const QString &title)
{
    w.section(title);
    for (int i = 0; i < r.order; ++i) {
        const mpq_class &x = w.answers[std::size_t(i)];
        QString text = unknown(i) + w.equals(x);
        if (w.shortens(x)) {
            // The rounding as the answer line has it, unless it is as
            // long as the value itself.
            const QString rounded = w.rounded(x);
            if (rounded.size() <= kLongDigits)
                text += QStringLiteral("; округлённо ") + rounded;
        } else if (mpq_class(x * 1000).get_den() != 1) {
            text += QStringLiteral(" ≈ ") + w.rounded(x);
        }
        if (beyondDoubleRange(x))
            text += QStringLiteral(" — вне диапазона чисел, поэтому в строке ответа «%1»").arg(kOutOfRange);
        w.line(text);
    }
    w.line(checkLine(r, QString()));
}

std::vector<ReportBlock> reportBlocks(const Report &report, const QLocale &locale, Length length, Method method)
{
    Writer w(locale, length);
    if (report.order == 0) {
        w.line(QStringLiteral("Решать было нечего: массив выгружен"));
        return std::move(w.blocks);
    }
    writeSystem(w, report);
    for (int i = 0; report.unique && i < report.answers.rows(); ++i)
        w.answers.push_back(report.answers.value(i, 0));
    if (method == Method::Inverse) {
        // It ends with det A and the inverse itself.
        writeInverse(w, report);
        return std::move(w.blocks);
    }
    if (method == Method::Cramer) {
        writeCramer(w, report);
    } else if (method == Method::GaussJordan) {
        writeGaussJordan(w, report);
    } else if (report.unique) {
        writeElimination(w, report);
        writeBackSubstitution(w, report);
        writeAnswers(w, report, QStringLiteral("Ответ"));
    } else {
        writeElimination(w, report);
        writeStudy(w, report, QStringLiteral("Обратный ход"));
    }
    writeResults(w, determinant(report.system, report.pivot).value);
    return std::move(w.blocks);
}

QStringList matrixLines(const ReportBlock &block)
{
    std::vector<qsizetype> widths;
    for (const QStringList &row : block.rows) {
        widths.resize(std::max(widths.size(), std::size_t(row.size())), 0);
        for (qsizetype j = 0; j < row.size(); ++j)
            widths[std::size_t(j)] = std::max(widths[std::size_t(j)], row[j].size());
    }
    const qsizetype bar = block.barAt();
    QStringList lines;
    for (const QStringList &row : block.rows) {
        QString text;
        for (qsizetype j = 0; j < row.size(); ++j)
            text += (j == 0 ? QString() : j == bar ? QStringLiteral(" | ") : QStringLiteral(" "))
                    + row[j].rightJustified(widths[std::size_t(j)]);
        lines << text;
    }
    return lines;
}

QString reportPlainText(const Report &report, const QLocale &locale, Method method)
{
    QString out;
    for (const ReportBlock &block : reportBlocks(report, locale, Length::Whole, method)) {
        if (block.kind == ReportBlock::Kind::Heading) {
            out += (out.isEmpty() ? QString() : QStringLiteral("\n")) + block.text + u'\n';
        } else if (block.kind != ReportBlock::Kind::Matrix) {
            out += block.text + u'\n';
        } else {
            for (const QString &line : matrixLines(block))
                out += QStringLiteral("  ") + line + u'\n';
        }
    }
    return out;
}

// The text for HTML, the exponents written "⁻²⁵¹" set as <sup>−251</sup>:
// the window gives them a size of their own, a superscript glyph's being
// too small to read.
QString html(const QString &text)
{
    QString out;
    for (const TextRun &run : exponentRuns(text))
        out += run.raised ? QStringLiteral("<sup>%1</sup>").arg(run.text.toHtmlEscaped()) : run.text.toHtmlEscaped();
    return out;
}

QString reportHtml(const Report &report, const QLocale &locale, Method method)
{
    const std::vector<ReportBlock> blocks = reportBlocks(report, locale, Length::Short, method);
    return reportHtml(blocks, 0, blocks.size());
}

QString reportHtml(const std::vector<ReportBlock> &blocks, std::size_t from, std::size_t to)
{
    QString out;
    for (const ReportBlock &block : std::span(blocks).subspan(from, to - from)) {
        if (block.kind == ReportBlock::Kind::Heading) {
            out += QStringLiteral("<h3>%1</h3>").arg(block.text.toHtmlEscaped());
        } else if (block.kind == ReportBlock::Kind::Column) {
            out += QStringLiteral("<p><b>%1</b></p>").arg(block.text.toHtmlEscaped());
        } else if (block.kind == ReportBlock::Kind::Line) {
            // A long line wraps indented, with a little air below it.
            out += QStringLiteral("<p style=\"margin-left: 24px; text-indent: -24px; margin-bottom: 3px\">%1</p>")
                       .arg(html(block.text));
        } else {
            out += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\">");
            const qsizetype bar = block.barAt();
            for (const QStringList &row : block.rows) {
                out += QStringLiteral("<tr>");
                for (qsizetype j = 0; j < row.size(); ++j) {
                    if (j == bar)
                        out += QStringLiteral("<td>|</td>");
                    // A blank in front keeps a column clear of its neighbour.
                    out += QStringLiteral("<td align=\"right\" style=\"white-space: nowrap\">&nbsp;%1</td>")
                               .arg(html(row[j]));
                }
                out += QStringLiteral("</tr>");
            }
            out += QStringLiteral("</table>");
        }
    }
    return out;
}

} // namespace ravno
