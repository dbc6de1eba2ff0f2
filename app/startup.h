#ifndef STARTUP_H
#define STARTUP_H

// The program's start-up, steps in order; main() only calls it.
int runVlxLogger(int argc, char *argv[]);

#endif // STARTUP_H
