// SPDX-License-Identifier: GPL-3.0-or-later
// The report by Gauss–Jordan: column by column the pivot, chosen by the
// report's rule, is made 1 and its column cleared above and below,
// to the reduced row echelon form, from which the answers or the general
// solution are read. The kind, the ranks and the check are the report's.
#include "core/report/methods/freerows.h"
#include "core/report/reportwriter.h"

namespace ravno {

void writeGaussJordanColumn(Writer &w, FreeRows &m, int column, int row, int pivotRow, int bar)
{
    const int n = m.rows();
    w.column(QStringLiteral("Столбец %1").arg(column + 1));
    const mpq_class pivot = m.value(pivotRow, column);
    if (pivotRow != row) {
        m.exchange(row, pivotRow);
        w.line(QStringLiteral("Строки %1 и %2 меняются местами: главный элемент %3")
                   .arg(QString::number(row + 1), QString::number(pivotRow + 1), w.number(pivot)));
    } else {
        w.line(QStringLiteral("Главный элемент %1 в строке %2").arg(w.number(pivot), QString::number(row + 1)));
    }
    if (pivot != 1)
        w.line(QStringLiteral("Строка %1 делится на %2").arg(QString::number(row + 1), w.multiplier(pivot)));
    // What each row takes of the pivot row once that is divided: the row's
    // own value in the column.
    for (int i = 0; i < n; ++i) {
        if (i == row || m.sign(i, column) == 0)
            continue;
        const mpq_class factor = m.value(i, column);
        QString text = QStringLiteral("Из строки %1 вычитается строка %2")
                           .arg(QString::number(i + 1), QString::number(row + 1));
        if (factor != 1)
            text += QStringLiteral(", умноженная на ") + w.multiplier(factor);
        w.line(text);
    }
    m.clearAround(row, column);
    w.matrix(m, bar);
}

void writeGaussJordan(Writer &w, const Report &r)
{
    w.section(QStringLiteral("Метод Гаусса — Жордана"));
    const int n = r.order;
    FreeRows m(r.system, n + 1);
    // Only a consistent system has free unknowns.
    const bool consistent = r.rankAugmented == r.rankCoefficients;
    int row = 0;
    for (int column = 0; column < n; ++column) {
        const int found = m.pivotRow(column, row, r.pivot);
        if (found < 0) {
            QString text = QStringLiteral("Столбец %1: на диагонали и ниже одни нули").arg(column + 1);
            if (consistent)
                text += QStringLiteral(", %1 — свободное неизвестное").arg(unknown(column));
            w.line(text);
            continue;
        }
        writeGaussJordanColumn(w, m, column, row++, found);
    }
    if (r.unique) {
        w.line(QStringLiteral("Слева единичная матрица: ответ стоит в столбце свободных членов"));
        writeAnswers(w, r, QStringLiteral("Ответ"));
    } else {
        w.values = m.matrix(); // the reduced form, in lowest terms
        writeStudy(w, r, QStringLiteral("Неизвестные из приведённого ступенчатого вида"));
    }
}

} // namespace ravno
