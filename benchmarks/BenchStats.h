#pragma once
// Figures the benchmarks report from their own samples.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
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

// One line: what, then min / median / max of the values, then each value in
// run order.
inline void PrintSpread(const char* what, const std::vector<double>& values) {
    std::printf("%-58s min %7.3f  median %7.3f  max %7.3f   (runs:", what, Percentile(values, 0),
                Percentile(values, 0.5), Percentile(values, 1));
    for (const double value : values) {
        std::printf(" %.3f", value);
    }
    std::printf(")\n");
}
