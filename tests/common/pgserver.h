#ifndef PGSERVER_H
#define PGSERVER_H

#include <QString>

// A private PostgreSQL server for one test executable: initdb in a temporary
// folder, pg_ctl start on a Unix socket in that folder and on 127.0.0.1 at a
// free port, trust logins for the superuser "vlx". Run as the user
// "postgres" when the tests run as root (the server refuses root). Stopped
// with pg_ctl stop -m immediate in the destructor, and by a watcher process
// when the test dies before that. No system service is touched.
//
//   PgServer server;
//   QVERIFY2(server.start(), qPrintable(server.error()));   // missing binaries: a failure
//   const QString url = server.url();
class PgServer
{
public:
    PgServer();
    ~PgServer();
    PgServer(const PgServer &) = delete;
    PgServer &operator=(const PgServer &) = delete;

    // With a password, logins over TCP need it (scram-sha-256); the Unix
    // socket, which execute() uses, stays open without.
    bool start(const QString &password = QString());
    void stop();
    QString error() const { return m_error; }
    int port() const { return m_port; }
    // postgresql://vlx@127.0.0.1:<port>/<database>
    QString url(const QString &database = QStringLiteral("postgres")) const;
    // The superuser over the server's Unix socket, which needs no password.
    QString socketUrl() const;
    // Runs SQL (several statements) as the superuser; false with error() set.
    bool execute(const QString &sql);
    // Drops and makes anew the public schema: an empty archive.
    bool reset();

private:
    bool run(const QString &program, const QStringList &arguments);
    QString m_bin;
    QString m_folder;
    int m_port = 0;
    bool m_running = false;
    QString m_error;
};

#endif // PGSERVER_H
