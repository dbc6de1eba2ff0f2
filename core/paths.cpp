#include "paths.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString appDirOverride;
}

namespace Paths {

QString dataRoot()
{
    const QString fromEnv = qEnvironmentVariable("VLXLOGGER_DATA_ROOT");
    if (!fromEnv.isEmpty())
        return QDir::cleanPath(QDir::fromNativeSeparators(fromEnv));
#ifdef Q_OS_WIN
    return QStringLiteral("C:/Tevo_Data");
#else
    return QDir::homePath() + QStringLiteral("/Tevo_Data");
#endif
}

QString exportDir() { return dataRoot() + QStringLiteral("/VLXLogger"); }
QString ratingDir() { return dataRoot() + QStringLiteral("/Debi"); }
QString databaseFile() { return dataRoot() + QStringLiteral("/data.db"); }
QString memoryCopyFile() { return dataRoot() + QStringLiteral("/memory.db"); }

QString appDir()
{
    if (!appDirOverride.isEmpty())
        return appDirOverride;
    return QCoreApplication::applicationDirPath();
}

QString settingsFile() { return appDir() + QStringLiteral("/settings.ini"); }
QString langDir() { return appDir() + QStringLiteral("/lang"); }
QString logDir() { return appDir() + QStringLiteral("/log"); }

void setAppDir(const QString &path) { appDirOverride = path; }

} // namespace Paths
