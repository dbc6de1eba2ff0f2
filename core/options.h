#ifndef OPTIONS_H
#define OPTIONS_H

#include <QStringList>

// What the command line of vlxlogger adds to the program's fixed behaviour.
namespace Options {

// Serial ports to offer in addition to those the system lists
// (pseudo-terminals, /dev/serial/by-id/... links), from --port NAME.
QStringList extraPorts();
void setExtraPorts(const QStringList &ports);

} // namespace Options

#endif // OPTIONS_H
