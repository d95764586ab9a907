// SPDX-License-Identifier: GPL-3.0-or-later
// The report by Gauss–Jordan: column by column the pivot, chosen by the
// report's rule, is made 1 and its column cleared above and below,
// to the reduced row echelon form, from which the answers or the general
// solution are read. The kind, the ranks and the check are the report's.
#include "core/report/reportwriter.h"

namespace ravno {

void writeGaussJordanColumn(Writer &w, ExactMatrix &m, int column, int row, int pivotRow, int bar)
{
    const int n = int(m.size());
    w.column(QStringLiteral("Столбец %1").arg(column + 1));
    const mpq_class pivot = m[std::size_t(pivotRow)][std::size_t(column)];
    if (pivotRow != row) {
        std::swap(m[std::size_t(row)], m[std::size_t(pivotRow)]);
        w.line(QStringLiteral("Строки %1 и %2 меняются местами: главный элемент %3")
                   .arg(QString::number(row + 1), QString::number(pivotRow + 1), w.number(pivot)));
    } else {
        w.line(QStringLiteral("Главный элемент %1 в строке %2").arg(w.number(pivot), QString::number(row + 1)));
    }
    auto &pivotLine = m[std::size_t(row)];
    if (pivot != 1) {
        for (mpq_class &value : pivotLine)
            value /= pivot;
        w.line(QStringLiteral("Строка %1 делится на %2").arg(QString::number(row + 1), w.multiplier(pivot)));
    }
    for (int i = 0; i < n; ++i) {
        auto &line = m[std::size_t(i)];
        const mpq_class factor = line[std::size_t(column)];
        if (i == row || factor == 0)
            continue;
        for (std::size_t j = std::size_t(column); j < line.size(); ++j)
            line[j] -= factor * pivotLine[j];
        QString text = QStringLiteral("Из строки %1 вычитается строка %2")
                           .arg(QString::number(i + 1), QString::number(row + 1));
        if (factor != 1)
            text += QStringLiteral(", умноженная на ") + w.multiplier(factor);
        w.line(text);
    }
    w.matrix(m, bar);
}

void writeGaussJordan(Writer &w, const Report &r)
{
    w.section(QStringLiteral("Метод Гаусса — Жордана"));
    const int n = r.order;
    ExactMatrix m = r.system.matrix();
    // Only a consistent system has free unknowns.
    const bool consistent = r.rankAugmented == r.rankCoefficients;
    int row = 0;
    for (int column = 0; column < n; ++column) {
        const int found = pivotRow(m, column, row, r.pivot);
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
        writeStudy(w, r, QStringLiteral("Неизвестные из приведённого ступенчатого вида"));
    }
}

} // namespace ravno
