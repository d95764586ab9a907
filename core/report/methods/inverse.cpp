// SPDX-License-Identifier: GPL-3.0-or-later
// The report by the inverse matrix: [A | E] reduced by Gauss–Jordan to
// [E | A^(-1)], then x = A^(-1)·b. When A is singular there is no inverse
// and the system is studied by Gauss. The report ends with det A and
// A^(-1).
#include "core/report/methods/determinant.h"
#include "core/report/methods/freerows.h"
#include "core/report/reportwriter.h"

namespace ravno {

void writeResults(Writer &w, const mpq_class &determinant, const ExactMatrix *inverse)
{
    w.section(inverse ? QStringLiteral("Определитель и обратная матрица") : QStringLiteral("Определитель"));
    QString text = QStringLiteral("det A") + w.equals(determinant);
    if (determinant == 0)
        text += QStringLiteral(": матрица системы вырождена");
    w.line(text);
    if (inverse) {
        w.line(w.inverseName() + QStringLiteral(" ="));
        w.matrix(*inverse, 0);
    }
}

void writeInverse(Writer &w, const Report &r)
{
    w.section(QStringLiteral("Обратная матрица"));
    const int n = r.order;
    const ExactMatrix system = r.system.matrix();
    const mpq_class det = determinant(r.system, r.pivot).value;
    FreeRows m(r.system, n, true);
    w.line(QStringLiteral("Матрица [A | E] приводится к виду [E | %1]").arg(w.inverseName()));
    w.matrix(m.matrix(), n);
    for (int column = 0; column < n; ++column) {
        const int found = m.pivotRow(column, column, r.pivot);
        if (found < 0) {
            w.line(QStringLiteral("Столбец %1: на диагонали и ниже одни нули: матрица A вырождена, "
                                  "обратной матрицы не существует (det A = 0)")
                       .arg(column + 1));
            writeElimination(w, r);
            writeStudy(w, r, QStringLiteral("Обратный ход"));
            writeResults(w, det);
            return;
        }
        writeGaussJordanColumn(w, m, column, column, found, n);
    }
    // The last matrix written, [E | A^(-1)].
    ExactMatrix inverse(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        inverse[std::size_t(i)].assign(w.values[std::size_t(i)].begin() + n, w.values[std::size_t(i)].end());
    w.line(QStringLiteral("Слева единичная матрица: справа обратная матрица %1").arg(w.inverseName()));

    // x = A^(-1)·b, the first row of the product written out.
    w.section(QStringLiteral("Решение x = %1·b").arg(w.inverseName()));
    w.answers.clear();
    for (int i = 0; i < n; ++i) {
        mpq_class x = 0;
        QStringList terms;
        for (int j = 0; j < n; ++j) {
            const mpq_class &b = system[std::size_t(j)][std::size_t(n)];
            x += inverse[std::size_t(i)][std::size_t(j)] * b;
            if (i == 0)
                terms << w.factor(inverse[std::size_t(i)][std::size_t(j)]) + u'·' + w.factor(b);
        }
        w.answers.push_back(x);
        w.line(unknown(i) + (i == 0 ? QStringLiteral(" = ") + terms.join(QStringLiteral(" + ")) : QString())
               + w.equals(x));
    }
    writeAnswers(w, r, QStringLiteral("Ответ"));
    writeResults(w, det, &inverse);
}

} // namespace ravno
