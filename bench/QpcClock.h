#pragma once

#include <windows.h>

#include <cstdint>

// The performance counter, the clock of every in-process figure.
class QpcClock {
public:
    static int64_t Now();
    static double Milliseconds(int64_t from, int64_t to);
    static double Microseconds(int64_t from, int64_t to);
    // The system's wall clock in nanoseconds since 1970: it lines our entry up with the moment
    // the benchmark's driver spawned Wine, which the performance counter cannot.
    static int64_t UnixNanoseconds();

private:
    static int64_t Frequency();
};
