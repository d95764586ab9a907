// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/reporttext.h"

#include "core/exactnumber.h"
#include "core/fractiontext.h"
#include "core/solver.h"

#include <algorithm>
#include <optional>

namespace ravno {
namespace {

class Writer
{
public:
    Writer(const QLocale &locale, Length length) : m_locale(locale), m_length(length) {}

    std::vector<ReportBlock> blocks;

    void heading(const QString &text) { blocks.push_back({ReportBlock::Kind::Heading, text, {}}); }
    void column(const QString &text) { blocks.push_back({ReportBlock::Kind::Column, text, {}}); }
    void line(const QString &text) { blocks.push_back({ReportBlock::Kind::Line, text, {}}); }

    // The matrix after a step that took its pivot row from `pivotRow` to
    // `row`, which becomes `values`. The rows above stand as the matrix
    // before it left them, the pivot row as the row it came from: only the
    // rows below are new, each value reduced once.
    void stepMatrix(const ExactRows &m, int row, int pivotRow)
    {
        const ReportBlock *previous = m_lastMatrix < blocks.size() ? &blocks[m_lastMatrix] : nullptr;
        ReportBlock block{ReportBlock::Kind::Matrix, {}, {}};
        ExactMatrix next(std::size_t(m.rows()));
        for (int i = 0; i < m.rows(); ++i) {
            auto &line = next[std::size_t(i)];
            const int from = i == row ? pivotRow : i;
            if (i <= row) {
                line = std::move(values[std::size_t(from)]);
                if (previous) {
                    block.rows.push_back(previous->rows[std::size_t(from)]);
                    continue;
                }
            } else {
                line.reserve(std::size_t(m.columns()));
                for (int j = 0; j < m.columns(); ++j)
                    line.push_back(m.sign(i, j) == 0 ? mpq_class(0) : m.value(i, j));
            }
            QStringList &cells = block.rows.emplace_back();
            cells.reserve(qsizetype(line.size()));
            for (const mpq_class &value : line)
                cells << number(value);
        }
        values = std::move(next);
        m_lastMatrix = blocks.size();
        blocks.push_back(std::move(block));
    }

    // A value worked out from a system typed in fractions is written as a
    // fraction ("1/2", not "0,5"); `fraction` says so for one value.
    bool fractions = false;

    QString number(const mpq_class &value, std::optional<bool> fraction = std::nullopt) const
    {
        if (fraction.value_or(fractions) && value.get_den() != 1 && !shortens(value))
            return fractionText(value);
        return exactText(value, m_locale, m_length);
    }

    // " = 3/7", or " ≈ 1,234…·10¹⁵ (57 цифр)" for a shortened value.
    QString equals(const mpq_class &value, std::optional<bool> fraction = std::nullopt) const
    {
        const QString text = number(value, fraction);
        return (text.startsWith(u'≈') ? QStringLiteral(" ") : QStringLiteral(" = ")) + text;
    }

    // A factor in a product, a dividend or a divisor: fractions, shortened
    // values and, unless `sign` allows them, negative ones in brackets.
    QString factor(const mpq_class &value, bool sign = false,
                   std::optional<bool> fraction = std::nullopt) const
    {
        const QString text = number(value, fraction);
        const bool bracket = (value < 0 && !sign) || text.contains(u'/') || text.startsWith(u'≈');
        return bracket ? u'(' + text + u')' : text;
    }

    QString rounded(const mpq_class &value) const { return roundedText(value, m_locale); }
    bool shortens(const mpq_class &value) const { return m_length != Length::Whole && isLong(value); }

