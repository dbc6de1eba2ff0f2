#include "testenv.h"

#include "paths.h"

#include <QDir>
#include <QFile>

namespace TestEnv {

QString freshAppDir(const QString &name)
{
    const QString dir = QStringLiteral(VLX_TEST_SCRATCH) + QLatin1Char('/') + name;
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    Paths::setAppDir(dir);
    qputenv("VLXLOGGER_DATA_ROOT", (dir + QStringLiteral("/Tevo_Data")).toUtf8());
    return dir;
}

bool copyTranslations(const QString &appDir)
{
    const QDir source(binDir() + QStringLiteral("/lang"));
    QDir().mkpath(appDir + QStringLiteral("/lang"));
    const QStringList files = source.entryList({QStringLiteral("*.qm")}, QDir::Files);
    if (files.isEmpty())
        return false;
    for (const QString &file : files) {
        const QString target = appDir + QStringLiteral("/lang/") + file;
        QFile::remove(target);
        if (!QFile::copy(source.filePath(file), target))
            return false;
    }
    return true;
}

QString binDir() { return QStringLiteral(VLX_BIN_DIR); }

} // namespace TestEnv
