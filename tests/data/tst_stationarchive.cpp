// The station archive against a real SQLite file in the test's data root and
// against a private PostgreSQL server, every case once per store: the rows a
// download gives, what a second, a grown, a shorter and a rewritten download
// change, two writers at once, a lost table, and a server gone in the middle
// of a store; for the SQLite file also a full disk and a database that
// refuses the write, for the server a user who may not make the tables and a
// server that never answers. The SQLite file is written both through
// SQLite's own interface and through Qt's, the path where that interface
// cannot be reached.
#include "archiveseries.h"
#include "archivetables.h"
#include "database.h"
#include "decodedownload.h"
#include "downloadbuilder.h"
#include "paths.h"
#include "pgconnection.h"
#include "pgserver.h"
#include "sqliterowwriter.h"
#include "stationarchive.h"
#include "testenv.h"
#include "waits.h"
#include "vlxfile.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTcpServer>
#include <QtTest>

#include <future>

using namespace DownloadBuilder;

namespace {

constexpr quint32 ten = 0x41200000;
constexpr quint32 two = 0x40000000;
constexpr quint32 minusThree = 0xC0400000;
constexpr quint32 nan = 0x7FC00000;

QByteArray day(int d, int hour, int minute) { return bcdTime(d, 12, 13, hour, minute); }

// File A of station 1234: a time stamp, measurements, a missing record and a
// day's summary, then measurements of the next hours. File B of station 77:
// one measurement.
QByteArray fileA(int measurements = 2, quint32 thirdSecondValue = minusThree, int after = 0,
                 quint32 lastValue = ten)
{
    QByteArray out = exampleHeader() + timeStamp(day(7, 15, 0));
    for (int i = 0; i < measurements; ++i)
        out += measurement(i == 0 ? ten : two, i == 0 ? two : i == 2 ? thirdSecondValue : minusThree);
    out += missing()
        + summary({day(7, 1, 0), ten, two}, {day(7, 2, 0), two, ten}, {day(7, 3, 0), minusThree, two},
                  {day(7, 4, 0), two, minusThree}, two, nan);
    for (int i = 0; i < after; ++i)
        out += measurement(i + 1 == after ? lastValue : ten, ten);
    return out;
}

QByteArray fileB()
{
    return header("Kuyu", "77", day(9, 8, 0), bytes({0x00, 0x30}), "Seviye", "Sıcaklık", "cm", "C")
        + measurement(0x41C40000 /*24.5*/, ten);
}

// The store of the running case: the server's URL, or empty for SQLite.
QString serverUrl;

std::shared_ptr<PgConnection> connectServer()
{
    auto server = std::make_shared<PgConnection>();
    server->open(serverUrl);
    return server;
}

std::unique_ptr<StationArchive> archiveOfStore()
{
    return serverUrl.isEmpty() ? std::make_unique<StationArchive>(QSqlDatabase::database())
                               : std::make_unique<StationArchive>(connectServer());
}

QStringList select(const QString &sql)
{
    if (!serverUrl.isEmpty()) {
        PgConnection server;
        server.open(serverUrl);
        const PgResult r = server.exec(sql.toUtf8().constData());
        if (!r.ok())
            return {QStringLiteral("error: ") + server.errorText()};
        QStringList rows;
        for (int i = 0; i < r.rows(); ++i) {
            QStringList columns;
            for (int c = 0; c < r.columns(); ++c)
                columns << r.text(i, c);
            rows << columns.join(QLatin1Char('|'));
        }
        return rows;
    }
    QSqlQuery query;
    QStringList rows;
    if (!query.exec(sql))
        return {QStringLiteral("error: ") + query.lastError().text()};
    while (query.next()) {
        QStringList columns;
        for (int i = 0; i < query.record().count(); ++i)
            columns << query.value(i).toString();
        rows << columns.join(QLatin1Char('|'));
    }
    return rows;
}

qint64 count(const QString &table)
{
    return select(QStringLiteral("SELECT count(*) FROM ") + table).value(0).toLongLong();
}

ArchiveResult store(const QByteArray &download)
{
    const DecodedDownload decoded = decodeDownload(download);
    return archiveOfStore()->store(decoded.files);
}

} // namespace

