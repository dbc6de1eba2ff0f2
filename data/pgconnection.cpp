// libpq behind one small class: connecting with a time-out and a password
// that never reaches a log line, statements with text parameters, and COPY.
#include "pgconnection.h"

#include "waits.h"

#include <libpq-fe.h>

#include <QStringList>

#include <vector>

namespace {

QString messageOf(const char *text) { return QString::fromUtf8(text).trimmed(); }

// The options of a connection string, or an empty list with libpq's reason.
struct Options {
    PQconninfoOption *list = nullptr;
    QString error;
    explicit Options(const QString &url)
    {
        char *message = nullptr;
        list = PQconninfoParse(url.toUtf8().constData(), &message);
        if (message) {
            error = messageOf(message);
            PQfreemem(message);
        }
    }
    ~Options() { PQconninfoFree(list); }
    QString value(const char *keyword) const
    {
        for (PQconninfoOption *o = list; o && o->keyword; ++o)
            if (qstrcmp(o->keyword, keyword) == 0 && o->val)
                return QString::fromUtf8(o->val);
        return QString();
    }
};

} // namespace

PgResult::PgResult(pg_result *result)
    : m_result(result, PQclear)
{
}

bool PgResult::ok() const
{
    if (!m_result)
        return false;
    const ExecStatusType status = PQresultStatus(m_result.get());
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_COPY_IN;
}

int PgResult::rows() const { return m_result ? PQntuples(m_result.get()) : 0; }

int PgResult::columns() const { return m_result ? PQnfields(m_result.get()) : 0; }

bool PgResult::isNull(int row, int column) const
{
    return !m_result || PQgetisnull(m_result.get(), row, column);
}

QByteArray PgResult::bytes(int row, int column) const
{
    if (isNull(row, column))
        return QByteArray();
    const char *value = PQgetvalue(m_result.get(), row, column);
    const int length = PQgetlength(m_result.get(), row, column);
    if (PQfformat(m_result.get(), column) == 1)
        return QByteArray(value, length);
    // bytea in text form: \x followed by hex digits
    if (PQftype(m_result.get(), column) == 17 && length >= 2 && value[0] == '\\' && value[1] == 'x')
        return QByteArray::fromHex(QByteArray(value + 2, length - 2));
    return QByteArray(value, length);
}

QString PgResult::text(int row, int column) const { return QString::fromUtf8(bytes(row, column)); }

qint64 PgResult::number(int row, int column) const { return bytes(row, column).toLongLong(); }

QString PgResult::error() const
{
    if (!m_result)
        return QString();
    // The server's own sentence, without "ERROR:" and the statement's context.
    const char *primary = PQresultErrorField(m_result.get(), PG_DIAG_MESSAGE_PRIMARY);
    return messageOf(primary ? primary : PQresultErrorMessage(m_result.get()));
}

QByteArray PgResult::sqlState() const
{
    return m_result ? QByteArray(PQresultErrorField(m_result.get(), PG_DIAG_SQLSTATE)) : QByteArray();
}

PgConnection::PgConnection() = default;

PgConnection::~PgConnection() { close(); }

bool PgConnection::parses(const QString &url, QString *error)
{
    const Options options(url);
    if (options.list)
        return true;
    if (error)
        *error = options.error.isEmpty() ? QStringLiteral("invalid connection URL") : options.error;
    return false;
}

QString PgConnection::displayName(const QString &url)
{
    const Options options(url);
    if (!options.list)
        return QStringLiteral("(invalid URL)");
    const QString user = options.value("user");
    const QString host = options.value("host").isEmpty() ? options.value("hostaddr") : options.value("host");
    const QString port = options.value("port");
    const QString db = options.value("dbname");
    QString name = user.isEmpty() ? QString() : user + QLatin1Char('@');
    name += host.isEmpty() ? QStringLiteral("localhost") : host;
    if (!port.isEmpty())
        name += QLatin1Char(':') + port;
    return name + QLatin1Char('/') + (db.isEmpty() ? user : db);
}

QString PgConnection::keywordsOf(const QString &url)
{
    const Options options(url);
    QStringList words{QStringLiteral("connect_timeout=%1").arg(qMax(2, (Waits::current().serverConnect + 999) / 1000))};
    for (PQconninfoOption *o = options.list; o && o->keyword; ++o) {
        if (!o->val || qstrcmp(o->keyword, "password") == 0)
            continue;
        QString value = QString::fromUtf8(o->val);
        value.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
        words << QStringLiteral("%1='%2'").arg(QString::fromUtf8(o->keyword), value);
    }
    return words.join(QLatin1Char(' '));
}

QString PgConnection::passwordIn(const QString &url) { return Options(url).value("password"); }

QString PgConnection::name() const { return displayName(m_url); }

