#ifndef STARTUP_H
#define STARTUP_H

#include <QStringList>

#include <functional>

class MainWindow;

// The program's entry: builds the application object and runs start-up.
int runVlxLogger(int argc, char *argv[]);

namespace Startup {

// Start-up once the application object exists, steps in their fixed order:
// style, translations, identity, language from settings.ini, data
// directories, database, then the main window. `runLoop` runs the event loop
// with the window shown and returns its result. Returns the exit status: the
// loop's result, or 1 when the database could not be opened.
int start(const std::function<int(MainWindow &)> &runLoop);

// The data root and its two folders, each created when missing (one level).
void createDataDirectories();

// Reads the program's own command-line options (--port NAME, repeatable).
// Returns false when the command line is not valid; `error` says why.
bool parseCommandLine(const QStringList &arguments, QString *error);

} // namespace Startup

#endif // STARTUP_H
