#include "peakmemory.h"

#include <QFile>
#include <QtGlobal>

#if defined(Q_OS_WIN)
#include <windows.h>
#include <psapi.h>
#elif defined(Q_OS_UNIX) && !defined(Q_OS_LINUX)
#include <sys/resource.h>
#endif

long peakMemoryKiB()
{
#if defined(Q_OS_WIN)
    PROCESS_MEMORY_COUNTERS counters{};
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return long(counters.PeakWorkingSetSize / 1024);
    return 0;
#elif defined(Q_OS_LINUX)
    // The high-water mark of this program's own memory. The resource usage's
    // maximum would also hold what the parent had resident when it started
    // this process, which a child of a large program never comes near.
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
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
