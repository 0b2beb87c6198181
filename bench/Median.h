#pragma once

#include <algorithm>
#include <vector>

namespace bw::bench {

// The middle of the timed runs (the upper one of an even count).
inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace bw::bench
