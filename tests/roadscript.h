// SPDX-License-Identifier: GPL-3.0-or-later
// Road tests drive a RoadAnimation through a script of events separated by
// blanks:
//   P  pace timer      S  step timer (S36: 36 step events)
//   G  graph click     A  stoper click      L  the window's load handler
#pragma once

#include "core/road/roadanimation.h"

#include <QRegularExpression>
#include <QTest>

Q_DECLARE_METATYPE(ravno::RoadKind)

inline void playRoad(ravno::RoadAnimation &road, const QString &script)
{
    static const QRegularExpression token(QStringLiteral("^([PSGAL])(\\d*)$"));
    for (const QString &word : script.split(u' ', Qt::SkipEmptyParts)) {
        const auto match = token.match(word);
        QVERIFY2(match.hasMatch(), qPrintable(word));
        const int times = match.captured(2).isEmpty() ? 1 : match.captured(2).toInt();
        for (int i = 0; i < times; ++i) {
            switch (match.captured(1).at(0).unicode()) {
            case u'P': road.paceEvent(); break;
            case u'S': road.stepEvent(); break;
            case u'G': road.graphClicked(); break;
            case u'A': road.stoperClicked(); break;
            case u'L': road.resetForLoad(); break;
            }
        }
    }
}
