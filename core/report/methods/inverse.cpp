// SPDX-License-Identifier: GPL-3.0-or-later
// The report by the inverse matrix: [A | E] reduced by Gauss–Jordan to
// [E | A^(-1)], then x = A^(-1)·b. When A is singular there is no inverse
// and the system is studied by Gauss. The report ends with det A and
// A^(-1).
#include "core/report/methods/determinant.h"
#include "core/report/methods/freerows.h"
#include "core/report/reportwriter.h"

namespace ravno {

void writeResults(Writer &w, const mpq_class &determinant, const std::vector<QStringList> *inverse)
{
    w.section(inverse ? QStringLiteral("Определитель и обратная матрица") : QStringLiteral("Определитель"));
    QString text = QStringLiteral("det A") + w.equals(determinant);
    if (determinant == 0)
        text += QStringLiteral(": матрица системы вырождена");
    w.line(text);
    if (inverse) {
        w.line(w.inverseName() + QStringLiteral(" ="));
        w.blocks.push_back({ReportBlock::Kind::Matrix, {}, *inverse, 0});
    }
}

void writeInverse(Writer &w, const Report &r)
{
    w.section(QStringLiteral("Обратная матрица"));
    const int n = r.order;
    FreeRows m(r.system, n, true);
    w.line(QStringLiteral("Матрица [A | E] приводится к виду [E | %1]").arg(w.inverseName()));
    w.matrix(m, n);
    bool negative = false; // an odd number of exchanges
    for (int column = 0; column < n; ++column) {
        const int found = m.pivotRow(column, column, r.pivot);
        if (found < 0) {
            w.line(QStringLiteral("Столбец %1: на диагонали и ниже одни нули: матрица A вырождена, "
                                  "обратной матрицы не существует (det A = 0)")
                       .arg(column + 1));
            writeElimination(w, r);
            writeStudy(w, r, QStringLiteral("Обратный ход"));
            writeResults(w, determinant(r.system, r.pivot).value);
            return;
        }
        negative ^= found != column;
        writeGaussJordanColumn(w, m, column, column, found, n);
    }
    // The last pivot is the determinant of the rows' whole numbers.
    mpq_class det(m.lastPivot(), m.scales());
    det.canonicalize();
    if (negative)
        det = -det;
    // A^(-1) as the last matrix, [E | A^(-1)], has it.
    std::vector<QStringList> inverse;
    for (const QStringList &row : w.blocks.back().rows)
        inverse.push_back(row.mid(n));
    w.line(QStringLiteral("Слева единичная матрица: справа обратная матрица %1").arg(w.inverseName()));

    // x = A^(-1)·b, the first row of the product written out; the product
    // is the solve's answers, which the report holds already.
    w.section(QStringLiteral("Решение x = %1·b").arg(w.inverseName()));
    QStringList terms;
    for (int j = 0; j < n; ++j)
        terms << w.factor(m.value(0, n + j)) + u'·' + w.factor(r.system.value(j, n));
    for (int i = 0; i < n; ++i)
        w.line(unknown(i) + (i == 0 ? QStringLiteral(" = ") + terms.join(QStringLiteral(" + ")) : QString())
               + w.equals(w.answers[std::size_t(i)]));
    writeAnswers(w, r, QStringLiteral("Ответ"));
    writeResults(w, det, &inverse);
}

} // namespace ravno
