// SPDX-License-Identifier: GPL-3.0-or-later
// The report by Cramer's rule: Δ, the determinant of the coefficients, and
// each Δi, that of the matrix with column i replaced by the right-hand
// side, each shown and worked out; then xi = Δi / Δ. Orders 2 and 3 by the
// formula written out, larger ones by elimination to triangular form. When
// Δ = 0 the rule does not apply and the system is studied by Gauss.
#include "core/report/methods/determinant.h"
#include "core/report/reportwriter.h"

namespace ravno {
namespace {

// "2·3", "(−1)·(1/2)·4": the product of the entries (row, column) of a.
QString product(const Writer &w, const ExactMatrix &a, std::initializer_list<std::pair<int, int>> entries)
{
    QStringList factors;
    for (const auto &[i, j] : entries)
        factors << w.factor(a[std::size_t(i)][std::size_t(j)]);
    return factors.join(u'·');
}

// The formula for order 2 or 3: "Δ = 2·3 − 1·1 = 5".
mpq_class writeFormula(Writer &w, const ExactMatrix &a, const QString &name)
{
    const auto at = [&a](int i, int j) -> const mpq_class & { return a[std::size_t(i)][std::size_t(j)]; };
    const QString minus = u' ' + w.minus() + u' ';
    mpq_class value;
    QString text;
    if (a.size() == 2) {
        value = at(0, 0) * at(1, 1) - at(0, 1) * at(1, 0);
        text = product(w, a, {{0, 0}, {1, 1}}) + minus + product(w, a, {{0, 1}, {1, 0}});
    } else {
        // The rule of triangles: three products added, three taken away.
        value = at(0, 0) * at(1, 1) * at(2, 2) + at(0, 1) * at(1, 2) * at(2, 0) + at(0, 2) * at(1, 0) * at(2, 1)
                - at(0, 2) * at(1, 1) * at(2, 0) - at(0, 0) * at(1, 2) * at(2, 1) - at(0, 1) * at(1, 0) * at(2, 2);
        text = product(w, a, {{0, 0}, {1, 1}, {2, 2}}) + QStringLiteral(" + ") + product(w, a, {{0, 1}, {1, 2}, {2, 0}})
               + QStringLiteral(" + ") + product(w, a, {{0, 2}, {1, 0}, {2, 1}}) + minus
               + product(w, a, {{0, 2}, {1, 1}, {2, 0}}) + minus + product(w, a, {{0, 0}, {1, 2}, {2, 1}}) + minus
               + product(w, a, {{0, 1}, {1, 0}, {2, 2}});
    }
    const Notation typed = w.notation;
    w.notation = Notation::Fraction;
    w.line(name + QStringLiteral(" = ") + text + w.equals(value));
    w.notation = typed;
    return value;
}

// Larger orders: one line a column, then the product of the pivots.
mpq_class writeTriangular(Writer &w, const Determinant &d, const QString &name)
{
    QStringList pivots;
    for (std::size_t column = 0; column < d.columns.size(); ++column) {
        const Determinant::Column &c = d.columns[column];
        QString text = QStringLiteral("столбец %1: ").arg(column + 1);
        if (c.pivotRow < 0) {
            w.line(text + QStringLiteral("на диагонали и ниже одни нули, поэтому %1 = 0").arg(name));
            return 0;
        }
        const QString pivot = w.number(c.numerator, c.denominator);
        text += QStringLiteral("главный элемент ") + pivot;
        if (c.pivotRow != int(column))
            text += QStringLiteral(", строки %1 и %2 меняются местами (знак меняется)")
                        .arg(QString::number(column + 1), QString::number(c.pivotRow + 1));
        w.line(text);
        // Bracketed as Writer::multiplier() brackets it.
        const bool negative = sgn(c.numerator) * sgn(c.denominator) < 0;
        const bool bracket = negative || pivot.contains(u'·') || pivot.startsWith(u'≈');
        pivots << (bracket ? u'(' + pivot + u')' : pivot);
    }
    QString text = pivots.join(QStringLiteral(" · "));
    if (d.negative)
        text = w.minus() + u'(' + text + u')';
    w.line(name + QStringLiteral(" = ") + text + w.equals(d.value));
    return d.value;
}

// The matrix holds the system's own values: they are written as typed, as
// are the factors of the formula; what is worked out is in fractions.
mpq_class writeDeterminant(Writer &w, const ExactMatrix &a, const QString &name, const Determinant &d)
{
    w.notation = Notation::Decimal;
    w.matrix(a, 0);
    if (a.size() != 2 && a.size() != 3) {
        w.notation = Notation::Fraction;
        return writeTriangular(w, d, name);
    }
    const mpq_class value = writeFormula(w, a, name);
    w.notation = Notation::Fraction;
    return value;
}

} // namespace

void writeCramer(Writer &w, const Report &r)
{
    w.section(QStringLiteral("Правило Крамера"));
    const int n = r.order;
    const ExactMatrix system = r.system.matrix();
    ExactMatrix a = system;
    for (auto &line : a)
        line.pop_back();
    // Worked out by elimination for the larger orders.
    const std::vector<Determinant> worked = n > 3 ? cramerDeterminants(r.system, r.pivot)
                                                  : std::vector<Determinant>(std::size_t(n + 1));
    w.column(QStringLiteral("Определитель матрицы системы Δ"));
    const mpq_class delta = writeDeterminant(w, a, QStringLiteral("Δ"), worked.front());
    if (delta == 0) {
        w.line(QStringLiteral("Δ = 0: правило Крамера неприменимо, система исследуется методом Гаусса"));
        writeElimination(w, r);
        writeStudy(w, r, QStringLiteral("Обратный ход"));
        return;
    }
    std::vector<mpq_class> deltas;
    for (int i = 0; i < n; ++i) {
        ExactMatrix replaced = a;
        for (int row = 0; row < n; ++row)
            replaced[std::size_t(row)][std::size_t(i)] = system[std::size_t(row)][std::size_t(n)];
        w.column(QStringLiteral("Δ%1: столбец %1 заменён столбцом свободных членов").arg(i + 1));
        deltas.push_back(
            writeDeterminant(w, replaced, QStringLiteral("Δ%1").arg(i + 1), worked[std::size_t(i + 1)]));
    }
    // Each Δi / Δ is the solve's answer, which the report holds already.
    w.section(QStringLiteral("Формулы Крамера"));
    for (int i = 0; i < n; ++i)
        w.line(QStringLiteral("%1 = Δ%2 / Δ = %3 / %4").arg(unknown(i), QString::number(i + 1),
                                                           w.factor(deltas[std::size_t(i)], true), w.factor(delta))
               + w.equals(w.answers[std::size_t(i)]));
    writeAnswers(w, r, QStringLiteral("Ответ"));
}

} // namespace ravno
