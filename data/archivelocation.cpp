// The archive's place for this process and the connections to it: one
// choice made at start (the program, vlxdecode, the collector), read by every
// StationArchive(), and one libpq connection per thread.
#include "archivelocation.h"

#include "paths.h"
#include "pgconnection.h"

#include <QDir>
#include <QMutex>
#include <QSettings>

namespace {

QMutex &guard()
{
    static QMutex mutex;
    return mutex;
}

ArchiveLocation &chosen()
{
    static ArchiveLocation location;
    return location;
}

QString &typedPassword()
{
    static QString password;
    return password;
}

thread_local std::shared_ptr<PgConnection> threadConnection;

ArchiveLocation sqliteDefault()
{
    ArchiveLocation location;
    location.sqliteFile = Paths::databaseFile();
    return location;
}

} // namespace

QString ArchiveLocation::displayName() const
{
    return isServer() ? PgConnection::displayName(url) : QDir::toNativeSeparators(sqliteFile);
}

bool ArchiveLocation::isServerUrl(const QString &text)
{
    const QString t = text.trimmed();
    return t.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || t.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

ArchiveLocation ArchiveLocation::resolve(const QString &argument, Argument kind, QString *error)
{
    error->clear();
    QString value = argument.trimmed();
    QString source = kind == FileAllowed ? QStringLiteral("--db") : QStringLiteral("--archive");
    if (value.isEmpty()) {
        value = qEnvironmentVariable(environmentVariable).trimmed();
        source = QString::fromLatin1(environmentVariable);
        kind = UrlOnly;
    }
    if (value.isEmpty()) {
        value = QSettings(Paths::settingsFile(), QSettings::IniFormat).value(QLatin1String(settingsKey)).toString().trimmed();
        source = QStringLiteral("%1 (%2)").arg(QLatin1String(settingsKey), QDir::toNativeSeparators(Paths::settingsFile()));
    }
    if (value.isEmpty())
        return sqliteDefault();
    if (!isServerUrl(value)) {
        if (kind == FileAllowed) {
            ArchiveLocation file;
            file.sqliteFile = value;
            return file;
        }
        *error = QStringLiteral("%1: not a PostgreSQL URL (postgresql://user@host:port/dbname)").arg(source);
        return sqliteDefault();
    }
    QString reason;
    if (!PgConnection::parses(value, &reason)) {
        *error = QStringLiteral("%1: the URL does not parse: %2").arg(source, reason);
        return sqliteDefault();
    }
    ArchiveLocation server;
    server.url = value;
    return server;
}

ArchiveLocation ArchiveLocation::current()
{
    QMutexLocker lock(&guard());
    return chosen().isServer() || !chosen().sqliteFile.isEmpty() ? chosen() : sqliteDefault();
}

void ArchiveLocation::setCurrent(const ArchiveLocation &location)
{
    {
        QMutexLocker lock(&guard());
        chosen() = location;
    }
    dropServerConnection();
}

void ArchiveLocation::setPassword(const QString &password)
{
    {
        QMutexLocker lock(&guard());
        typedPassword() = password;
    }
    dropServerConnection();
}

QString ArchiveLocation::password()
{
    QMutexLocker lock(&guard());
    return typedPassword();
}

std::shared_ptr<PgConnection> ArchiveLocation::serverConnection()
{
    const ArchiveLocation where = current();
    if (!threadConnection || threadConnection->url() != where.url) {
        threadConnection = std::make_shared<PgConnection>();
        threadConnection->open(where.url, password());
    }
    threadConnection->reopenIfBroken();
    return threadConnection;
}

void ArchiveLocation::dropServerConnection() { threadConnection.reset(); }

QSqlDatabase ArchiveLocation::openServerDatabase(const QString &connectionName)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setConnectOptions(PgConnection::keywordsOf(current().url));
    const QString typed = password().isEmpty() ? PgConnection::passwordIn(current().url) : password();
    if (!typed.isEmpty())
        db.setPassword(typed);
    db.open();
    return db;
}
