#ifndef DESKTOPFILE_H
#define DESKTOPFILE_H

#include <QString>

// Hands a file the program wrote (a text export) to the desktop, which opens
// it with the user's default application. Only a desktop view does this: the
// station engine and the command-line tools write files and leave them be.
namespace DesktopFile {

// False when the desktop has no application for it; the debug output then
// names the file.
bool open(const QString &path);

} // namespace DesktopFile

#endif // DESKTOPFILE_H
