#pragma once

#include <string>
#include <vector>

#include "bench/Summary.h"

// The figures of one benchmark run, printed as one flat JSON object (dotted keys) for the
// driver script, which lays them out.
class Report {
public:
    void Add(const std::string& key, double value);
    void AddInteger(const std::string& key, long long value);
    void Add(const std::string& key, const Summary& summary);
    void AddList(const std::string& key, const std::vector<double>& values);
    void Print() const;

private:
    std::vector<std::pair<std::string, std::string>> entries;
};
