#pragma once

#include <cstddef>
#include <vector>

// Median, spread and mean of a set of measurements.
class Summary {
public:
    static Summary Of(std::vector<double> values);

    size_t count = 0;
    double median = 0;
    double min = 0;
    double max = 0;
    double mean = 0;
    double total = 0;
};
