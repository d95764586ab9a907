// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/check/checktext.h"

#include <algorithm>

namespace ravno {
namespace {

// A factor as the student types it, a fraction and not a decimal; fractions
// and negative values in brackets.
QString factorText(const mpq_class &value, const QLocale &locale)
{
    const QString text = isLong(value) ? exactText(value, locale, Length::Short)
                                       : QString::fromStdString(value.get_str());
    return value < 0 || text.contains(u'/') || text.startsWith(u'≈') ? u'(' + text + u')' : text;
}

// A value in words, a negative one in brackets: «умноженная на (-1/2)».
QString wordFactor(const mpq_class &value, const QLocale &locale)
{
    const QString text = isLong(value) ? exactText(value, locale, Length::Short)
                                       : QString::fromStdString(value.get_str());
    return value < 0 ? u'(' + text + u')' : text;
}

// A value as the student would type it: a fraction, never a decimal.
QString typedText(const mpq_class &value, const QLocale &locale)
{
    return isLong(value) ? exactText(value, locale, Length::Short) : QString::fromStdString(value.get_str());
}

QString rowName(int row)
{
    return QStringLiteral("R%1").arg(row + 1);
}

// "(2/3)·R1", "R1", "3·R1", with the sign left to the caller.
QString termText(const mpq_class &factor, int row, const QLocale &locale)
{
    return factor == 1 ? rowName(row) : factorText(factor, locale) + u'·' + rowName(row);
}

} // namespace

QString operationFormula(const RowOperation &op, const QLocale &locale)
{
    switch (op.kind) {
    case RowOperation::Kind::Exchange:
        return QStringLiteral("%1 ↔ %2").arg(rowName(op.row), rowName(op.other));
    case RowOperation::Kind::Scale:
        if (op.divides)
            return QStringLiteral("%1 = %1 / %2").arg(rowName(op.row), factorText(1 / op.factor, locale));
        // The factor written even when it is 1: "R3 = R3" would state no step.
        return QStringLiteral("%1 = %2·%1").arg(rowName(op.row), factorText(op.factor, locale));
    case RowOperation::Kind::Combine:
        break;
    }
    const QString first = op.factor == -1 ? u'-' + rowName(op.row) : termText(op.factor, op.row, locale);
    const mpq_class size = abs(op.multiple);
    return QStringLiteral("%1 = %2 %3 %4")
        .arg(rowName(op.row), first, op.multiple < 0 ? QStringLiteral("-") : QStringLiteral("+"),
             termText(size, op.other, locale));
}

QString operationWords(const RowOperation &op, const QLocale &locale)
{
    const int row = op.row + 1;
    const int other = op.other + 1;
    switch (op.kind) {
    case RowOperation::Kind::Exchange:
        return QStringLiteral("строки %1 и %2 меняются местами").arg(std::min(row, other)).arg(std::max(row, other));
    case RowOperation::Kind::Scale:
        if (op.divides)
            return QStringLiteral("строка %1 делится на %2").arg(row).arg(wordFactor(1 / op.factor, locale));
        return QStringLiteral("строка %1 умножается на %2").arg(row).arg(wordFactor(op.factor, locale));
    case RowOperation::Kind::Combine:
        break;
    }
    const bool subtracts = op.multiple < 0;
    const mpq_class size = abs(op.multiple);
    const QString times = size == 1 ? QString() : QStringLiteral(", умноженная на ") + wordFactor(size, locale);
    if (op.factor == 1)
        return (subtracts ? QStringLiteral("из строки %1 вычитается строка %2%3")
                          : QStringLiteral("к строке %1 прибавляется строка %2%3"))
            .arg(QString::number(row), QString::number(other), times);
    return (subtracts ? QStringLiteral("строка %1 умножается на %2, и из нее вычитается строка %3%4")
                      : QStringLiteral("строка %1 умножается на %2, и к ней прибавляется строка %3%4"))
        .arg(QString::number(row), wordFactor(op.factor, locale), QString::number(other), times);
}

QString shapeVerdict(MatrixShape shape)
{
    switch (shape) {
    case MatrixShape::Echelon:
        return QStringLiteral("Матрица имеет ступенчатый вид.");
    case MatrixShape::Reduced:
        return QStringLiteral("Матрица имеет приведенный ступенчатый вид.");
    case MatrixShape::Other:
        break;
    }
    return {};
}

QString rowVerdictText(const RowVerdict &verdict, int row)
{
    if (verdict.unchanged)
        return QStringLiteral("строка %1 осталась такой, как была").arg(row + 1);
    const QLocale c = QLocale::c();
    return QStringLiteral("строка %1, столбец %2: должно быть %3, а не %4")
        .arg(QString::number(row + 1), QString::number(verdict.column + 1), typedText(verdict.expected, c),
             typedText(verdict.typed, c));
}

QString answerVerdictText(const AnswerVerdict &v)
{
    using Kind = AnswerVerdict::Kind;
    switch (v.kind) {
    case Kind::Right:
        if (v.noSolutions)
            return QStringLiteral("Ответ верен: система несовместна, решений нет.");
        return v.unique ? QStringLiteral("Ответ верен.")
                        : QStringLiteral("Ответ верен: формулы описывают то же множество решений.");
    case Kind::WrongUnknowns: {
        QStringList names;
        for (int i : v.wrong)
            names << QStringLiteral("x%1").arg(i + 1);
        return names.size() == 1 ? QStringLiteral("Неверно найдено %1, остальные неизвестные верны.").arg(names[0])
                                 : QStringLiteral("Неверно найдены %1, остальные неизвестные верны.")
                                       .arg(names.join(QStringLiteral(", ")));
    }
    case Kind::NotASolution:
        return QStringLiteral("Ответ неверен: не выполняется уравнение %1 (при некоторых значениях параметров).")
            .arg(v.equation + 1);
    case Kind::WrongParameters:
        if (v.unique)
            return QStringLiteral("Ответ неверен: система имеет единственное решение, параметров в нем нет.");
        return QStringLiteral("Ответ неверен: эти значения — решения, но свободных параметров должно быть %1, "
                              "каждый со своим направлением.")
            .arg(v.parameters);
    case Kind::Inconsistent:
        return QStringLiteral("Ответ неверен. Система несовместна. "
                              "Ранг матрицы коэффициентов: %1, ранг расширенной матрицы: %2.")
            .arg(QString::number(v.rankCoefficients), QString::number(v.rankAugmented));
    case Kind::HasSolutions:
        return v.unique ? QStringLiteral("Ответ неверен: система имеет единственное решение.")
                        : QStringLiteral("Ответ неверен: решений бесконечно много.");
    }
    return {};
}

QString noteText(const CheckNote &note)
{
    if (note.answer)
        return QStringLiteral("Ответ «%1»: %2").arg(note.line.trimmed(), answerVerdictText(note.answerVerdict));
    return QStringLiteral("Строка «%1»: %2. Матрица не изменилась.")
        .arg(note.line.trimmed(), rowVerdictText(note.rowVerdict, note.row));
}

std::vector<QStringList> matrixCells(const ExactMatrix &matrix, const QLocale &locale, Length length)
{
    std::vector<QStringList> cells;
    for (const auto &row : matrix) {
        QStringList &line = cells.emplace_back();
        for (const mpq_class &value : row)
            line << exactText(value, locale, length);
    }
    return cells;
}

std::vector<ReportBlock> checkBlocks(const CheckSession &session, const QLocale &locale, Length length)
{
    std::vector<ReportBlock> blocks;
    const auto matrix = [&](const ExactMatrix &m) {
        blocks.push_back({ReportBlock::Kind::Matrix, {}, matrixCells(m, locale, length)});
        const QString verdict = shapeVerdict(matrixShape(m));
        if (!verdict.isEmpty())
            blocks.push_back({ReportBlock::Kind::Line, verdict, {}});
    };
    blocks.push_back({ReportBlock::Kind::Heading, QStringLiteral("Система"), {}});
    matrix(session.system());
    blocks.push_back({ReportBlock::Kind::Heading, QStringLiteral("Ваши шаги"), {}});
    const std::vector<CheckNote> notes = session.notes();
    const auto notesAfter = [&](std::size_t done) {
        for (const CheckNote &note : notes)
            if (note.after == done)
                blocks.push_back({ReportBlock::Kind::Line, noteText(note), {}});
    };
    if (session.doneCount() == 0)
        blocks.push_back({ReportBlock::Kind::Line, QStringLiteral("Шагов пока нет."), {}});
    notesAfter(0);
    for (std::size_t k = 0; k < session.doneCount(); ++k) {
        const CheckStep &step = session.steps()[k];
        blocks.push_back({ReportBlock::Kind::Column,
                          QStringLiteral("Шаг %1: %2").arg(k + 1).arg(operationFormula(step.operation, locale)),
                          {}});
        QString words = operationWords(step.operation, locale);
        words[0] = words[0].toUpper();
        blocks.push_back({ReportBlock::Kind::Line, words + u'.', {}});
        matrix(step.after);
        notesAfter(k + 1);
    }
    return blocks;
}

QString checkPlainText(const CheckSession &session, const QLocale &locale)
{
    QString out;
    for (const ReportBlock &block : checkBlocks(session, locale, Length::Whole)) {
        if (block.kind == ReportBlock::Kind::Heading)
            out += (out.isEmpty() ? QString() : QStringLiteral("\n")) + block.text + u'\n';
        else if (block.kind != ReportBlock::Kind::Matrix)
            out += block.text + u'\n';
        else
            for (const QString &line : matrixLines(block))
                out += u' ' + line + u'\n';
    }
    return out;
}

QString checkHtml(const CheckSession &session, const QLocale &locale)
{
    QString out;
    for (const ReportBlock &block : checkBlocks(session, locale, Length::Short)) {
        if (block.kind == ReportBlock::Kind::Heading)
            out += QStringLiteral("<h3>%1</h3>").arg(block.text.toHtmlEscaped());
        else if (block.kind == ReportBlock::Kind::Column)
            out += QStringLiteral("<p><b>%1</b></p>").arg(block.text.toHtmlEscaped());
        else if (block.kind == ReportBlock::Kind::Line)
            out += QStringLiteral("<p>%1</p>").arg(block.text.toHtmlEscaped());
        else
            // Preformatted, so that the matrix reads one row a line.
            out += QStringLiteral("<pre>%1</pre>").arg(matrixLines(block).join(u'\n').toHtmlEscaped());
    }
    return out;
}

QString currentAnnouncement(const CheckSession &session, const QLocale &locale)
{
    const std::size_t done = session.doneCount();
    QString out = done == 0 ? QStringLiteral("Система")
                            : QStringLiteral("Шаг %1: %2")
                                  .arg(done)
                                  .arg(operationWords(session.steps()[done - 1].operation, locale));
    out += QStringLiteral(". Матрица:\n")
           + matrixLines({ReportBlock::Kind::Matrix, {}, matrixCells(session.current(), locale, Length::Short)})
                 .join(u'\n');
    const QString verdict = shapeVerdict(matrixShape(session.current()));
    return verdict.isEmpty() ? out : out + u'\n' + verdict;
}

} // namespace ravno
