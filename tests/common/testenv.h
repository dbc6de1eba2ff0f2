#ifndef TESTENV_H
#define TESTENV_H

#include <QString>

// Scratch folders for tests: a fresh application directory (settings.ini,
// lang/, log/) and a fresh data root, both inside the build tree.
namespace TestEnv {

// Empties and returns <scratch>/<name>; sets it as the program's application
// directory and <scratch>/<name>/Tevo_Data as the data root.
QString freshAppDir(const QString &name);

// Copies the built translations (lang/*.qm) into appDir/lang.
bool copyTranslations(const QString &appDir);

// Directory with the built executables (vlxlogger, vlxlogger-sim, vlxdecode).
QString binDir();

} // namespace TestEnv

#endif // TESTENV_H
