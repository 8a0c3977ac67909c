#pragma once
// Figures the benchmarks report from their own samples.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

// The sample at fraction p (0 to 1) of the sorted samples, the nearest one
// taken: 0.5 gives the median, 1 the largest. 0 without samples.
inline double Percentile(std::vector<double> samples, double p) {
    if (samples.empty()) {
        return 0;
    }
    std::sort(samples.begin(), samples.end());
    const auto index =
        static_cast<size_t>(std::lround(p * static_cast<double>(samples.size() - 1)));
    return samples[index];
}
