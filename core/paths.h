#ifndef PATHS_H
#define PATHS_H

#include <QString>

// Every fixed path of the program. The data root is fixed per platform and can
// be moved with the environment variable VLXLOGGER_DATA_ROOT (tests, demos);
// settings, translations and logs live next to the executable.
namespace Paths {

QString dataRoot();      // C:/Tevo_Data on Windows, $HOME/Tevo_Data elsewhere
QString exportDir();     // <data root>/VLXLogger: text exports
QString ratingDir();     // <data root>/Debi: rating tables (*.abk)
QString databaseFile();  // <data root>/data.db
QString memoryCopyFile(); // <data root>/memory.db: the kept copies of the loggers' memories

QString appDir();        // directory of the executable (overridable for tests)
QString settingsFile();  // <app dir>/settings.ini
QString langDir();       // <app dir>/lang
QString logDir();        // <app dir>/log

// Tests run the program's code from a scratch directory instead of the
// executable's directory. An empty path restores the default.
void setAppDir(const QString &path);

} // namespace Paths

#endif // PATHS_H
