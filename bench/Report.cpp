#include "bench/Report.h"

#include <cstdio>

namespace {

std::string Number(double value)
{
    char text[32];
    snprintf(text, sizeof(text), "%.6g", value);
    return text;
}

} // namespace

void Report::Add(const std::string& key, double value)
{
    entries.emplace_back(key, Number(value));
}

void Report::AddInteger(const std::string& key, long long value)
{
    entries.emplace_back(key, std::to_string(value));
}

void Report::Add(const std::string& key, const Summary& summary)
{
    Add(key + ".count", static_cast<double>(summary.count));
    Add(key + ".median", summary.median);
    Add(key + ".min", summary.min);
    Add(key + ".max", summary.max);
    Add(key + ".mean", summary.mean);
    Add(key + ".total", summary.total);
}

void Report::AddList(const std::string& key, const std::vector<double>& values)
{
    std::string list = "[";
    for (size_t i = 0; i < values.size(); ++i)
        list += (i ? ", " : "") + Number(values[i]);
    entries.emplace_back(key, list + "]");
}

void Report::Print() const
{
    printf("{");
    for (size_t i = 0; i < entries.size(); ++i)
        printf("%s\n  \"%s\": %s", i ? "," : "", entries[i].first.c_str(), entries[i].second.c_str());
    printf("\n}\n");
    fflush(stdout);
}