    // The matrix last written, the system first, and x1..xn (when unique),
    // in lowest terms.
    ExactMatrix values;
    std::vector<mpq_class> answers;

private:
    const QLocale &m_locale;
    Length m_length;
    std::size_t m_lastMatrix = std::size_t(-1);
};

QString unknown(int column)
{
    return QStringLiteral("x%1").arg(column + 1);
}

QString parameter(int index)
{
    return QStringLiteral("t%1").arg(index + 1);
}

// "c·name" terms joined by their signs: "2·x1 - x2", "3 - 2·t1"; zero
// terms left out, "0" when nothing is left. `fractions`, when given, says
// for each term whether it was typed as a fraction.
QString sum(const Writer &w, const std::vector<std::pair<mpq_class, QString>> &terms,
            const std::vector<bool> &fractions = {})
{
    QString out;
    for (std::size_t k = 0; k < terms.size(); ++k) {
        const auto &[coefficient, name] = terms[k];
        const std::optional<bool> fraction =
            fractions.empty() ? std::nullopt : std::optional<bool>(fractions[k]);
        if (coefficient == 0)
            continue;
        const bool negative = coefficient < 0;
        if (out.isEmpty())
            out = negative ? QStringLiteral("-") : QString();
        else
            out += negative ? QStringLiteral(" - ") : QStringLiteral(" + ");
        const mpq_class magnitude = abs(coefficient);
        if (name.isEmpty())
            out += w.number(magnitude, fraction);
        else if (magnitude == 1)
            out += name;
        else
            out += w.factor(magnitude, false, fraction) + u'·' + name;
    }
    return out.isEmpty() ? QStringLiteral("0") : out;
}

void writeSystem(Writer &w, const Report &r)
{
    w.heading(QStringLiteral("1. Система уравнений"));
    w.values = r.system.matrix();
    // Each value as typed: a fraction as a fraction, a decimal as a decimal.
    const std::vector<bool> &typed = r.fractionCells;
    std::size_t cell = 0;
    for (const auto &row : w.values) {
        std::vector<std::pair<mpq_class, QString>> terms;
        std::vector<bool> forms;
        for (int c = 0; c < r.order; ++c, ++cell) {
            terms.emplace_back(row[std::size_t(c)], unknown(c));
            if (!typed.empty())
                forms.push_back(typed[cell]);
        }
        const std::optional<bool> last = typed.empty() ? std::nullopt : std::optional<bool>(typed[cell]);
        ++cell;
        w.line(sum(w, terms, forms) + w.equals(row[std::size_t(r.order)], last));
    }
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
        w.line(QStringLiteral("Из строки %1 вычитается строка %2, умноженная на %3")
                   .arg(QString::number(row + 1), QString::number(done.row + 1), w.number(multiplier)));
    }
    w.stepMatrix(s.after, done.row, s.pivotRow);
}

void writeElimination(Writer &w, const Report &r)
{
    w.heading(QStringLiteral("2. Исключение неизвестных"));
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
            text += QStringLiteral(", %1 — свободная неизвестная").arg(unknown(column));
        return text;
    };
    const int from = int(r.steps.size());
    QString stopped = zeros(QStringLiteral("В столбце %1 на диагонали и ниже одни нули: одного решения нет"), from);
    if (from + 1 < r.order)
        stopped += QStringLiteral(". Исключение продолжается по следующим столбцам");
    w.line(stopped + u'.');
    auto next = r.continued.begin();
    for (int column = from; column < r.order; ++column) {
        if (next != r.continued.end() && next->step.column == column)
            writeStep(w, *next++);
        else if (column > from)
            w.line(zeros(QStringLiteral("Столбец %1: на диагонали и ниже одни нули"), column));
    }
}

