#ifndef PGCONNECTION_H
#define PGCONNECTION_H

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <initializer_list>
#include <memory>

struct pg_conn;
struct pg_result;

// One connection to a PostgreSQL server through libpq, for the archive that
// lives there. It owns the PGconn and the results it hands out, and it is
// the only code that knows libpq's calling conventions: the archive's store
// and reader write SQL, this class sends it. A connection belongs to one
// thread at a time (libpq's rule); every thread of the collector has its own.
//
//   PgConnection server;
//   if (!server.open(QStringLiteral("postgresql://vlx@db.example:5432/hydro"))) {
//       if (server.needsPassword()) ... ask, then server.open(url, password);
//       /* server.errorText() names the server, never the password */
//   }
//   PgResult r = server.exec("SELECT id FROM data WHERE istasyonno = $1", {no.toUtf8()});
//
// The connect time-out is Waits::serverConnect, unless the URL sets its own
// connect_timeout.
class PgResult
{
public:
    PgResult() = default;
    explicit PgResult(pg_result *result);
    bool ok() const;        // a command or a query that succeeded
    int rows() const;
    int columns() const;
    bool isNull(int row, int column) const;
    QByteArray bytes(int row, int column) const;      // text form, or bytea decoded
    QString text(int row, int column) const;
    qint64 number(int row, int column) const;
    QString error() const;  // the server's message
    QByteArray sqlState() const;

private:
    std::shared_ptr<pg_result> m_result;
};

class PgConnection
{
public:
    PgConnection();
    ~PgConnection();
    PgConnection(const PgConnection &) = delete;
    PgConnection &operator=(const PgConnection &) = delete;

    // False, with libpq's reason, for a text that is no connection URL or
    // keyword=value string libpq takes.
    static bool parses(const QString &url, QString *error);
    // The server as messages show it: user@host:port/dbname, the parts the
    // URL gives (never its password).
    static QString displayName(const QString &url);
    // The URL as libpq's keyword='value' list with the connect time-out of
    // Waits::serverConnect (the URL's own wins), without a password: the
    // connect options of a Qt QPSQL connection to the same server.
    static QString keywordsOf(const QString &url);
    // The password written in the URL itself; empty when there is none.
    static QString passwordIn(const QString &url);

    // Opens (or opens again) the connection; a password given here goes
    // before any of libpq's own means and is kept in memory only, for
    // reopenIfBroken.
    bool open(const QString &url, const QString &password = QString());
    void close();
    bool isOpen() const;
    // After a failed open: the server asked for a password and none was given.
    bool needsPassword() const { return m_needsPassword; }
    // Opens the connection again with the URL and password of the last open,
    // when it has gone away (a server restart, a terminated backend); after
    // a failed open, not before Waits::serverRetry has passed.
    bool reopenIfBroken();

    QString url() const { return m_url; }
    QString name() const;   // displayName of the URL, or what libpq connected to
    // The last failure, naming the server.
    QString errorText() const { return m_error; }
    int backendPid() const;
    // Whether the archive's tables were found on this connection (PgSchema),
    // so that they are looked for once per connection, not per statement.
    bool schemaReady() const { return m_schemaReady && isOpen(); }
    void setSchemaReady() { m_schemaReady = true; }

    // Parameters go in as text (or, for binary, as bytes with binary set),
    // never as NULL: a null QByteArray is the empty text.
    PgResult exec(const char *sql, std::initializer_list<QByteArray> params = {});
    PgResult execBinary(const char *sql, std::initializer_list<QByteArray> params,
                        std::initializer_list<bool> binary);
    // exec() that only needs to succeed; false with errorText() set.
    bool command(const char *sql, std::initializer_list<QByteArray> params = {});
    bool check(const PgResult &result);   // false (error kept) for a failed result

    // COPY ... FROM STDIN: begin with the statement, put data, end.
    bool copyBegin(const char *sql);
    bool copyPut(const char *data, int size);
    bool copyEnd();
    bool copyAbort();

private:
    bool fail(const QString &message);
    pg_conn *m_conn = nullptr;
    QString m_url;
    QString m_password;   // of the last open, for reopenIfBroken only
    QString m_error;
    bool m_needsPassword = false;
    bool m_schemaReady = false;
    QElapsedTimer m_failedOpen;   // running since the last failed open
};

#endif // PGCONNECTION_H
