#include "database.h"

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
