// SPDX-License-Identifier: GPL-3.0-or-later
// What the parts of the detailed report share while they are written: the
// blocks so far, the last matrix written, and one way of writing a number,
// a sign, a factor and a sum, defined in reportwriter.cpp. Only the report's
// own writers (reporttext.cpp, reportstudy.cpp, methods/) include it.
#pragma once

#include "core/report/reporttext.h"

#include <utility>
#include <vector>

namespace ravno {

class FreeRows;

class Writer
{
public:
    Writer(const QLocale &locale, Length length) : m_locale(locale), m_length(length) {}

    std::vector<ReportBlock> blocks;
    // The system is written as it was typed; from the first step on every
    // value that is not whole is a fraction.
    Notation notation = Notation::Decimal;

    void heading(const QString &text) { blocks.push_back({ReportBlock::Kind::Heading, text, {}}); }
    // A heading numbered after those before it: "3. Ответ".
    void section(const QString &title)
    {
        int number = 1;
        for (const ReportBlock &block : blocks)
            number += block.kind == ReportBlock::Kind::Heading;
        heading(QStringLiteral("%1. %2").arg(number).arg(title));
    }
    void column(const QString &text) { blocks.push_back({ReportBlock::Kind::Column, text, {}}); }
    void line(const QString &text) { blocks.push_back({ReportBlock::Kind::Line, text, {}}); }

    // The matrix after a step that took its pivot row from `pivotRow` to
    // `row`, which becomes `values`.
    void stepMatrix(const ExactRows &m, int row, int pivotRow);
    // A matrix every row of which is written anew, with "|" after `bar`
    // columns (ReportBlock::bar); it becomes `values`.
    void matrix(ExactMatrix m, int bar = -1);
    // The rows the elimination of a method stand at, written with "|" after
    // `bar` columns; `values` is left as it was.
    void matrix(const FreeRows &m, int bar = -1);

    QString number(const mpq_class &value) const { return number(value, notation); }
    QString number(const mpq_class &value, Notation form) const { return exactText(value, m_locale, m_length, form); }
    // Of num/den in whatever terms: reduced only when it is written whole
    // or is not plainly long.
    QString number(const mpz_class &num, const mpz_class &den) const
    {
        return exactText(num, den, m_locale, m_length, notation);
    }
    // "-" in the plain text, "−" on screen and paper.
    QString minus() const { return m_length == Length::Whole ? QStringLiteral("-") : QStringLiteral("−"); }

    // " = 3/7", or " ≈ 1,234·10¹⁵ (16 цифр)" for a shortened value.
    QString equals(const mpq_class &value) const { return equals(value, notation); }
    QString equals(const mpq_class &value, Notation form) const;

    // A factor in a product, a dividend or a divisor: fractions, powers of
    // ten, shortened values and, unless `sign` allows them, negative ones
    // in brackets.
    QString factor(const mpq_class &value, bool sign = false) const { return factor(value, sign, notation); }
    QString factor(const mpq_class &value, bool sign, Notation form) const;
    // A row's multiplier: bracketed as a factor, except a positive fraction.
    QString multiplier(const mpq_class &value) const;

    QString rounded(const mpq_class &value) const;
    // "A^(-1)" in the plain text, "A⁻¹" on screen and paper.
    QString inverseName() const { return m_length == Length::Whole ? QStringLiteral("A^(-1)") : QStringLiteral("A⁻¹"); }
    bool shortens(const mpq_class &value) const { return shortens(value, notation); }
    bool shortens(const mpq_class &value, Notation form) const { return m_length != Length::Whole && isLong(value, form); }

    // The matrix last written, the system first, and x1..xn (when unique),
    // in lowest terms.
    ExactMatrix values;
    std::vector<mpq_class> answers;

private:
    const QLocale &m_locale;
    Length m_length;
    std::size_t m_lastMatrix = std::size_t(-1);
};

QString unknown(int column);
QString parameter(int index);

// "c·name" terms joined by their signs: "2·x1 - x2", "3 - 2·t1"; zero
// terms left out, "0" when nothing is left. `forms`, when given, says how
// each term is written (the system: each value as it was typed).
QString sum(const Writer &w, const std::vector<std::pair<mpq_class, QString>> &terms,
            const std::vector<Notation> &forms = {});

// Section 3 and after of a system without a unique solution: the
// contradiction or the general solution, worked out from the last matrix
// under the title `working` ("Обратный ход") and checked.
void writeStudy(Writer &w, const Report &r, const QString &working);

// The answers x1..xn of `w.answers` under `title`, exact and rounded, and
// their check.
void writeAnswers(Writer &w, const Report &r, const QString &title);

// The Gauss elimination of the system, carried on past a column without a
// pivot, from the system's matrix.
void writeElimination(Writer &w, const Report &r);

// Gauss–Jordan from the system to the answers or the study
// (core/report/methods/gaussjordan.cpp).
void writeGaussJordan(Writer &w, const Report &r);
// One column of Gauss–Jordan on m: the pivot from `pivotRow` to `row`,
// made 1, its column cleared above and below; m written with "|" after `bar`.
void writeGaussJordanColumn(Writer &w, FreeRows &m, int column, int row, int pivotRow, int bar = -1);

// Cramer's rule (core/report/methods/cramer.cpp) and the inverse matrix
// (core/report/methods/inverse.cpp), from the system to the answers, or, for a
// singular matrix, to the Gauss elimination and the study.
void writeCramer(Writer &w, const Report &r);
void writeInverse(Writer &w, const Report &r);

// The last section: det A, and A^(-1) when given.
void writeResults(Writer &w, const mpq_class &determinant, const std::vector<QStringList> *inverse = nullptr);

// "Проверка: оба уравнения выполняются точно", with `condition`
// ("при любом t1 ") after the colon.
QString checkLine(const Report &r, const QString &condition);

} // namespace ravno
