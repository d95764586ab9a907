// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/arraytext.h"

#include "core/numbertext.h"

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

std::optional<QString> fillFromText(Workspace &ws, int n, const QString &text,
                                    const QLocale &locale)
{
    const QStringList pieces = splitPieces(text);
    if (pieces.isEmpty())
        return std::nullopt;
    if (ws.order() != n)
        ws.resize(n);

    // Only the first n(n+1) pieces can ever be used; parse each once.
    const qsizetype used = std::min<qsizetype>(pieces.size(), qsizetype(n) * (n + 1));
    std::vector<double> values(static_cast<std::size_t>(used));
    for (qsizetype i = 0; i < used; ++i)
        values[std::size_t(i)] = parseLeadingNumber(pieces[i]);

    QString caption = kPreviewTitle;
    std::size_t k = 0;
    auto next = [&] {
        const double value = values[k];
        if (++k >= values.size())
            k = 0;
        return value;
    };
    for (int i = 0; i < n; ++i) {
        caption += QStringLiteral("\n\r");
        for (int j = 0; j < n; ++j) {
            ws.set(i, j, next());
            caption += QStringLiteral("  ") + formatGeneral(ws.at(i, j), locale);
        }
        ws.set(i, n, next());
        caption += QStringLiteral("   |   ") + formatGeneral(ws.at(i, n), locale);
    }
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
        const LeadingNumber read = readLeadingNumber(piece);
        if (read.whole)
            continue;
        const QStringView rest = piece.mid(read.end);
        const bool comma = read.end > 0 && rest.size() >= 2 && rest[0] == u',' && rest[1].isDigit()
                           && piece[read.end - 1].isDigit();
        return MisreadPiece{piece.toString(), read.value, comma};
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
