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
    if (db.open()) {
        createTables();
        return true;
    }
    const QString error = db.lastError().text();
    MessageBox::critical(nullptr, QObject::tr("DBERROR"), error, QObject::tr("OK"));
    qDebug() << "DBERR" << error;
    return false;
}
