// The SQL of the collection log: a table created when missing, one insert per
// visit, and the few queries a station's history needs, all prepared once.
#include "collectionlog.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

const char *const createStatements[] = {
    "CREATE TABLE IF NOT EXISTS collection ("
    " station TEXT NOT NULL,"
    " started TEXT NOT NULL,"
    " finished TEXT NOT NULL,"
    " result TEXT NOT NULL,"            // 'ok' or 'failed'
    " attempts INTEGER NOT NULL,"
    " requests INTEGER NOT NULL,"
    " new_rows BIGINT NOT NULL,"
    " newest TEXT NOT NULL,"            // the logger's clock, '' when none
    " level DOUBLE PRECISION,"
    " temperature DOUBLE PRECISION,"
    " clock_drift_s BIGINT,"
    " error TEXT NOT NULL)",
    "CREATE INDEX IF NOT EXISTS collection_station ON collection (station, finished)",
};

QString timeText(const QDateTime &time)
{
    return time.isValid() ? time.toUTC().toString(Qt::ISODateWithMs) : QString();
}

QDateTime timeOf(const QVariant &text)
{
    QDateTime time = QDateTime::fromString(text.toString(), Qt::ISODateWithMs);
    return time.isValid() ? time.toUTC() : QDateTime();
}

// The logger's clock has no zone: it is kept as its digits.
QString loggerTimeText(const QDateTime &time)
{
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) : QString();
}

QDateTime loggerTimeOf(const QVariant &text)
{
    QDateTime time = QDateTime::fromString(text.toString(), QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    time.setTimeSpec(Qt::UTC);
    return time;
}

// An empty text as '' rather than NULL: Qt binds a null QString as NULL.
QString notNull(const QString &text) { return text.isNull() ? QStringLiteral("") : text; }

template <typename T>
QVariant optional(const std::optional<T> &value)
{
    return value ? QVariant::fromValue(*value) : QVariant(QMetaType::fromType<T>());
}

} // namespace

struct CollectionLog::Statements {
    explicit Statements(const QSqlDatabase &db)
        : insert(db), recent(db), lastSuccess(db), failures(db), newest(db), drift(db)
    {
    }
    QSqlQuery insert;
    QSqlQuery recent;
    QSqlQuery lastSuccess;
    QSqlQuery failures;
    QSqlQuery newest;
    QSqlQuery drift;
};

CollectionLog::CollectionLog(const QSqlDatabase &db) : m_db(db) {}

CollectionLog::~CollectionLog() = default;

bool CollectionLog::createTable(const QSqlDatabase &db, QString *error)
{
    QSqlQuery query(db);
    for (const char *statement : createStatements) {
        if (!query.exec(QString::fromLatin1(statement))) {
            *error = query.lastError().text();
            return false;
        }
    }
    return true;
}

bool CollectionLog::prepare()
{
    if (m_statements)
        return true;
    auto s = std::make_unique<Statements>(m_db);
    const bool ok =
        s->insert.prepare(QStringLiteral(
            "INSERT INTO collection (station, started, finished, result, attempts, requests, new_rows, "
            "newest, level, temperature, clock_drift_s, error) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))
        && s->recent.prepare(QStringLiteral(
            "SELECT finished, result, error FROM collection WHERE station = ? ORDER BY finished DESC LIMIT 1"))
        && s->lastSuccess.prepare(QStringLiteral(
            "SELECT max(finished) FROM collection WHERE station = ? AND result = 'ok'"))
        && s->failures.prepare(QStringLiteral(
            "SELECT count(*) FROM collection WHERE station = ? AND result <> 'ok' AND finished > ?"))
        && s->newest.prepare(QStringLiteral(
            "SELECT newest, level, temperature FROM collection WHERE station = ? AND newest <> '' "
            "ORDER BY finished DESC LIMIT 1"))
        && s->drift.prepare(QStringLiteral(
            "SELECT clock_drift_s FROM collection WHERE station = ? AND clock_drift_s IS NOT NULL "
            "ORDER BY finished DESC LIMIT 1"));
    if (!ok) {
        m_error = m_db.isOpen() ? m_db.lastError().text() : QStringLiteral("database not open");
        for (const QSqlQuery *q : {&s->insert, &s->recent, &s->lastSuccess, &s->failures, &s->newest, &s->drift}) {
            if (q->lastError().isValid())
                m_error = q->lastError().text();
        }
        return false;
    }
    for (QSqlQuery *q : {&s->recent, &s->lastSuccess, &s->failures, &s->newest, &s->drift})
        q->setForwardOnly(true);
    m_statements = std::move(s);
    return true;
}

bool CollectionLog::record(const VisitReport &report)
{
    m_error.clear();
    if (!prepare())
        return false;
    QSqlQuery &insert = m_statements->insert;
    const QVariantList values = {report.station,
                                 notNull(timeText(report.started)),
                                 notNull(timeText(report.finished)),
                                 report.ok ? QStringLiteral("ok") : QStringLiteral("failed"),
                                 report.attempts,
                                 report.requests,
                                 report.newRows,
                                 notNull(loggerTimeText(report.newest)),
                                 optional(report.level),
                                 optional(report.temperature),
                                 optional(report.clockDriftSeconds),
                                 notNull(report.error)};
    for (int i = 0; i < values.size(); ++i)
        insert.bindValue(i, values.at(i));
    if (insert.exec())
        return true;
    m_error = insert.lastError().text();
    return false;
}

StationHistory CollectionLog::history(const QString &station)
{
    StationHistory h;
    m_error.clear();
    if (!prepare())
        return h;
    Statements &s = *m_statements;
    auto run = [&](QSqlQuery &query, const QVariantList &values) {
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values.at(i));
        if (query.exec())
            return true;
        m_error = query.lastError().text();
        return false;
    };

    if (!run(s.recent, {station}))
        return h;
    if (s.recent.next()) {
        h.lastAttempt = timeOf(s.recent.value(0));
        if (s.recent.value(1).toString() != QLatin1String("ok"))
            h.lastError = s.recent.value(2).toString();
    }
    s.recent.finish();

    if (!run(s.lastSuccess, {station}))
        return h;
    const QString lastSuccess = s.lastSuccess.next() ? s.lastSuccess.value(0).toString() : QString();
    s.lastSuccess.finish();
    h.lastSuccess = timeOf(lastSuccess);

    // Every time text sorts after "0": without a success all failures count.
    if (!run(s.failures, {station, lastSuccess.isEmpty() ? QStringLiteral("0") : lastSuccess}))
        return h;
    h.failures = s.failures.next() ? s.failures.value(0).toInt() : 0;
    s.failures.finish();

    if (!run(s.newest, {station}))
        return h;
    if (s.newest.next()) {
        h.newest = loggerTimeOf(s.newest.value(0));
        if (!s.newest.value(1).isNull())
            h.level = s.newest.value(1).toDouble();
        if (!s.newest.value(2).isNull())
            h.temperature = s.newest.value(2).toDouble();
    }
    s.newest.finish();

    if (!run(s.drift, {station}))
        return h;
    if (s.drift.next())
        h.clockDriftSeconds = s.drift.value(0).toLongLong();
    s.drift.finish();
    return h;
}
