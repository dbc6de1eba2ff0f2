#include "benchsupport.h"

#include "archivetables.h"
#include "paths.h"
#include "peakmemory.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QThread>

namespace BenchSupport {

double lineSeconds(qint64 bytes) { return double(bytes) * 10.0 / baud; }

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

void useScratchFolder(const QString &path)
{
    Paths::setAppDir(path);
    qputenv("VLXLOGGER_DATA_ROOT", QDir(path).filePath(QStringLiteral("Tevo_Data")).toUtf8());
    QDir().mkpath(Paths::exportDir());
    QDir::setCurrent(path);
    // The analysis stores every download in the station archive, as the
    // program does after its start-up opened the database.
    openArchive(Paths::databaseFile());
}

bool openArchive(const QString &file)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(file);
    QString error;
    return ::openArchive(db, &error) == ArchiveOpen::Opened;
}

long peakKiB() { return peakMemoryKiB(); }

} // namespace BenchSupport
