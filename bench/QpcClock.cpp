#include "bench/QpcClock.h"

#include "toolkit/SystemLibrary.h"

int64_t QpcClock::Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

int64_t QpcClock::Frequency()
{
    static const int64_t frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    return frequency;
}

double QpcClock::Milliseconds(int64_t from, int64_t to)
{
    return static_cast<double>(to - from) * 1000.0 / static_cast<double>(Frequency());
}

double QpcClock::Microseconds(int64_t from, int64_t to)
{
    return static_cast<double>(to - from) * 1000000.0 / static_cast<double>(Frequency());
}

int64_t QpcClock::UnixNanoseconds()
{
    typedef void(WINAPI * PreciseTimeProc)(FILETIME*);
    // Declared by the headers only for newer targets than ours; Wine and Windows 8+ have it.
    static const PreciseTimeProc precise =
        SystemLibrary::Find<PreciseTimeProc>(GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime");
    FILETIME time;
    if (precise)
        precise(&time);
    else
        GetSystemTimeAsFileTime(&time);
    const int64_t unixEpochIn100ns = 116444736000000000LL;
    int64_t ticks = (static_cast<int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return (ticks - unixEpochIn100ns) * 100;
}
