// SPDX-License-Identifier: GPL-3.0-or-later
// The student's answer, checked exactly against the original system: the
// values "x1 = 1, x2 = 3", a general solution in parameters t1, t2, ...
// ("x1 = 3 - 2t1, x2 = t1"), or "нет решений". The check session calls it;
// core/check/checktext.h says the verdict.
#pragma once

#include "core/check/rowoperation.h"

#include <map>
#include <vector>

namespace ravno {

// x = constant + the sum of perParameter[k]·t(k+1).
struct StudentUnknown
{
    mpq_class constant;
    std::map<int, mpq_class> perParameter; // parameter index from 0 -> coefficient, none zero
};

struct [[nodiscard]] StudentAnswer
{
    enum class Failure { None, NoAnswer, Unreadable, ZeroDenominator, UnknownOutOfRange, Twice, Missing };
    Failure failure = Failure::NoAnswer; // NoAnswer: the line is no answer at all
    bool noSolutions = false;            // "нет решений"
    std::vector<StudentUnknown> unknowns; // x1..xn
    qsizetype at = 0;                     // where the reading stopped
    int unknown = 0;                      // for Twice and Missing (from 0), UnknownOutOfRange (as typed)
};

// A line that starts with "x" and a number, or says "нет решений".
StudentAnswer parseAnswer(QStringView line, int order);

struct AnswerVerdict
{
    enum class Kind {
        Right,           // the same solution, or the same set of solutions
        WrongUnknowns,   // `wrong` lists the unknowns (from 0) that differ
        NotASolution,    // some choice of the parameters breaks equation `equation`
        WrongParameters, // the solutions are right, but their number of free parameters is not
        Inconsistent,    // the system has no solution, and the student gave one
        HasSolutions,    // the student said none, and there are
    };
    Kind kind = Kind::Right;
    bool unique = false;   // the system has exactly one solution
    bool noSolutions = false;
    std::vector<int> wrong;
    int equation = 0;      // from 0
    int parameters = 0;    // the free parameters the set needs
    int rankCoefficients = 0;
    int rankAugmented = 0;
};

AnswerVerdict checkAnswer(const ExactMatrix &system, const StudentAnswer &answer);

} // namespace ravno
