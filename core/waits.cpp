#include "waits.h"

#include <QCoreApplication>
#include <QThread>

namespace Waits {

Values &current()
{
    static Values values;
    return values;
}

void sleep(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

bool waitWhile(const volatile bool *flag, int step, int passes)
{
    for (int i = 0; i < passes && *flag; ++i) {
        sleep(step);
        QCoreApplication::processEvents();
    }
    return !*flag;
}

} // namespace Waits