class TestStationArchive : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void store_twoFiles_rowsMatchTheRecords();
    void store_again_data();
    void store_again();
    void store_twoWritersAtOnce_everyRecordOnce();
    void store_serverGoneMidStore_rolledBackAndNextStoreWritesAll();
    void store_afterATableWasLost_data();
    void store_afterATableWasLost();
    void store_diskFull_leavesTablesAsBeforeAndGivesSpaceBack();
    void store_databaseNotWritable_reportsDriverError_data();
    void store_databaseNotWritable_reportsDriverError();

private:
    PgServer m_server;
};

void TestStationArchive::initTestCase_data()
{
    QTest::addColumn<bool>("onServer");
    QTest::addColumn<bool>("bulk");
    QTest::newRow("SQLite") << false << true;
    QTest::newRow("SQLite, rows through Qt") << false << false;
    QTest::newRow("PostgreSQL") << true << true;
}

void TestStationArchive::initTestCase()
{
    Waits::current().serverConnect = 2000;
    QVERIFY2(m_server.start(), qPrintable(m_server.error()));
}

void TestStationArchive::init()
{
    QFETCH_GLOBAL(bool, onServer);
    QFETCH_GLOBAL(bool, bulk);
    SqliteRowWriter::allowBulkPath(bulk);
    TestEnv::freshAppDir(QStringLiteral("tst_stationarchive"));
    QVERIFY(QDir().mkpath(Paths::dataRoot()));
    QVERIFY(openDatabase());
    serverUrl = onServer ? m_server.url() : QString();
    if (onServer)
        QVERIFY2(m_server.reset(), qPrintable(m_server.error()));
}

void TestStationArchive::cleanup()
{
    QSqlDatabase::database().close();
    QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
}

void TestStationArchive::store_twoFiles_rowsMatchTheRecords()
{
    const QByteArray download = fileA() + fileB() + erased();
    qint64 lastDone = -1;
    qint64 lastTotal = -1;
    const DecodedDownload decoded = decodeDownload(download);
    const ArchiveResult r = archiveOfStore()->store(decoded.files, [&](qint64 done, qint64 total) {
        QVERIFY(done >= lastDone);
        lastDone = done;
        lastTotal = total;
    });
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.filesAdded, 2);
    // The end of A is where B's header starts; B ends where the erased space does.
    const qsizetype endA = fileA().size();
    const qsizetype endB = endA + fileB().size();
    QCOMPARE(select(QStringLiteral("SELECT id, istasyonadi, istasyonno, kurulumtarihi, page, buff FROM data ORDER BY id")),
             (QStringList{QStringLiteral("1|ST1|1234|2013-12-07 14:30:00|%1|%2").arg(endA / 1056).arg(endA % 1056),
                          QStringLiteral("2|Kuyu|77|2013-12-09 08:00:00|%1|%2").arg(endB / 1056).arg(endB % 1056)}));
    // Both channels of a measurement; the missing record and the NaN average
    // of channel 2 left out; a summary's extreme only for its channel.
    const QStringList expected{
        "1|2013-12-07|15:00:00|0|10|1|LVL|1", "1|2013-12-07|15:00:00|0|2|2|TMP|1",
        "1|2013-12-07|15:15:00|0|2|1|LVL|0",  "1|2013-12-07|15:15:00|0|-3|2|TMP|0",
        "1|2013-12-07|01:00:00|1|10|1|LVL|0", "1|2013-12-07|02:00:00|1|10|2|TMP|0",
        "1|2013-12-07|03:00:00|2|-3|1|LVL|0", "1|2013-12-07|04:00:00|2|-3|2|TMP|0",
        "1|2013-12-07|23:59:00|3|2|1|LVL|0",
        "2|2013-12-09|08:00:00|0|24.5|1|Seviye|0", QString::fromUtf8("2|2013-12-09|08:00:00|0|10|2|Sıcaklık|0")};
    QCOMPARE(select(QStringLiteral("SELECT data, tarih, saat, tip, deger, chno, chname, timeset "
                                   "FROM datadetay ORDER BY id")),
             expected);
    QCOMPARE(r.rowsAdded, qint64(expected.size()));
    QCOMPARE(lastDone, qint64(expected.size()));
    QCOMPARE(lastTotal, qint64(expected.size()));
}

