#include "options.h"

namespace {
QStringList &extraPortList()
{
    static QStringList ports;
    return ports;
}
} // namespace

namespace Options {

QStringList extraPorts() { return extraPortList(); }
void setExtraPorts(const QStringList &ports) { extraPortList() = ports; }

} // namespace Options
