#include "startup.h"

int main(int argc, char *argv[])
{
    return runVlxLogger(argc, argv);
}