bool PgConnection::open(const QString &url, const QString &password)
{
    close();
    m_url = url;
    m_password = password;
    m_needsPassword = false;
    QString parseError;
    if (!parses(url, &parseError))
        return fail(parseError);
    // connect_timeout first, so that one in the URL wins; the password last,
    // so that the one asked for wins over a stale one in the environment.
    const QByteArray timeout = QByteArray::number(qMax(2, (Waits::current().serverConnect + 999) / 1000));
    const QByteArray dbname = url.toUtf8();
    const QByteArray secret = password.toUtf8();
    std::vector<const char *> keys{"connect_timeout", "dbname", "client_encoding", "application_name"};
    std::vector<const char *> values{timeout.constData(), dbname.constData(), "UTF8", "vlxlogger"};
    if (!password.isEmpty()) {
        keys.push_back("password");
        values.push_back(secret.constData());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    m_conn = PQconnectdbParams(keys.data(), values.data(), 1);
    if (m_conn && PQstatus(m_conn) == CONNECTION_OK) {
        m_failedOpen.invalidate();
        // Plain messages, no NOTICE lines on standard error.
        PQsetNoticeProcessor(m_conn, [](void *, const char *) {}, nullptr);
        return true;
    }
    m_needsPassword = m_conn && PQconnectionNeedsPassword(m_conn) && password.isEmpty();
    const QString reason = m_conn ? messageOf(PQerrorMessage(m_conn)) : QStringLiteral("out of memory");
    close();
    m_url = url;
    m_password = password;
    m_failedOpen.start();
    return fail(reason);
}

void PgConnection::close()
{
    m_schemaReady = false;
    if (m_conn)
        PQfinish(m_conn);
    m_conn = nullptr;
}

bool PgConnection::isOpen() const { return m_conn && PQstatus(m_conn) == CONNECTION_OK; }

bool PgConnection::reopenIfBroken()
{
    if (isOpen())
        return true;
    if (m_url.isEmpty())
        return fail(QStringLiteral("not connected"));
    if (m_failedOpen.isValid() && m_failedOpen.elapsed() < Waits::current().serverRetry)
        return false;   // errorText() still tells why
    const QString url = m_url;
    const QString password = m_password;
    return open(url, password);
}

int PgConnection::backendPid() const { return m_conn ? PQbackendPID(m_conn) : 0; }

bool PgConnection::fail(const QString &message)
{
    m_error = QStringLiteral("%1: %2").arg(name(), message);
    return false;
}

PgResult PgConnection::exec(const char *sql, std::initializer_list<QByteArray> params)
{
    return execBinary(sql, params, {});
}

PgResult PgConnection::execBinary(const char *sql, std::initializer_list<QByteArray> params,
                                  std::initializer_list<bool> binary)
{
    if (!m_conn) {
        fail(QStringLiteral("not connected"));
        return PgResult();
    }
    std::vector<const char *> values;
    std::vector<int> lengths;
    std::vector<int> formats;
    auto isBinary = binary.begin();
    for (const QByteArray &p : params) {
        const bool asBytes = isBinary != binary.end() && *isBinary++;
        values.push_back(p.isNull() ? "" : p.constData());   // an empty QString is text, never NULL
        lengths.push_back(int(p.size()));
        formats.push_back(asBytes ? 1 : 0);
    }
    // Without parameters a text may hold several statements (the tables).
    PgResult result(values.empty() ? PQexec(m_conn, sql)
                                   : PQexecParams(m_conn, sql, int(values.size()), nullptr, values.data(),
                                                  lengths.data(), formats.data(), 0));
    if (!result.ok())
        fail(result.error().isEmpty() ? messageOf(PQerrorMessage(m_conn)) : result.error());
    return result;
}

bool PgConnection::check(const PgResult &result)
{
    // exec() has kept the reason of a failed result already.
    return result.ok();
}

bool PgConnection::command(const char *sql, std::initializer_list<QByteArray> params)
{
    return exec(sql, params).ok();
}

bool PgConnection::copyBegin(const char *sql)
{
    if (!m_conn)
        return fail(QStringLiteral("not connected"));
    const PgResult result(PQexec(m_conn, sql));
    return result.ok() || fail(result.error().isEmpty() ? messageOf(PQerrorMessage(m_conn)) : result.error());
}

bool PgConnection::copyPut(const char *data, int size)
{
    return PQputCopyData(m_conn, data, size) == 1 || fail(messageOf(PQerrorMessage(m_conn)));
}

bool PgConnection::copyEnd()
{
    if (PQputCopyEnd(m_conn, nullptr) != 1)
        return fail(messageOf(PQerrorMessage(m_conn)));
    bool ok = true;
    while (PGresult *r = PQgetResult(m_conn)) {
        PgResult result(r);
        if (!result.ok())
            ok = fail(result.error());
    }
    return ok;
}

bool PgConnection::copyAbort()
{
    if (PQputCopyEnd(m_conn, "cancelled") != 1)
        return false;
    while (PGresult *r = PQgetResult(m_conn))
        PQclear(r);
    return true;
}
