// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/reporttext.h"

#include "core/solver.h"

#include <algorithm>
#include <limits>

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

    void matrix(const ExactMatrix &m)
    {
        ReportBlock block{ReportBlock::Kind::Matrix, {}, {}};
        for (const auto &row : m) {
            QStringList cells;
            for (const mpq_class &value : row)
                cells << number(value, Length::Cell);
            block.rows.push_back(cells);
        }
        blocks.push_back(std::move(block));
    }

    // A value in a line; in a cell or a product the shorter form of a long one.
    QString number(const mpq_class &value, Length shortened = Length::Line) const
    {
        return exactText(value, m_locale, m_length == Length::Whole ? Length::Whole : shortened);
    }

    // A factor in a product or a divisor: negative ones and fractions in
    // brackets.
    QString factor(const mpq_class &value) const
    {
        const QString text = number(value, Length::Cell);
        return value < 0 || text.contains(u'/') ? u'(' + text + u')' : text;
    }

    QString rounded(const mpq_class &value) const { return roundedText(value, m_locale); }
    bool shortens(const mpq_class &value) const { return m_length != Length::Whole && isLong(value); }

private:
    const QLocale &m_locale;
    Length m_length;
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
// terms left out, "0" when nothing is left.
QString sum(const Writer &w, const std::vector<std::pair<mpq_class, QString>> &terms)
{
    QString out;
    for (const auto &[coefficient, name] : terms) {
        if (coefficient == 0)
            continue;
        const bool negative = coefficient < 0;
        if (out.isEmpty())
            out = negative ? QStringLiteral("-") : QString();
        else
            out += negative ? QStringLiteral(" - ") : QStringLiteral(" + ");
        const mpq_class magnitude = abs(coefficient);
        if (name.isEmpty())
            out += w.number(magnitude, Length::Cell);
        else if (magnitude == 1)
            out += name;
        else
            out += w.number(magnitude, Length::Cell) + u'·' + name;
    }
    return out.isEmpty() ? QStringLiteral("0") : out;
}

void writeSystem(Writer &w, const Report &r)
{
    w.heading(QStringLiteral("1. Система уравнений"));
    for (const auto &row : r.system) {
        std::vector<std::pair<mpq_class, QString>> terms;
        for (int c = 0; c < r.order; ++c)
            terms.emplace_back(row[std::size_t(c)], unknown(c));
        w.line(QStringLiteral("%1 = %2").arg(sum(w, terms), w.number(row[std::size_t(r.order)], Length::Cell)));
    }
}

void writeStep(Writer &w, const ReportStep &done)
{
    const EliminationStep &s = done.step;
    w.column(QStringLiteral("Столбец %1").arg(s.column + 1));
    if (s.pivotRow != done.row)
        w.line(QStringLiteral("Строки %1 и %2 меняются местами: главный элемент %3")
                   .arg(QString::number(done.row + 1), QString::number(s.pivotRow + 1), w.number(s.pivot)));
    else
        w.line(QStringLiteral("Главный элемент %1 в строке %2")
                   .arg(w.number(s.pivot), QString::number(done.row + 1)));
    for (const auto &[row, multiplier] : s.eliminations) {
        if (multiplier == 0)
            continue;
        w.line(QStringLiteral("Из строки %1 вычитается строка %2, умноженная на %3")
                   .arg(QString::number(row + 1), QString::number(done.row + 1), w.number(multiplier)));
    }
    w.matrix(s.after);
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
    const int from = int(r.steps.size());
    w.line(QStringLiteral("В столбце %1 на диагонали и ниже одни нули: одного решения нет. "
                          "Исключение продолжается по следующим столбцам.")
               .arg(from + 1));
    auto next = r.continued.begin();
    for (int column = from; column < r.order; ++column) {
        if (next != r.continued.end() && next->step.column == column) {
            writeStep(w, *next++);
            continue;
        }
        w.line(QStringLiteral("Столбец %1: на диагонали и ниже одни нули, %2 — свободная неизвестная")
                   .arg(QString::number(column + 1), unknown(column)));
    }
}

void writeBackSubstitution(Writer &w, const Report &r)
{
    w.heading(QStringLiteral("3. Обратный ход"));
    const ExactMatrix &m = r.lastMatrix();
    const int n = r.order;
    for (int i = n - 1; i >= 0; --i) {
        const auto &row = m[std::size_t(i)];
        QString top = w.number(row[std::size_t(n)], Length::Cell);
        bool bracket = false;
        for (int c = i + 1; c < n; ++c) {
            const mpq_class &a = row[std::size_t(c)];
            if (a == 0)
                continue;
            top += (a < 0 ? QStringLiteral(" + ") : QStringLiteral(" - ")) + w.number(abs(a), Length::Cell)
                   + u'·' + w.factor(r.answers[std::size_t(c)]);
            bracket = true;
        }
        if (bracket)
            top = u'(' + top + u')';
        w.line(QStringLiteral("%1 = %2 / %3 = %4")
                   .arg(unknown(i), top, w.factor(row[std::size_t(i)]), w.number(r.answers[std::size_t(i)])));
    }
}

