// SPDX-License-Identifier: GPL-3.0-or-later
// One libFuzzer program per target: RAVNO_FUZZ_TARGET names the function
// of targets.h that this program feeds.
#include "fuzz/targets.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString problem =
        ravno::fuzz::RAVNO_FUZZ_TARGET(QByteArrayView(data, qsizetype(size)));
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "fuzz check failed: %s\n", qUtf8Printable(problem));
        std::abort();
    }
    return 0;
}