void TestStationArchive::store_again_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<qint64>("added");
    QTest::addColumn<qint64>("rowsOfA");       // of the first entry, afterwards
    QTest::addColumn<qint64>("revisionRows");  // of a revision entry; -1 for none
    QTest::addColumn<qint64>("archived");      // records the revision reports
    QTest::addColumn<qint64>("downloaded");
    // File A gives two rows per measurement and five of its summary.
    const QByteArray b = fileB();
    QTest::newRow("the same download twice: nothing added")
        << fileA() + b + erased() << fileA() + b + erased() << qint64(0) << qint64(9) << qint64(-1)
        << qint64(0) << qint64(0);
    QTest::newRow("file A grown by three measurements, file B new: exactly their rows")
        << fileA() + erased() << fileA(2, minusThree, 3) + b + erased() << qint64(6 + 2) << qint64(15)
        << qint64(-1) << qint64(0) << qint64(0);
    QTest::newRow("file A cut short, agreeing: nothing added, nothing removed")
        << fileA(2, minusThree, 3) + erased() << fileA() + erased() << qint64(0) << qint64(15)
        << qint64(-1) << qint64(0) << qint64(0);
    QTest::newRow("file A rewritten shorter with the same install time: a revision beside it")
        << fileA(2, minusThree, 3) + erased()
        << exampleHeader() + measurement(two, two) + measurement(two, two) + erased() << qint64(4)
        << qint64(15) << qint64(4) << qint64(10) << qint64(2);
    QTest::newRow("file A rewritten longer, differing in the middle: a revision beside it")
        << fileA(3) + erased() << fileA(3, ten, 2) + erased() << qint64(15) << qint64(11) << qint64(15)
        << qint64(8) << qint64(10);
}

void TestStationArchive::store_again()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(qint64, added);
    QFETCH(qint64, rowsOfA);
    QFETCH(qint64, revisionRows);
    QFETCH(qint64, archived);
    QFETCH(qint64, downloaded);
    const ArchiveResult one = store(first);
    QVERIFY2(one.ok, qPrintable(one.error));
    const QString rowsOf = QStringLiteral("SELECT tarih, saat, tip, deger, chno, chname, timeset "
                                          "FROM datadetay WHERE data = %1 ORDER BY id");
    const QStringList before = select(rowsOf.arg(1));
    const ArchiveResult two = store(second);
    QVERIFY2(two.ok, qPrintable(two.error));
    QCOMPARE(two.rowsAdded, added);
    QCOMPARE(two.rowsRemoved, qint64(0));
    // The first entry keeps its id and every row it had.
    const QStringList kept = select(rowsOf.arg(1));
    QCOMPARE(kept.size(), rowsOfA);
    QCOMPARE(kept.mid(0, before.size()), before);
    const QStringList entries = select(QStringLiteral(
        "SELECT f.id, r.revises FROM data f LEFT JOIN data_revision r ON r.data = f.id "
        "WHERE f.istasyonno = '1234' ORDER BY f.id"));
    QCOMPARE(two.revisions.size(), revisionRows < 0 ? 0 : 1);
    QCOMPARE(entries.size(), revisionRows < 0 ? 1 : 2);
    QCOMPARE(entries.first(), QStringLiteral("1|"));
    const bool withB = (first + second).contains(fileB());
    QCOMPARE(count(QStringLiteral("datadetay")), rowsOfA + qMax<qint64>(revisionRows, 0) + (withB ? 2 : 0));
    if (revisionRows < 0)
        return;
    const ArchiveRevision &revision = two.revisions.first();
    const qint64 newId = entries.last().section(QLatin1Char('|'), 0, 0).toLongLong();
    QCOMPARE(entries.last(), QStringLiteral("%1|1").arg(newId));
    QCOMPARE(revision.revisedId, qint64(1));
    QCOMPARE(revision.id, newId);
    QCOMPARE(revision.stationNo, QStringLiteral("1234"));
    QCOMPARE(revision.archivedRecords, archived);
    QCOMPARE(revision.downloadedRecords, downloaded);
    // The revision holds exactly the rows of storing the second download alone.
    const QStringList revised = select(rowsOf.arg(newId));
    QCOMPARE(revised.size(), revisionRows);
    cleanup();
    init();
    QVERIFY(store(second).ok);
    QCOMPARE(select(rowsOf.arg(1)), revised);
}

