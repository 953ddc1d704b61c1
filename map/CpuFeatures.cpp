#include "CpuFeatures.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))

bool HasSsse3()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return has;
}

bool HasAvx2()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
}

#else

bool HasSsse3()
{
    return false;
}

bool HasAvx2()
{
    return false;
}

#endif
