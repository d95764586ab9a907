// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/arraytext.h"

#include "core/exact/exactnumber.h"
#include "core/text/fractiontext.h"
#include "core/text/numbertext.h"

#include <climits>
#include <numeric>
#include <vector>

namespace ravno {

QStringList splitPieces(const QString &text)
{
    if (text.isEmpty())
        return {};
    return text.split(u' ', Qt::KeepEmptyParts);
}

int orderFromText(const QString &orderText)
{
    const double n = roundHalfEven(parseLeadingNumber(orderText));
    // The order box only ever holds 2..10; keep any other text harmless.
    if (!(n >= 1))
        return 1;
    if (n > 100)
        return 100;
    return int(n);
}

namespace {

// The typed values as rows over one denominator each, in machine words
// where every number of the system fits one, as the elimination likes them.
ExactRows typedRows(const ExactMatrix &matrix)
{
    const int width = matrix.empty() ? 0 : int(matrix.front().size());
    std::vector<std::int64_t> values, denominators;
    values.reserve(matrix.size() * std::size_t(width));
    for (const auto &row : matrix) {
        std::int64_t den = 1;
        for (const mpq_class &v : row) {
            if (!v.get_den().fits_slong_p())
                return ExactRows(matrix);
            const std::int64_t d = v.get_den().get_si();
            const std::int64_t gcd = std::gcd(den, d);
            if (__builtin_mul_overflow(den / gcd, d, &den))
                return ExactRows(matrix);
        }
        for (const mpq_class &v : row) {
            std::int64_t num = 0;
            if (!v.get_num().fits_slong_p()
                || __builtin_mul_overflow(std::int64_t(v.get_num().get_si()), den / v.get_den().get_si(), &num)
                || num == INT64_MIN)
                return ExactRows(matrix);
            values.push_back(num);
        }
        denominators.push_back(den);
    }
    return ExactRows(width, std::move(values), std::move(denominators));
}

} // namespace

std::optional<QString> fillFromText(Workspace &ws, int n, const QString &text,
                                    const QLocale &locale)
{
    const QStringList pieces = splitPieces(text);
    if (pieces.isEmpty())
        return std::nullopt;
    if (ws.order() != n)
        ws.resize(n);

    // Only the first n(n+1) pieces can ever be used; parse each once. A
    // fraction keeps its exact value (and its place among the fractions).
    const qsizetype used = std::min<qsizetype>(pieces.size(), qsizetype(n) * (n + 1));
    std::vector<double> values(static_cast<std::size_t>(used));
    std::vector<int> fractionAt(static_cast<std::size_t>(used), -1);
    std::vector<mpq_class> fractions;
    for (qsizetype i = 0; i < used; ++i) {
        PieceFraction read = readFraction(pieces[i]);
        if (read.kind == PieceFraction::Kind::Fraction) {
            values[std::size_t(i)] = nearestDouble(read.value);
            fractionAt[std::size_t(i)] = int(fractions.size());
            fractions.push_back(std::move(read.value));
        } else {
            values[std::size_t(i)] = parseLeadingNumber(pieces[i]);
        }
    }

    QString caption = kPreviewTitle;
    ExactMatrix exact;
    std::vector<bool> fractionCells;
    if (!fractions.empty()) {
        exact.assign(std::size_t(n), {});
        fractionCells.reserve(std::size_t(n) * std::size_t(n + 1));
    }
    std::size_t k = 0;
    auto next = [&](int i, int j) {
        const std::size_t at = k;
        if (++k >= values.size())
            k = 0;
        const int fraction = fractionAt[at];
        QString shown = fraction >= 0 ? fractionText(fractions[std::size_t(fraction)])
                                      : formatGeneral(values[at], locale);
        if (!fractions.empty()) {
            exact[std::size_t(i)].push_back(fraction >= 0 ? fractions[std::size_t(fraction)]
                                                          : exactValue(values[at]));
            fractionCells.push_back(fraction >= 0);
        } else {
            ws.set(i, j, values[at]);
        }
        return shown;
    };
    for (int i = 0; i < n; ++i) {
        caption += QStringLiteral("\n\r");
        for (int j = 0; j < n; ++j)
            caption += QStringLiteral("  ") + next(i, j);
        caption += QStringLiteral("   |   ") + next(i, n);
    }
    if (!fractions.empty())
        ws.setTyped(typedRows(exact), std::move(fractionCells));
    return caption;
}

std::optional<MisreadPiece> firstMisreadPiece(const QString &text, int n)
{
    // Walks the pieces in place: the text may be a long paste of which only
    // the first n(n+1) pieces count.
    const qsizetype used = qsizetype(n) * (n + 1);
    qsizetype start = 0;
    for (qsizetype k = 0; k < used && start <= text.size(); ++k) {
        qsizetype stop = text.indexOf(u' ', start);
        if (stop < 0)
            stop = text.size();
        const QStringView piece = QStringView(text).mid(start, stop - start);
        start = stop + 1;
        if (piece.isEmpty())
            continue;
        const PieceFraction fraction = readFraction(piece);
        if (fraction.kind == PieceFraction::Kind::Fraction)
            continue;
        const LeadingNumber read = readLeadingNumber(piece);
        if (read.whole)
            continue;
        const QStringView rest = piece.mid(read.end);
        const bool comma = read.end > 0 && rest.size() >= 2 && rest[0] == u',' && rest[1].isDigit()
                           && piece[read.end - 1].isDigit();
        return MisreadPiece{piece.toString(), read.value, comma,
                            fraction.kind == PieceFraction::Kind::DivisionByZero};
    }
    return std::nullopt;
}

QString previewForDisplay(const QString &caption)
{
    QString shown = caption;
    shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    return shown;
}

} // namespace ravno