// Two programs store the same download at the same moment, each through a
// connection of its own: whichever comes second finds the first one's rows.
void TestStationArchive::store_twoWritersAtOnce_everyRecordOnce()
{
    const QByteArray download = fileA(2, minusThree, 20000) + fileB() + erased();
    const DecodedDownload decoded = decodeDownload(download);
    auto write = [&](const QString &name) {
        if (!serverUrl.isEmpty())
            return archiveOfStore()->store(decoded.files);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(Paths::databaseFile());
        QString problem;
        ArchiveResult r = openArchive(db, &problem) == ArchiveOpen::Opened ? StationArchive(db).store(decoded.files)
                                                                          : ArchiveResult();
        db.close();
        return r;
    };
    std::future<ArchiveResult> first = std::async(std::launch::async, write, QStringLiteral("first"));
    std::future<ArchiveResult> second = std::async(std::launch::async, write, QStringLiteral("second"));
    const ArchiveResult one = first.get();
    const ArchiveResult two = second.get();
    QSqlDatabase::removeDatabase(QStringLiteral("first"));
    QSqlDatabase::removeDatabase(QStringLiteral("second"));
    QVERIFY2(one.ok && two.ok, qPrintable(one.error + two.error));
    const qint64 rows = 9 + 2 * 20000 + 2;
    QCOMPARE(one.rowsAdded + two.rowsAdded, rows);
    QCOMPARE(count(QStringLiteral("datadetay")), rows);
    QCOMPARE(select(QStringLiteral("SELECT istasyonno FROM data ORDER BY id")), (QStringList{"1234", "77"}));
}

// The server ends the store's session while its rows go in: nothing of the
// store stays, and the next store, on the same archive, writes everything.
void TestStationArchive::store_serverGoneMidStore_rolledBackAndNextStoreWritesAll()
{
    if (serverUrl.isEmpty())
        QSKIP("a server that goes away: the server only");
    QVERIFY(store(fileB() + erased()).ok);
    const DecodedDownload decoded = decodeDownload(fileA(2, minusThree, 20000) + erased());
    const std::shared_ptr<PgConnection> connection = connectServer();
    StationArchive archive(connection);
    bool terminated = false;
    const ArchiveResult cut = archive.store(decoded.files, [&](qint64, qint64) {
        if (!terminated)
            terminated = m_server.execute(QStringLiteral("SELECT pg_terminate_backend(%1, 10000)")
                                              .arg(connection->backendPid()));
    });
    QVERIFY(terminated);
    QVERIFY(!cut.ok);
    QVERIFY2(cut.error.contains(QStringLiteral("vlx@127.0.0.1:%1/postgres").arg(m_server.port())),
             qPrintable(cut.error));
    QCOMPARE(count(QStringLiteral("datadetay")), 2);
    QCOMPARE(count(QStringLiteral("data")), 1);
    const ArchiveResult next = archive.store(decoded.files);
    QVERIFY2(next.ok, qPrintable(next.error));
    QCOMPARE(next.rowsAdded, qint64(9 + 2 * 20000));
    QCOMPARE(count(QStringLiteral("datadetay")), 2 + 9 + 2 * 20000);
}

// A stale cache is left behind as by a kill between the commit and the
// cache's write; the rows written anew after a lost `datadetay` get the same
// ids as the lost ones, so only the revision counter tells the cache is old.
void TestStationArchive::store_afterATableWasLost_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<quint32>("lastValue");   // of the second download
    QTest::newRow("data lost, the same download again: its rows taken back") << "data" << ten;
    QTest::newRow("datadetay lost, the last value changed: the cache made anew") << "datadetay" << two;
}

