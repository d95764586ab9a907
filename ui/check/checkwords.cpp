// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/check/checkwords.h"

#include "core/text/exacttext.h"

namespace ravno {
namespace {

// "понятно «R2 - », а дальше непонятно: «;»", or what there is of it.
QString stoppedAt(QStringView line, qsizetype at)
{
    const QString read = line.left(at).trimmed().toString();
    const QString rest = line.mid(at).trimmed().toString();
    if (rest.isEmpty())
        return QStringLiteral("после «%1» строка кончилась раньше времени").arg(read);
    if (read.isEmpty())
        return QStringLiteral("непонятно уже начало, «%1»").arg(rest);
    return QStringLiteral("понятно «%1», а дальше непонятно: «%2»").arg(read, rest);
}

QString operationRefusal(const ParsedOperation &parsed, QStringView line, int order)
{
    const QString read = line.left(parsed.at).trimmed().toString();
    switch (parsed.refusal) {
    case OperationRefusal::None:
        return {};
    case OperationRefusal::NotAnOperation:
        if (line.trimmed().isEmpty())
            return QStringLiteral("Напишите операцию над строками, например: R2 - 1/2 R1.");
        return QStringLiteral("Это не операция над строками: %1.").arg(stoppedAt(line, parsed.at));
    case OperationRefusal::RowOutOfRange:
        return QStringLiteral("Строки %1 нет: в системе строки с 1 по %2.")
            .arg(QString::number(parsed.typedRow), QString::number(order));
    case OperationRefusal::ZeroDenominator:
        return QStringLiteral("На ноль делить нельзя: после «%1» стоит знаменатель 0.").arg(read);
    case OperationRefusal::ZeroFactor:
        return QStringLiteral("Строку нельзя умножать на 0: уравнение бы пропало, а система стала бы другой.");
    case OperationRefusal::RowAddedToItself:
        return QStringLiteral("К строке прибавляют кратное другой строки, а не ее самой. "
                              "Чтобы умножить строку на число, напишите, например, R2 * 3.");
    case OperationRefusal::ExchangeWithItself:
        return QStringLiteral("Местами меняют две разные строки.");
    }
    return {};
}

QString rowRefusal(const TypedRow &row, QStringView line, int order)
{
    using F = TypedRow::Failure;
    switch (row.failure) {
    case F::None:
    case F::NoRow:
        return {};
    case F::RowOutOfRange:
        return QStringLiteral("Строки %1 нет: в системе строки с 1 по %2.")
            .arg(QString::number(row.typedRow), QString::number(order));
    case F::ZeroDenominator:
        return QStringLiteral("На ноль делить нельзя: в строке знаменатель 0.");
    case F::Unreadable:
        return QStringLiteral("Строка не читается: %1.").arg(stoppedAt(line, row.at));
    case F::WrongCount:
        return QStringLiteral("В строке должно быть %1, а набрано %2.")
            .arg(countWithWord(order + 1, "число", "числа", "чисел"), QString::number(row.count));
    }
    return {};
}

QString answerRefusal(const StudentAnswer &answer, QStringView line, int order)
{
    using F = StudentAnswer::Failure;
    switch (answer.failure) {
    case F::None:
    case F::NoAnswer:
        return {};
    case F::Unreadable:
        return QStringLiteral("Ответ не читается: %1.").arg(stoppedAt(line, answer.at));
    case F::ZeroDenominator:
        return QStringLiteral("На ноль делить нельзя: в ответе знаменатель 0.");
    case F::UnknownOutOfRange:
        return QStringLiteral("Неизвестного x%1 нет: в системе неизвестные с x1 по x%2.")
            .arg(QString::number(answer.unknown), QString::number(order));
    case F::Twice:
        return QStringLiteral("Неизвестное x%1 задано дважды.").arg(answer.unknown + 1);
    case F::Missing:
        return QStringLiteral("В ответе нет x%1.").arg(answer.unknown + 1);
    }
    return {};
}

} // namespace

QString refusalText(const CheckEntry &entry, QStringView line, int order)
{
    switch (entry.kind) {
    case CheckEntry::Kind::Operation:
        return operationRefusal(entry.operation, line, order);
    case CheckEntry::Kind::Row:
        return rowRefusal(entry.typed, line, order);
    case CheckEntry::Kind::Answer:
        return answerRefusal(entry.answer, line, order);
    }
    return {};
}

qsizetype refusedAt(const CheckEntry &entry)
{
    switch (entry.kind) {
    case CheckEntry::Kind::Operation:
        return entry.operation.at;
    case CheckEntry::Kind::Row:
        return entry.typed.at;
    case CheckEntry::Kind::Answer:
        return entry.answer.at;
    }
    return 0;
}

} // namespace ravno
