#include "peakmemory.h"

#include <QtGlobal>

#if defined(Q_OS_WIN)
#include <windows.h>
#include <psapi.h>
#elif defined(Q_OS_UNIX)
#include <sys/resource.h>
#endif

long peakMemoryKiB()
{
#if defined(Q_OS_WIN)
    PROCESS_MEMORY_COUNTERS counters{};
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return long(counters.PeakWorkingSetSize / 1024);
    return 0;
#elif defined(Q_OS_UNIX)
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return 0;
#if defined(Q_OS_MACOS)
    return long(usage.ru_maxrss / 1024);   // bytes there
#else
    return long(usage.ru_maxrss);
#endif
#else
    return 0;
#endif
}