void TestStationArchive::store_afterATableWasLost()
{
    QFETCH(QString, table);
    QFETCH(quint32, lastValue);
    QVERIFY(store(fileA(2, minusThree, 3) + erased()).ok);
    const std::unique_ptr<StationArchive> archive = archiveOfStore();
    ArchiveSeries series;
    QVERIFY(archive->series(1, &series));
    QFile cache(archive->cacheFolder() + QStringLiteral("/1.series"));
    QVERIFY(cache.open(QIODevice::ReadOnly));
    const QByteArray staleCache = cache.readAll();
    cache.close();

    // The server makes its tables anew at the next store.
    if (!serverUrl.isEmpty())
        QVERIFY(m_server.execute(QStringLiteral("DROP TABLE ") + table));
    else
        QVERIFY(QSqlQuery().exec(QStringLiteral("DROP TABLE ") + table) && createTables());
    const ArchiveResult again = store(fileA(2, minusThree, 3, lastValue) + erased());
    QVERIFY2(again.ok, qPrintable(again.error));
    QVERIFY(cache.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(cache.write(staleCache), staleCache.size());
    cache.close();

    QCOMPARE(again.fileIds, QList<qint64>{1});
    QCOMPARE(count(QStringLiteral("datadetay")), 15);
    QCOMPARE(select(QStringLiteral("SELECT id, istasyonno FROM data")), QStringList{"1|1234"});
    QVERIFY(archive->series(1, &series));
    QCOMPARE(series.values[0].back(), lastValue == ten ? 10.0f : 2.0f);
}

void TestStationArchive::store_diskFull_leavesTablesAsBeforeAndGivesSpaceBack()
{
    if (!serverUrl.isEmpty())
        QSKIP("SQLite's page limit stands for a full disk: the SQLite file only");
    QVERIFY(store(fileA() + erased()).ok);
    const QStringList before = select(QStringLiteral("SELECT * FROM datadetay ORDER BY id"));
    // The disk fills up a hundred pages on, while the second file's rows go
    // in; a small page cache has by then spilled pages into the log.
    const qint64 pages = select(QStringLiteral("PRAGMA page_count")).value(0).toLongLong();
    QCOMPARE(select(QStringLiteral("PRAGMA max_page_count = %1").arg(pages + 100)).value(0).toLongLong(),
             pages + 100);
    select(QStringLiteral("PRAGMA cache_size = 10"));
    const QByteArray grown = fileA(2, minusThree, 20000) + fileB() + erased();
    const ArchiveResult r = store(grown);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(QStringLiteral("disk is full")), qPrintable(r.error));
    QCOMPARE(r.rowsAdded, qint64(0));
    QCOMPARE(select(QStringLiteral("SELECT * FROM datadetay ORDER BY id")), before);
    QCOMPARE(count(QStringLiteral("data")), 1);
    QCOMPARE(QFileInfo(Paths::databaseFile() + QStringLiteral("-wal")).size(), 0);
    // and the next store works
    select(QStringLiteral("PRAGMA max_page_count = 1000000"));
    QVERIFY(store(grown).ok);
    QCOMPARE(count(QStringLiteral("data")), 2);
}

void TestStationArchive::store_databaseNotWritable_reportsDriverError_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("read-only database") << "readonly";
    QTest::newRow("not an SQLite file") << "garbage";
    QTest::newRow("server: a user who may not make the tables") << "reader";
    QTest::newRow("server: nothing answers at the port") << "silent";
}

void TestStationArchive::store_databaseNotWritable_reportsDriverError()
{
    QFETCH(QString, kind);
    const bool serverCase = kind == QLatin1String("reader") || kind == QLatin1String("silent");
    if (serverCase == serverUrl.isEmpty())
        QSKIP("a case of the other store");
    if (!serverUrl.isEmpty()) {
        // The connection waits at most the connect time-out for a server
        // that takes the connection and never answers.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        QVERIFY(m_server.execute(QStringLiteral("DROP ROLE IF EXISTS reader; CREATE ROLE reader LOGIN")));
        const QString url = kind == QLatin1String("reader")
            ? QStringLiteral("postgresql://reader@127.0.0.1:%1/postgres").arg(m_server.port())
            : QStringLiteral("postgresql://vlx@127.0.0.1:%1/postgres").arg(silent.serverPort());
        auto connection = std::make_shared<PgConnection>();
        QElapsedTimer clock;
        clock.start();
        connection->open(url);
        const ArchiveResult r = StationArchive(connection).store(decodeDownload(fileA() + erased()).files);
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(PgConnection::displayName(url)), qPrintable(r.error));
        if (kind == QLatin1String("reader"))
            QVERIFY2(r.error.contains(QStringLiteral("the table \"schema_version\" is missing")), qPrintable(r.error));
        else
            QVERIFY2(clock.elapsed() < 30000, qPrintable(r.error));
        return;
    }
    cleanup();
    const QString path = Paths::databaseFile();
    if (kind == QLatin1String("garbage")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    if (kind == QLatin1String("readonly")) {
        QVERIFY(db.open());
        QVERIFY(createTables());
        db.close();
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    }
    QVERIFY(db.open());
    const ArchiveResult r = store(fileA() + erased());
    QVERIFY(!r.ok);
    QVERIFY(!r.error.trimmed().isEmpty());
    if (kind == QLatin1String("readonly"))
        QCOMPARE(count(QStringLiteral("datadetay")), 0);
}

QTEST_GUILESS_MAIN(TestStationArchive)
#include "tst_stationarchive.moc"
