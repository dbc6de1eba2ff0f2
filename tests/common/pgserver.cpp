#include "pgserver.h"

#include "pgconnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>

#include <algorithm>

#include <unistd.h>

namespace {

// The server binaries: PATH first, then Debian's versioned folders.
QString serverBinDir()
{
    const QString onPath = QFileInfo(QStandardPaths::findExecutable(QStringLiteral("pg_ctl"))).absolutePath();
    if (!onPath.isEmpty() && QFile::exists(onPath + QStringLiteral("/initdb")))
        return onPath;
    QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(), [](const QString &a, const QString &b) { return a.toInt() > b.toInt(); });
    for (const QString &v : versions) {
        const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(v);
        if (QFile::exists(bin + QStringLiteral("/initdb")) && QFile::exists(bin + QStringLiteral("/pg_ctl")))
            return bin;
    }
    return QString();
}

bool asRoot() { return geteuid() == 0; }

} // namespace

PgServer::PgServer() = default;

PgServer::~PgServer() { stop(); }

QString PgServer::url(const QString &database) const
{
    return QStringLiteral("postgresql://vlx@127.0.0.1:%1/%2").arg(m_port).arg(database);
}

QString PgServer::socketUrl() const
{
    return QStringLiteral("postgresql://vlx@/postgres?host=%1&port=%2").arg(m_folder).arg(m_port);
}

bool PgServer::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    QStringList command = arguments;
    QString executable = m_bin + QLatin1Char('/') + program;
    if (asRoot()) {
        command = QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), executable}
            + arguments;
        executable = QStringLiteral("runuser");
    }
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(executable, command);
    if (!process.waitForStarted(10000) || !process.waitForFinished(60000)
        || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        m_error = QStringLiteral("%1 failed: %2\n%3")
                      .arg(program, process.errorString(), QString::fromLocal8Bit(process.readAll()));
        return false;
    }
    return true;
}

bool PgServer::start(const QString &password)
{
    m_bin = serverBinDir();
    if (m_bin.isEmpty()) {
        m_error = QStringLiteral("PostgreSQL server binaries (initdb, pg_ctl) not found on PATH or in "
                                 "/usr/lib/postgresql/*/bin: install the package postgresql (scripts/deps.sh)");
        return false;
    }
    // Short: a Unix socket's path may not pass about 100 characters.
    m_folder = QDir::tempPath() + QStringLiteral("/vlxpg-%1").arg(QCoreApplication::applicationPid());
    QDir(m_folder).removeRecursively();
    QTcpServer probe;
    if (!QDir().mkpath(m_folder)
        || (asRoot() && QProcess::execute(QStringLiteral("chown"), {QStringLiteral("postgres:"), m_folder}) != 0)
        || !probe.listen(QHostAddress::LocalHost, 0)) {
        m_error = QStringLiteral("cannot make %1 for the user postgres, or no free port on 127.0.0.1").arg(m_folder);
        return false;
    }
    m_port = probe.serverPort();
    probe.close();
    const QString data = m_folder + QStringLiteral("/data");
    QStringList initdb{QStringLiteral("-D"), data, QStringLiteral("-U"), QStringLiteral("vlx"), QStringLiteral("-E"),
                       QStringLiteral("UTF8"), QStringLiteral("--no-locale"), QStringLiteral("--no-sync")};
    if (password.isEmpty()) {
        initdb << QStringLiteral("--auth=trust");
    } else {
        QFile secret(m_folder + QStringLiteral("/password"));
        if (!secret.open(QIODevice::WriteOnly) || secret.write(password.toUtf8() + '\n') <= 0) {
            m_error = QStringLiteral("cannot write %1").arg(secret.fileName());
            return false;
        }
        secret.close();
        initdb << QStringLiteral("--auth-local=trust") << QStringLiteral("--auth-host=scram-sha-256")
               << QStringLiteral("--pwfile=") + secret.fileName();
    }
    if (!run(QStringLiteral("initdb"), initdb))
        return false;
    const QString options = QStringLiteral("-c listen_addresses=127.0.0.1 -p %1 -c unix_socket_directories=%2 "
                                           "-c fsync=off -c synchronous_commit=off -c full_page_writes=off")
                                .arg(m_port)
                                .arg(m_folder);
    if (!run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), data, QStringLiteral("-o"), options, QStringLiteral("-l"),
                                        m_folder + QStringLiteral("/log"), QStringLiteral("-w"), QStringLiteral("start")}))
        return false;
    m_running = true;
    // A test that crashes never reaches the destructor: a watcher stops the
    // server when this process is gone.
    const QString stopCommand = (asRoot() ? QStringLiteral("runuser -u postgres -- ") : QString())
        + QStringLiteral("%1/pg_ctl -D %2 -m immediate stop").arg(m_bin, data);
    QProcess watcher;
    watcher.setProgram(QStringLiteral("sh"));
    watcher.setArguments({QStringLiteral("-c"),
                          QStringLiteral("while kill -0 %1 2>/dev/null; do sleep 1; done; %2 >/dev/null 2>&1; "
                                         "rm -rf %3")
                              .arg(QCoreApplication::applicationPid())
                              .arg(stopCommand, m_folder)});
    // Not holding the test's output open: the test runner waits for that.
    watcher.setStandardOutputFile(QProcess::nullDevice());
    watcher.setStandardErrorFile(QProcess::nullDevice());
    watcher.setStandardInputFile(QProcess::nullDevice());
    watcher.startDetached();
    return true;
}

void PgServer::stop()
{
    if (!m_running)
        return;
    m_running = false;
    run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_folder + QStringLiteral("/data"), QStringLiteral("-m"),
                                   QStringLiteral("immediate"), QStringLiteral("stop")});
    QDir(m_folder).removeRecursively();
}

bool PgServer::execute(const QString &sql)
{
    PgConnection connection;
    if (!connection.open(socketUrl()) || !connection.command(sql.toUtf8().constData())) {
        m_error = connection.errorText();
        return false;
    }
    return true;
}

bool PgServer::reset()
{
    return execute(QStringLiteral("DROP SCHEMA IF EXISTS public CASCADE; CREATE SCHEMA public"));
}
