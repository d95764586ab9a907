// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/randomdigits.h"

#include "core/text/numbertext.h"

namespace ravno {

float RandomSource::next()
{
    // The state lies in 1 .. 2^31 - 2; its top 24 bits give 0 .. 2^24 - 1.
    return float(m_engine() >> 7) / 16777216.0f;
}

QString randomContents(RandomSource &random, int n)
{
    QString text;
    const int count = n * (n + 1);
    text.reserve(count * 2);
    for (int i = 0; i < count; ++i) {
        const int digit = int(random.next() * 10.0f); // truncated toward zero
        text += QChar(u'0' + digit);
        text += u' ';
    }
    return text;
}

int randomOrderPosition(RandomSource &random)
{
    const float r = random.next();
    return int(roundHalfEven(double(r * 8.0f + 2.0f)));
}

} // namespace ravno
