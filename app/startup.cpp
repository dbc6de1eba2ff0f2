#include "startup.h"

#include <QApplication>

int runVlxLogger(int argc, char *argv[])
{
    QApplication app(argc, argv);
    return 0;
}
