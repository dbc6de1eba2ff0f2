#include "database.h"

#include "archivelocation.h"
#include "archivelogin.h"
#include "archivetables.h"
#include "messagebox.h"
#include "paths.h"

#include <QDebug>
#include <QDir>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlError>

bool openDatabase()
{
    QString problem;
    const ArchiveLocation where = ArchiveLocation::resolve(QString(), ArchiveLocation::UrlOnly, &problem);
    if (!problem.isEmpty()) {
        qDebug().noquote() << problem;
        MessageBox::critical(nullptr, QObject::tr("Veritabanı"),
                             problem + QLatin1Char('\n')
                                 + QObject::tr("Arşiv yerel veritabanında tutulur: %1")
                                       .arg(QDir::toNativeSeparators(Paths::databaseFile())),
                             QObject::tr("Tamam"));
    }
    ArchiveLocation::setCurrent(where);
    if (where.isServer()) {
        // A server that cannot be reached is told once; every store then
        // tells its own failure, and the exports and kept copies go on.
        QString error;
        if (!ArchiveLogin::connectCurrent(nullptr, &error))
            MessageBox::critical(nullptr, QObject::tr("Veritabanı"),
                                 QObject::tr("Arşiv sunucusuna bağlanılamadı:") + QLatin1Char('\n') + error,
                                 QObject::tr("Tamam"));
        return true;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(QDir::toNativeSeparators(Paths::databaseFile()));
    QString error;
    switch (openArchive(db, &error)) {
    case ArchiveOpen::Opened:
        return true;
    case ArchiveOpen::Damaged:
        qDebug().noquote() << error;
        MessageBox::critical(nullptr, QObject::tr("Veritabanı"), error, QObject::tr("Tamam"));
        return true;
    case ArchiveOpen::NotOpened:
        break;
    }
    MessageBox::critical(nullptr, QObject::tr("DBERROR"), error, QObject::tr("OK"));
    qDebug() << "DBERR" << error;
    return false;
}
