// The large world of the benchmarks: the sample map with 100,000 places in the
// sample world's mix of types, or with the number that KELDERWYN_BENCH_PLACES
// gives, to measure other sizes.
#pragma once

#include <cstdlib>

inline int ManyPlaces()
{
    const char* text = std::getenv("KELDERWYN_BENCH_PLACES");
    const int count = text ? std::atoi(text) : 0;
    return count > 0 ? count : 100000;
}
