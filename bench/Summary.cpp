#include "bench/Summary.h"

#include <algorithm>

Summary Summary::Of(std::vector<double> values)
{
    Summary summary;
    summary.count = values.size();
    if (values.empty())
        return summary;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    summary.median = values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    summary.min = values.front();
    summary.max = values.back();
    for (double value : values)
        summary.total += value;
    summary.mean = summary.total / static_cast<double>(values.size());
    return summary;
}
