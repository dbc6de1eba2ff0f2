// Stores a download as large as the logger's whole memory (2.3 million
// archive rows) into an empty archive and then again (nothing new), into an
// SQLite file and into a PostgreSQL server, and prints rows per second, wall
// times and the peak memory after each step. For the choice of the server's
// row path it also times the same rows as multi-row INSERT statements.
//
//   bench_pgarchive [URL]
//
// Without a URL a private server is started in a temporary folder (as the
// tests do) and stopped at the end; a given URL's public schema is used as
// it is, so give an empty database.

#include "archivetables.h"
#include "compactdownload.h"
#include "peakmemory.h"
#include "pgconnection.h"
#include "pgserver.h"
#include "stationarchive.h"
#include "testenv.h"

#include <libpq-fe.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

void report(const char *what, qint64 rows, qint64 ms)
{
    std::printf("%-40s %9lld rows %7lld ms %10.0f rows/s  peak %6.1f MiB\n", what, (long long)rows,
                (long long)ms, ms > 0 ? double(rows) * 1000.0 / double(ms) : 0.0,
                double(peakMemoryKiB()) / 1024.0);
    std::fflush(stdout);
}

void storeTwice(const char *name, StationArchive &archive, const std::vector<CompactFile> &files)
{
    for (int round = 0; round < 2; ++round) {
        QElapsedTimer clock;
        clock.start();
        const ArchiveResult r = archive.store(files);
        const qint64 ms = clock.elapsed();
        if (!r.ok) {
            std::printf("%s: store failed: %s\n", name, qPrintable(r.error));
            return;
        }
        const QByteArray what = QByteArray(name) + (round == 0 ? ", empty archive" : ", again (nothing new)");
        report(what.constData(), round == 0 ? r.rowsAdded : 0, ms);
    }
}

// The same rows as INSERT ... VALUES (...), (...) of 1000 rows with text
// parameters, in one transaction: the other way the server could take them.
void timeInserts(const QString &url, const std::vector<ArchiveRow> &rows)
{
    PGconn *conn = PQconnectdb(url.toUtf8().constData());
    if (PQstatus(conn) != CONNECTION_OK) {
        std::printf("inserts: %s\n", PQerrorMessage(conn));
        PQfinish(conn);
        return;
    }
    PQclear(PQexec(conn, "CREATE TEMP TABLE rows_by_insert (LIKE datadetay INCLUDING DEFAULTS INCLUDING IDENTITY)"));
    constexpr int batch = 1000;
    QByteArray sql = "INSERT INTO rows_by_insert (data, tarih, saat, tip, deger, chno, chname, timeset) VALUES ";
    for (int i = 0; i < batch; ++i)
        sql += QStringLiteral("%1($%2,to_timestamp($%3)::date,to_timestamp($%3)::time,$%4,$%5,$%6,'x',0)")
                   .arg(i ? "," : "").arg(5 * i + 1).arg(5 * i + 2).arg(5 * i + 3).arg(5 * i + 4).arg(5 * i + 5)
                   .toLatin1();
    QElapsedTimer clock;
    clock.start();
    PQclear(PQexec(conn, "BEGIN"));
    std::vector<QByteArray> texts(5 * batch);
    std::vector<const char *> values(5 * batch);
    qint64 done = 0;
    for (std::size_t at = 0; at + batch <= rows.size(); at += batch) {
        for (int i = 0; i < batch; ++i) {
            const ArchiveRow &row = rows[at + std::size_t(i)];
            texts[5 * i] = "1";
            texts[5 * i + 1] = QByteArray::number(row.msecs / 1000);
            texts[5 * i + 2] = QByteArray::number(row.type);
            texts[5 * i + 3] = QByteArray::number(double(row.value), 'g', 9);
            texts[5 * i + 4] = QByteArray::number(row.channel);
        }
        for (int i = 0; i < 5 * batch; ++i)
            values[std::size_t(i)] = texts[std::size_t(i)].constData();
        PGresult *r = PQexecParams(conn, sql.constData(), 5 * batch, nullptr, values.data(), nullptr, nullptr, 0);
        if (PQresultStatus(r) != PGRES_COMMAND_OK) {
            std::printf("inserts: %s\n", PQresultErrorMessage(r));
            PQclear(r);
            break;
        }
        PQclear(r);
        done += batch;
    }
    PQclear(PQexec(conn, "COMMIT"));
    report("PostgreSQL, 1000-row INSERTs (compare)", done, clock.elapsed());
    PQfinish(conn);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch;
    qputenv("VLXLOGGER_DATA_ROOT", scratch.filePath(QStringLiteral("Tevo_Data")).toUtf8());
    const QString image = scratch.filePath(QStringLiteral("full.bin"));
    if (QProcess::execute(TestEnv::binDir() + QStringLiteral("/vlxlogger-sim"),
                          {QStringLiteral("--full-memory"), QStringLiteral("--write-image"), image})
        != 0) {
        std::printf("vlxlogger-sim could not write the image\n");
        return 1;
    }
    QFile file(image);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const CompactDownload decoded = decodeCompact(file.readAll());
    file.close();
    qint64 rows = 0;
    for (const CompactFile &f : decoded.files)
        rows += qint64(StationArchive::rowsOf(f).size());
    std::printf("full memory: %zu files, %lld archive rows\n", decoded.files.size(), (long long)rows);
    report("decoded", 0, 0);

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(scratch.filePath(QStringLiteral("data.db")));
        QString error;
        if (openArchive(db, &error) != ArchiveOpen::Opened) {
            std::printf("SQLite: %s\n", qPrintable(error));
            return 1;
        }
        StationArchive archive(db);
        storeTwice("SQLite", archive, decoded.files);
        db.close();
    }
    QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));

    PgServer server;
    QString url = app.arguments().value(1);
    if (url.isEmpty()) {
        if (!server.start()) {
            std::printf("server: %s\n", qPrintable(server.error()));
            return 1;
        }
        url = server.url();
    }
    auto connection = std::make_shared<PgConnection>();
    if (!connection->open(url)) {
        std::printf("%s\n", qPrintable(connection->errorText()));
        return 1;
    }
    StationArchive archive(connection);
    storeTwice("PostgreSQL, COPY binary", archive, decoded.files);
    std::vector<ArchiveRow> all;
    for (const CompactFile &f : decoded.files) {
        const std::vector<ArchiveRow> r = StationArchive::rowsOf(f);
        all.insert(all.end(), r.begin(), r.end());
    }
    timeInserts(url, all);
    return 0;
}