void writeBackSubstitution(Writer &w, const Report &r)
{
    w.heading(QStringLiteral("3. Обратный ход"));
    // The last matrix written: the triangular one.
    const ExactMatrix &m = w.values;
    const int n = r.order;
    for (int i = n - 1; i >= 0; --i) {
        const mpq_class &b = m[std::size_t(i)][std::size_t(n)];
        QString top = w.number(b);
        bool bracket = false;
        for (int c = i + 1; c < n; ++c) {
            const mpq_class &a = m[std::size_t(i)][std::size_t(c)];
            if (a == 0)
                continue;
            top += a < 0 ? QStringLiteral(" + ") : QStringLiteral(" - ");
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

// "при любом t1", "при любых t1, t2"
QString forAny(const QStringList &names)
{
    return (names.size() == 1 ? QStringLiteral("при любом ") : QStringLiteral("при любых "))
           + names.join(QStringLiteral(", "));
}

// "Проверка: оба уравнения выполняются точно", "... все 5 уравнений ...",
// with `condition` ("при любом t1 ") after the colon.
QString checkLine(const Report &r, const QString &condition)
{
    if (r.failing.empty()) {
        QString all;
        if (r.order == 1)
            all = QStringLiteral("уравнение выполняется");
        else if (r.order == 2)
            all = QStringLiteral("оба уравнения выполняются");
        else
            all = QStringLiteral("все %1 выполняются")
                      .arg(countWithWord(r.order, "уравнение", "уравнения", "уравнений"));
        return QStringLiteral("Проверка: %1%2 точно").arg(condition, all);
    }
    QStringList rows;
    for (int i : r.failing)
        rows << QString::number(i + 1);
    if (rows.size() == 1)
        return QStringLiteral("Проверка: не выполняется уравнение %1").arg(rows.first());
    return QStringLiteral("Проверка: не выполняются уравнения %1").arg(rows.join(QStringLiteral(", ")));
}

void writeAnswers(Writer &w, const Report &r)
{
    w.heading(QStringLiteral("4. Ответ"));
    for (int i = 0; i < r.order; ++i) {
        const mpq_class &x = w.answers[std::size_t(i)];
        QString text;
        if (w.shortens(x)) {
            text = unknown(i) + w.equals(x) + QStringLiteral("; округлённо ") + w.rounded(x);
        } else {
            text = unknown(i) + w.equals(x);
            const mpq_class thousandths = x * 1000;
            if (thousandths.get_den() != 1)
                text += QStringLiteral(" ≈ ") + w.rounded(x);
        }
        if (beyondDoubleRange(x))
            text += QStringLiteral(" — вне диапазона чисел, поэтому в строке ответа «%1»").arg(kOutOfRange);
        w.line(text);
    }
    w.line(checkLine(r, QString()));
}

void writeNoUniqueSolution(Writer &w, const Report &r)
{
    w.heading(QStringLiteral("3. Одного решения нет"));
    const bool consistent = r.rankAugmented == r.rankCoefficients;
    w.line(consistent ? QStringLiteral("Бесконечно много решений") : QStringLiteral("Система несовместна"));
    w.line(QStringLiteral("Ранг матрицы коэффициентов: %1, ранг расширенной матрицы: %2")
               .arg(QString::number(r.rankCoefficients), QString::number(r.rankAugmented)));
    if (!consistent) {
        // The equations counted as written, before any exchange of rows.
        const int k = r.firstInconsistent;
        if (k == 1)
            w.line(QStringLiteral("Уже первое уравнение (k = 1) не имеет решения"));
        else
            w.line(QStringLiteral("Уже первые k = %1 не имеют общего решения, а %2")
                       .arg(countWithWord(k, "уравнение", "уравнения", "уравнений"),
                            k == 2 ? QStringLiteral("первое уравнение решения имеет")
                                   : QStringLiteral("первые %1 имеют").arg(k - 1)));
    } else {
        QStringList names;
        for (std::size_t j = 0; j < r.parameterColumns.size(); ++j)
            names << parameter(int(j));
        w.line(QStringLiteral("Общее решение (%1 — %2):")
                   .arg(names.join(QStringLiteral(", ")),
                        names.size() == 1 ? QStringLiteral("любое число") : QStringLiteral("любые числа")));
        for (int i = 0; i < r.order; ++i) {
            const Affine &x = r.general[std::size_t(i)];
            std::vector<std::pair<mpq_class, QString>> terms{{x.constant, QString()}};
            for (std::size_t j = 0; j < x.perParameter.size(); ++j)
                terms.emplace_back(x.perParameter[j], parameter(int(j)));
            w.line(QStringLiteral("%1 = %2").arg(unknown(i), sum(w, terms)));
        }
        w.line(checkLine(r, forAny(names) + u' '));
    }
    w.line(QStringLiteral("В строке ответа и в журнале: «%1»").arg(kNoUniqueSolution));
}

} // namespace

std::vector<ReportBlock> reportBlocks(const Report &report, const QLocale &locale, Length length)
{
    Writer w(locale, length);
    w.fractions = !report.fractionCells.empty();
    if (report.order == 0) {
        w.line(QStringLiteral("Решать было нечего: массив выгружен"));
        return std::move(w.blocks);
    }
    writeSystem(w, report);
    writeElimination(w, report);
    if (report.unique) {
        for (int i = 0; i < report.answers.rows(); ++i)
            w.answers.push_back(report.answers.value(i, 0));
        writeBackSubstitution(w, report);
        writeAnswers(w, report);
    } else {
        writeNoUniqueSolution(w, report);
    }
    return std::move(w.blocks);
}

QString reportPlainText(const Report &report, const QLocale &locale)
{
    QString out;
    for (const ReportBlock &block : reportBlocks(report, locale, Length::Whole)) {
        if (block.kind == ReportBlock::Kind::Heading) {
            out += (out.isEmpty() ? QString() : QStringLiteral("\n")) + block.text + u'\n';
        } else if (block.kind != ReportBlock::Kind::Matrix) {
            out += block.text + u'\n';
        } else {
            // Columns right-aligned to their widest cell, the right-hand
            // side after a bar.
            std::vector<qsizetype> widths(block.rows.front().size(), 0);
            for (const QStringList &row : block.rows)
                for (qsizetype j = 0; j < row.size(); ++j)
                    widths[std::size_t(j)] = std::max(widths[std::size_t(j)], row[j].size());
            for (const QStringList &row : block.rows) {
                QString text = QStringLiteral(" ");
                for (qsizetype j = 0; j < row.size(); ++j)
                    text += (j + 1 == row.size() ? QStringLiteral(" | ") : QStringLiteral(" "))
                            + row[j].rightJustified(widths[std::size_t(j)]);
                out += text + u'\n';
            }
        }
    }
    return out;
}

QString reportHtml(const Report &report, const QLocale &locale)
{
    QString out;
    for (const ReportBlock &block : reportBlocks(report, locale, Length::Short)) {
        if (block.kind == ReportBlock::Kind::Heading) {
            out += QStringLiteral("<h3>%1</h3>").arg(block.text.toHtmlEscaped());
        } else if (block.kind == ReportBlock::Kind::Column) {
            out += QStringLiteral("<p><b>%1</b></p>").arg(block.text.toHtmlEscaped());
        } else if (block.kind == ReportBlock::Kind::Line) {
            // A long line wraps indented, with a little air below it.
            out += QStringLiteral("<p style=\"margin-left: 24px; text-indent: -24px; margin-bottom: 3px\">%1</p>")
                       .arg(block.text.toHtmlEscaped());
        } else {
            out += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\">");
            for (const QStringList &row : block.rows) {
                out += QStringLiteral("<tr>");
                for (qsizetype j = 0; j < row.size(); ++j) {
                    if (j + 1 == row.size())
                        out += QStringLiteral("<td>|</td>");
                    // A blank in front keeps a column clear of its neighbour.
                    out += QStringLiteral("<td align=\"right\" style=\"white-space: nowrap\">&nbsp;%1</td>")
                               .arg(row[j].toHtmlEscaped());
                }
                out += QStringLiteral("</tr>");
            }
            out += QStringLiteral("</table>");
        }
    }
    return out;
}

} // namespace ravno
