#ifndef ARCHIVELOCATION_H
#define ARCHIVELOCATION_H

#include <QSqlDatabase>
#include <QString>

#include <memory>

class PgConnection;

// Where the station archive (and with it the collection log and the kept
// memory copies) lives: the SQLite file data.db in the data root, as for a
// single laptop, or a PostgreSQL server that every operator and the
// collector share. The first of these decides:
//   1. the program's own argument (vlxdecode --db, vlxcollect --archive);
//   2. VLXLOGGER_ARCHIVE in the environment;
//   3. Archive/url in settings.ini;
//   4. <data root>/data.db.
// A value starting with postgresql:// or postgres:// is a server (libpq's
// URL; ?sslmode= and the other parameters pass through). Anything else is an
// SQLite file where a file may be given (vlxdecode --db); from the
// environment or the settings it is an error. A URL libpq cannot parse is an
// error at once. Passwords never come from here: libpq's PGPASSWORD,
// ~/.pgpass or PGPASSFILE, or the program's prompt (ArchiveLocation::setPassword).
//
//   QString error;
//   ArchiveLocation where = ArchiveLocation::resolve(argument, ArchiveLocation::FileAllowed, &error);
//   if (!error.isEmpty()) ...;
//   ArchiveLocation::setCurrent(where);   // StationArchive() now follows it
struct ArchiveLocation {
    QString url;          // the server's URL; empty for the SQLite file
    QString sqliteFile;   // the SQLite file; empty for a server

    bool isServer() const { return !url.isEmpty(); }
    // The server as user@host:port/dbname, or the file's path.
    QString displayName() const;

    static constexpr const char *settingsKey = "Archive/url";
    static constexpr const char *environmentVariable = "VLXLOGGER_ARCHIVE";

    enum Argument { UrlOnly, FileAllowed };
    static bool isServerUrl(const QString &text);
    // The location by the order above; an error (naming the source) for a
    // bad value, with the SQLite default returned.
    static ArchiveLocation resolve(const QString &argument, Argument kind, QString *error);

    // The location this process works on; the SQLite file until set.
    static ArchiveLocation current();
    static void setCurrent(const ArchiveLocation &location);

    // The password the user typed for the current server, kept in memory for
    // this run only; never written anywhere.
    static void setPassword(const QString &password);
    static QString password();

    // The calling thread's connection to the current server, opened on first
    // use and again after it broke (libpq's connections are not shared
    // between threads). Never null; isOpen() tells.
    static std::shared_ptr<PgConnection> serverConnection();
    // Forgets the calling thread's connection (a new URL or password).
    static void dropServerConnection();

    // A Qt SQL connection (QPSQL) of the calling thread to the current
    // server, opened, for the code that speaks Qt SQL (the collection log,
    // the kept copies). Its lastError() tells a failure.
    static QSqlDatabase openServerDatabase(const QString &connectionName);
};

#endif // ARCHIVELOCATION_H
