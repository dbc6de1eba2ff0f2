#include "savefile.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>

namespace SaveFile {

QString errorText(const QSaveFile &file)
{
    const int systemError = errno;
    const QString text = file.errorString();
    // What a file says when it has nothing to say, in the toolkit's language.
    const bool empty = text.isEmpty() || text == QFile().errorString();
    if (!empty || systemError == 0)
        return text;
    return qt_error_string(systemError);
}

bool commit(QSaveFile &file, QString *errorText)
{
    errno = 0;
    if (file.flush() && file.commit())
        return true;
    if (errorText)
        *errorText = SaveFile::errorText(file);
    file.cancelWriting();
    return false;
}

} // namespace SaveFile
