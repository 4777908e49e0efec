#pragma once

#include <algorithm>
#include <vector>

// The middle of a benchmark's samples, which one slow turn of a busy machine
// does not move.
inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}
