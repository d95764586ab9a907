// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report/reportwriter.h"

#include "core/exact/exactnumber.h"

namespace ravno {

// The rows above stand as the matrix before the step left them, the pivot
// row as the row it came from: only the rows below are new, each value
// reduced once.
void Writer::stepMatrix(const ExactRows &m, int row, int pivotRow)
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

void Writer::matrix(ExactMatrix m, int bar)
{
    ReportBlock block{ReportBlock::Kind::Matrix, {}, {}, bar};
    for (const auto &line : m) {
        QStringList &cells = block.rows.emplace_back();
        for (const mpq_class &value : line)
            cells << number(value);
    }
    values = std::move(m);
    m_lastMatrix = std::size_t(-1);
    blocks.push_back(std::move(block));
}

QString Writer::equals(const mpq_class &value, Notation form) const
{
    const QString text = number(value, form);
    return (text.startsWith(u'≈') ? QStringLiteral(" ") : QStringLiteral(" = ")) + text;
}

QString Writer::factor(const mpq_class &value, bool sign, Notation form) const
{
    const QString text = number(value, form);
    const bool bracket = (value < 0 && !sign) || text.contains(u'/') || text.contains(u'·') || text.startsWith(u'≈');
    return bracket ? u'(' + text + u')' : text;
}

QString Writer::multiplier(const mpq_class &value) const
{
    const QString text = number(value);
    const bool bracket = value < 0 || text.contains(u'·') || text.startsWith(u'≈');
    return bracket ? u'(' + text + u')' : text;
}

QString Writer::rounded(const mpq_class &value) const
{
    QString text = roundedText(value, m_locale);
    if (text.startsWith(u'-'))
        text.replace(0, 1, minus());
    return text;
}

QString unknown(int column)
{
    return QStringLiteral("x%1").arg(column + 1);
}

QString parameter(int index)
{
    return QStringLiteral("t%1").arg(index + 1);
}

QString sum(const Writer &w, const std::vector<std::pair<mpq_class, QString>> &terms,
            const std::vector<Notation> &forms)
{
    QString out;
    for (std::size_t k = 0; k < terms.size(); ++k) {
        const auto &[coefficient, name] = terms[k];
        const Notation form = forms.empty() ? w.notation : forms[k];
        if (coefficient == 0)
            continue;
        const bool negative = coefficient < 0;
        if (out.isEmpty())
            out = negative ? w.minus() : QString();
        else
            out += u' ' + (negative ? w.minus() : QStringLiteral("+")) + u' ';
        const mpq_class magnitude = abs(coefficient);
        if (name.isEmpty())
            out += w.shortens(magnitude, form) ? w.factor(magnitude, false, form) : w.number(magnitude, form);
        else if (magnitude == 1)
            out += name;
        else
            out += w.factor(magnitude, false, form) + u'·' + name;
    }
    return out.isEmpty() ? QStringLiteral("0") : out;
}

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

} // namespace ravno
