#include <cstdio>

#include "bench/QpcClock.h"

// The empty program: what Wine's process start costs before any code of ours runs.
int wmain()
{
    long long entry = QpcClock::UnixNanoseconds();
    printf("{\"entry_unix_ns\": %lld}\n", entry);
    return 0;
}
