// SPDX-License-Identifier: GPL-3.0-or-later
// Every storage operation that touches a file, as one table, for the tests
// of failing file systems: each row names the file it reaches and whether
// it writes.
#pragma once

#include "ui/common/context.h"

#include <QTest>

#include <functional>
#include <optional>
#include <vector>

namespace ravno::test {

template<typename T>
std::optional<FileError> failure(const Result<T> &result)
{
    if (result.ok())
        return std::nullopt;
    return result.error();
}

template<typename T>
Status status(const Result<T> &result)
{
    return result ? success() : Status(result.error());
}

// What an operation gave: its failure, if any, and for a read that goes on
// past a failed write (the empty line before "Первый ответ", the rewrite
// after "Все ответы"), whether it read: a failure told after the reading
// must not be mistaken for a refused read.
struct Outcome
{
    Outcome(std::optional<FileError> error = std::nullopt) : error(std::move(error)) {}
    operator std::optional<FileError>() const { return error; }

    std::optional<FileError> error;
    std::optional<bool> read; // set for those reads only
};

// Such a read reports the failure after it, as its result's notice: the
// commands below give it as their own.
template<typename T>
Outcome readThenNotice(const Result<T> &result)
{
    Outcome outcome(result ? result.value().notice : std::optional<FileError>(result.error()));
    outcome.read = result.ok();
    return outcome;
}

struct Operation
{
    const char *name;
    QString file;
    bool writes;      // fails when the file is read-only
    bool appendsOnly; // reaches the file by appending before anything else
    std::function<Outcome(AppContext &)> run;
};

inline const QString kArray = QStringLiteral("Массив");

inline const std::vector<Operation> &operations()
{
    static const std::vector<Operation> table = {
        {"solve", kAnswerLogName, true, true,
         [](AppContext &c) { return failure(c.log.append("1,000  ")); }},
        {"first answer", kAnswerLogName, true, true,
         [](AppContext &c) { return readThenNotice(c.log.first()); }},
        {"last answer", kAnswerLogName, true, true,
         [](AppContext &c) { return readThenNotice(c.log.last()); }},
        {"all answers", kAnswerLogName, true, false,
         [](AppContext &c) { return readThenNotice(c.log.all()); }},
        {"save answers", kAnswerLogName, true, false,
         [](AppContext &c) { return failure(c.log.save("x")); }},
        {"save array", kArray, true, false,
         [](AppContext &c) { return failure(c.arrays.save(kArray, 9, "1 2")); }},
        {"load array", kArray, false, false,
         [](AppContext &c) { return failure(c.arrays.load(kArray)); }},
        {"save last array", kLastArrayName, true, false,
         [](AppContext &c) { return failure(c.arrays.save(kLastArrayName, 9, "1 2")); }},
        {"load last array", kLastArrayName, true, true,
         [](AppContext &c) {
             const Result<LoadedArray> read = c.arrays.loadLast();
             Outcome outcome = readThenNotice(read);
             outcome.read = read && read.value().hasData;
             return outcome;
         }},
        {"create catalogue", kCatalogueName, true, false,
         [](AppContext &c) { return failure(c.catalogue.create()); }},
        {"append name", kCatalogueName, true, true,
         [](AppContext &c) { return failure(c.catalogue.add("a")); }},
        {"list names", kCatalogueName, true, true,
         [](AppContext &c) { return readThenNotice(c.catalogue.names()); }},
        {"rewrite catalogue", kCatalogueName, true, false,
         [](AppContext &c) { return failure(c.catalogue.rewrite("a")); }},
        {"show catalogue", kCatalogueName, false, false,
         [](AppContext &c) { return failure(c.catalogue.show()); }},
    };
    return table;
}

inline void addOperations(const std::function<bool(const Operation &)> &keep)
{
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < operations().size(); ++i)
        if (keep(operations()[i]))
            QTest::newRow(operations()[i].name) << int(i);
}

// A stored file that fills one 4 KiB page exactly: on a full tmpfs not even
// an append to it finds room.
inline QByteArray storedBytes()
{
    QByteArray bytes(" 9 \r\n");
    for (int i = 0; i < 817; ++i)
        bytes += " 1 \r\n";
    return bytes + " 12 \r\n";
}
inline const QByteArray kStored = storedBytes();

} // namespace ravno::test
