// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/singularity.h"

#include <Eigen/SVD>

#include <cmath>

namespace ravno {

double scaledSingularValueRatio(const Workspace &ws)
{
    const int n = ws.order();
    if (n < 1)
        return -1;
    Eigen::MatrixXd rows(n, n);
    for (int i = 0; i < n; ++i) {
        // Divide by the largest entry before taking the length, so that
        // neither 1e300 nor 1e-310 overflows or underflows on the way.
        double largest = 0;
        for (int j = 0; j < n; ++j) {
            const double value = ws.at(i, j);
            if (!std::isfinite(value))
                return -1;
            largest = std::max(largest, std::fabs(value));
        }
        if (largest == 0)
            return 0;
        for (int j = 0; j < n; ++j)
            rows(i, j) = ws.at(i, j) / largest;
        rows.row(i) /= rows.row(i).norm();
    }
    const Eigen::JacobiSVD<Eigen::MatrixXd> svd(rows);
    const auto &values = svd.singularValues(); // largest first
    return values(n - 1) / values(0);
}

bool isNumericallySingular(const Workspace &ws)
{
    const double ratio = scaledSingularValueRatio(ws);
    return ratio >= 0 && ratio < kSingularRatio;
}

} // namespace ravno
