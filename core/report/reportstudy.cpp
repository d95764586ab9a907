// SPDX-License-Identifier: GPL-3.0-or-later
// The report's third part for a system without a unique solution: the row
// that contradicts, or the back substitution in the parameters, with the
// ranks and what they mean.
#include "core/report/reportwriter.h"

#include "core/exact/solver.h"

#include <array>

namespace ravno {
namespace {

// "два" .. "десять": how many of the first equations.
QString countWord(int count)
{
    static const std::array<const char *, 11> words{"",     "одно",   "два",    "три",    "четыре", "пять",
                                                    "шесть", "семь", "восемь", "девять", "десять"};
    return count >= 0 && count < int(words.size()) ? QString::fromUtf8(words[std::size_t(count)])
                                                   : QString::number(count);
}

// The equations counted as typed, before any exchange of rows: the first k
// have no common solution, the first k - 1 have one.
QString firstEquationsLine(int k)
{
    const QString numbering = QStringLiteral(" (в исходной нумерации) ");
    if (k == 1)
        return QStringLiteral("Уже первое уравнение") + numbering + QStringLiteral("не имеет решений");
    const QString equations = k <= 4 ? QStringLiteral("уравнения") : QStringLiteral("уравнений");
    const QString before = k == 2 ? QStringLiteral("первое уравнение имеет решения")
                                  : QStringLiteral("первые %1 совместны").arg(countWord(k - 1));
    return QStringLiteral("Уже первые %1 %2%3несовместны, а %4").arg(countWord(k), equations, numbering, before);
}

// "Строка 4: 0·x1 + 0·x2 + 0·x3 + 0·x4 = −2 — противоречие", the row as the
// last matrix shows it.
void writeContradiction(Writer &w, const Report &r)
{
    const int n = r.order;
    for (int i = 0; i < n; ++i) {
        const auto &row = w.values[std::size_t(i)];
        bool zeros = row[std::size_t(n)] != 0;
        for (int c = 0; zeros && c < n; ++c)
            zeros = row[std::size_t(c)] == 0;
        if (!zeros)
            continue;
        QStringList terms;
        for (int c = 0; c < n; ++c)
            terms << QStringLiteral("0·") + unknown(c);
        w.line(QStringLiteral("Строка %1: %2 = %3 — противоречие")
                   .arg(QString::number(i + 1), terms.join(QStringLiteral(" + ")), w.number(row[std::size_t(n)])));
        return;
    }
}

std::vector<std::pair<mpq_class, QString>> terms(const Affine &x, const mpq_class &scale)
{
    std::vector<std::pair<mpq_class, QString>> out{{x.constant * scale, QString()}};
    for (std::size_t j = 0; j < x.perParameter.size(); ++j)
        out.emplace_back(x.perParameter[j] * scale, parameter(int(j)));
    return out;
}

// Bottom up, as for a unique solution: a free unknown takes its parameter,
// a pivot's unknown comes from its row, "из строки 2: x2 = (−3 + 2·t1) / (−1)
// = 3 − 2·t1".
void writeParametricBackSubstitution(Writer &w, const Report &r, const QString &working)
{
    const int n = r.order;
    // The row of each pivot column in the echelon form, -1 for a free one.
    std::vector<int> rowOf(std::size_t(n), -1);
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < n; ++c)
            if (w.values[std::size_t(i)][std::size_t(c)] != 0) {
                rowOf[std::size_t(c)] = i;
                break;
            }
    w.column(working);
    int parameters = int(r.parameterColumns.size());
    for (int c = n - 1; c >= 0; --c) {
        const Affine &x = r.general[std::size_t(c)];
        const QString value = sum(w, terms(x, 1));
        const int row = rowOf[std::size_t(c)];
        if (row < 0) {
            w.line(QStringLiteral("%1 = %2 (свободное неизвестное, %2 — любое число)")
                       .arg(unknown(c), parameter(--parameters)));
            continue;
        }
        const mpq_class &pivot = w.values[std::size_t(row)][std::size_t(c)];
        QString text = QStringLiteral("Из строки %1: %2 = ").arg(QString::number(row + 1), unknown(c));
        if (pivot != 1) {
            QString top = sum(w, terms(x, pivot));
            if (top.contains(u' ') || top.contains(u'/') || top.contains(u'·') || top.startsWith(w.minus()))
                top = u'(' + top + u')';
            text += QStringLiteral("%1 / %2 = ").arg(top, w.factor(pivot));
        }
        w.line(text + value);
    }
}

} // namespace

void writeStudy(Writer &w, const Report &r, const QString &working)
{
    w.section(QStringLiteral("Исследование системы"));
    const int n = r.order;
    const QString theorem = QStringLiteral(" (теорема Кронекера — Капелли)");
    if (r.rankAugmented != r.rankCoefficients) {
        writeContradiction(w, r);
        w.line(QStringLiteral("Ранг матрицы системы %1 меньше ранга расширенной матрицы %2, "
                              "поэтому система несовместна")
                   .arg(QString::number(r.rankCoefficients), QString::number(r.rankAugmented))
               + theorem);
        w.line(firstEquationsLine(r.firstInconsistent));
    } else {
        w.line(QStringLiteral("Ранг матрицы системы и ранг расширенной матрицы равны %1 и меньше числа "
                              "неизвестных %2, поэтому система совместна и имеет бесконечно много решений")
                   .arg(QString::number(r.rankCoefficients), QString::number(n))
               + theorem);
        writeParametricBackSubstitution(w, r, working);
        QStringList names;
        for (std::size_t j = 0; j < r.parameterColumns.size(); ++j)
            names << parameter(int(j));
        w.column(QStringLiteral("Общее решение (%1 — %2)")
                     .arg(names.join(QStringLiteral(", ")),
                          names.size() == 1 ? QStringLiteral("любое число") : QStringLiteral("любые числа")));
        for (int i = 0; i < n; ++i)
            w.line(QStringLiteral("%1 = %2").arg(unknown(i), sum(w, terms(r.general[std::size_t(i)], 1))));
        w.line(checkLine(r, (names.size() == 1 ? QStringLiteral("при любом ") : QStringLiteral("при любых "))
                                + names.join(QStringLiteral(", ")) + u' '));
    }
    w.line(QStringLiteral("В строке ответа и в журнале: «%1»").arg(kNoUniqueSolution));
}

} // namespace ravno
