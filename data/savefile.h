#ifndef SAVEFILE_H
#define SAVEFILE_H

#include <QString>

class QSaveFile;

// The end of every file the program writes whole (exports, dumps, CSV, the
// chart's cache). QSaveFile keeps the last 16 KB of writes in its buffer and
// does not notice when writing them out at commit fails: on a full disk a
// small export was "written" empty. And where it notices, its error string
// is at times only "Unknown error".
namespace SaveFile {

// Writes out the buffer, then commits. False when anything failed, with the
// system's reason in errorText; the file is then left as it was.
bool commit(QSaveFile &file, QString *errorText);

// The file's error string, or the system's last error where it says nothing.
QString errorText(const QSaveFile &file);

} // namespace SaveFile

#endif // SAVEFILE_H