QString checkLine(const Report &r, const QString &condition)
{
    if (r.failing.empty())
        return QStringLiteral("Проверка: %1все %2 выполняются точно")
            .arg(condition, countWithWord(r.order, "уравнение", "уравнения", "уравнений"));
    QStringList rows;
    for (int i : r.failing)
        rows << QString::number(i + 1);
    return QStringLiteral("Проверка: не выполняются уравнения %1").arg(rows.join(QStringLiteral(", ")));
}

void writeAnswers(Writer &w, const Report &r)
{
    w.heading(QStringLiteral("4. Ответ"));
    const mpq_class largest = std::numeric_limits<double>::max();
    for (int i = 0; i < r.order; ++i) {
        const mpq_class &x = r.answers[std::size_t(i)];
        QString text;
        if (w.shortens(x)) {
            text = QStringLiteral("%1 %2; округлённо %3").arg(unknown(i), w.number(x), w.rounded(x));
        } else {
            text = QStringLiteral("%1 = %2").arg(unknown(i), w.number(x));
            const mpq_class thousandths = x * 1000;
            if (thousandths.get_den() != 1)
                text += QStringLiteral(" ≈ ") + w.rounded(x);
        }
        if (abs(x) > largest)
            text += QStringLiteral(" — за пределами чисел double, поэтому в строке ответа «%1»").arg(kOutOfRange);
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
        if (r.firstInconsistent == 1)
            w.line(QStringLiteral("Уже уравнение 1 не имеет решения (k = 1)"));
        else if (r.firstInconsistent == 2)
            w.line(QStringLiteral("Уравнения 1 и 2 не имеют общего решения, хотя уравнение 1 решения "
                                  "имеет (k = 2)"));
        else
            w.line(QStringLiteral("Уравнения с 1 по %1 не имеют общего решения, а с 1 по %2 имеют (k = %1)")
                       .arg(QString::number(r.firstInconsistent), QString::number(r.firstInconsistent - 1)));
    } else {
        QStringList names;
        for (std::size_t j = 0; j < r.parameterColumns.size(); ++j)
            names << parameter(int(j));
        w.line(QStringLiteral("Общее решение (%1 — любые числа):").arg(names.join(QStringLiteral(", "))));
        for (int i = 0; i < r.order; ++i) {
            const Affine &x = r.general[std::size_t(i)];
            std::vector<std::pair<mpq_class, QString>> terms{{x.constant, QString()}};
            for (std::size_t j = 0; j < x.perParameter.size(); ++j)
                terms.emplace_back(x.perParameter[j], parameter(int(j)));
            w.line(QStringLiteral("%1 = %2").arg(unknown(i), sum(w, terms)));
        }
        w.line(checkLine(r, QStringLiteral("при любых %1 ").arg(names.join(QStringLiteral(", ")))));
    }
    w.line(QStringLiteral("В строке ответа и в журнале: «%1»").arg(kNoUniqueSolution));
}

} // namespace

std::vector<ReportBlock> reportBlocks(const Report &report, const QLocale &locale, Length length)
{
    Writer w(locale, length);
    if (report.order == 0) {
        w.line(QStringLiteral("Решать было нечего: массив выгружен"));
        return std::move(w.blocks);
    }
    writeSystem(w, report);
    writeElimination(w, report);
    if (report.unique) {
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
    for (const ReportBlock &block : reportBlocks(report, locale, Length::Line)) {
        if (block.kind == ReportBlock::Kind::Heading) {
            out += QStringLiteral("<h3>%1</h3>").arg(block.text.toHtmlEscaped());
        } else if (block.kind == ReportBlock::Kind::Column) {
            out += QStringLiteral("<p><b>%1</b></p>").arg(block.text.toHtmlEscaped());
        } else if (block.kind == ReportBlock::Kind::Line) {
            out += QStringLiteral("<p>%1</p>").arg(block.text.toHtmlEscaped());
        } else {
            out += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\">");
            for (const QStringList &row : block.rows) {
                out += QStringLiteral("<tr>");
                for (qsizetype j = 0; j < row.size(); ++j) {
                    if (j + 1 == row.size())
                        out += QStringLiteral("<td>|</td>");
                    out += QStringLiteral("<td align=\"right\" style=\"white-space: nowrap\">%1</td>").arg(row[j].toHtmlEscaped());
                }
                out += QStringLiteral("</tr>");
            }
            out += QStringLiteral("</table>");
        }
    }
    return out;
}

} // namespace ravno
