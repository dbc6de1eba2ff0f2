// vlxcollect end to end, as cron or systemd runs it: its own process against
// simulator processes over TCP and a pseudo-terminal, with a dead port, a
// logger that drops the line in the middle of a transfer and one that
// answers garbage. The reports, the exit status, the archive, the
// collection log, a second run after the loggers recorded more, --status,
// bad station files, a second collector on the same data root and SIGTERM.
#include "paths.h"
#include "pgconnection.h"
#include "pgserver.h"
#include "simprocess.h"
#include "testenv.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpServer>
#include <QtTest>

namespace {

// Short fixed waits for the collector process; a block request counts as
// unanswered only after a delay no reply takes on a loaded machine.
const QByteArray shortWaits = "blockPause=2,connectSettle=0,gprsSettle=0,watchdogGPRS=100,watchdogRS232=100,"
                              "delayGPRS=10000,delayRS232=10000,replyTimeout=5000,tcpConnect=5000,serialWrite=50";

struct Run {
    int exitCode = -1;
    QList<QJsonObject> lines;   // stdout, one JSON object per line
    QString errors;             // stderr
    QJsonObject line(const QString &station) const
    {
        for (const QJsonObject &object : lines) {
            if (object.value(QStringLiteral("station")).toString() == station)
                return object;
        }
        return QJsonObject();
    }
};

QProcess *startCollector(const QStringList &arguments, QObject *parent, const QString &dataRoot = QString())
{
    auto *process = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VLXLOGGER_WAITS"), QString::fromLatin1(shortWaits));
    if (!dataRoot.isEmpty())
        env.insert(QStringLiteral("VLXLOGGER_DATA_ROOT"), dataRoot);
    process->setProcessEnvironment(env);
    process->start(TestEnv::binDir() + QStringLiteral("/vlxcollect"), arguments);
    return process;
}

Run finish(QProcess *process)
{
    Run run;
    if (!process->waitForFinished(90000))
        return run;
    run.exitCode = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    for (const QByteArray &line : process->readAllStandardOutput().split('\n')) {
        if (!line.trimmed().isEmpty())
            run.lines << QJsonDocument::fromJson(line).object();
    }
    run.errors = QString::fromUtf8(process->readAllStandardError());
    return run;
}

Run collect(const QStringList &arguments)
{
    QObject owner;
    return finish(startCollector(arguments, &owner));
}

void writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

QString writeImage(const QString &dir, const QString &serial, const QString &stationNo, int days)
{
    const QString image = dir + QLatin1Char('/') + serial + QStringLiteral(".bin");
    QProcess write;
    write.start(simPath(), {"--days", QString::number(days), "--serial", serial, "--station-no", stationNo,
                            "--write-image", image});
    write.waitForFinished(30000);
    return image;
}

int blocksOf(const QString &image) { return int((QFileInfo(image).size() + 263) / 264); }

// The blocks kept for a logger, read beside a running collector without
// ever writing its file.
int keptBlocks(const QString &serial)
{
    QSqlDatabase db = QSqlDatabase::contains(QStringLiteral("kept"))
        ? QSqlDatabase::database(QStringLiteral("kept"))
        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("kept"));
    db.setDatabaseName(Paths::memoryCopyFile());
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
    if (!QFileInfo::exists(Paths::memoryCopyFile()) || !db.open())
        return 0;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT count(*) FROM memoryblock WHERE serial = ?"));
    query.addBindValue(serial);
    return query.exec() && query.next() ? query.value(0).toInt() : 0;
}

// A simulator serving an image; started again on the same port or link.
std::unique_ptr<SimProcess> serve(const QStringList &arguments, QString *where)
{
    auto sim = std::make_unique<SimProcess>(arguments);
    const QString found = sim->waitForLine(QStringLiteral("^(?:TCP 127\\.0\\.0\\.1:(\\d+)|LINK (\\S+))$"));
    if (where)
        *where = found;
    return sim->waitForLine(QStringLiteral("^(READY)$")).isEmpty() ? nullptr : std::move(sim);
}

} // namespace

class TestVlxCollect : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void once_collectsTheNetwork_reportsLogsAndFetchesOnlyNewBlocksNextTime();
    void archiveOnServer_rowsLogAndKeptCopyThere_badUrlExitTwo();
    void stationFile_refused_exitTwoNamingStationAndKey_data();
    void stationFile_refused_exitTwoNamingStationAndKey();
    void dataRoot_heldByACollector_exitThree_staleLockTakenOver();
    void service_sigterm_abandonsTheVisitKeepsItsBlocksAndExitsZero();

private:
    qint64 archiveRows(const QString &stationNo);
    int logRows(const QString &station);

    QString m_dir;
};

void TestVlxCollect::initTestCase()
{
    m_dir = TestEnv::freshAppDir(QStringLiteral("tst_vlxcollect"));
    QVERIFY(QDir().mkpath(Paths::dataRoot()));
}

qint64 TestVlxCollect::archiveRows(const QString &stationNo)
{
    QSqlDatabase db = QSqlDatabase::contains(QStringLiteral("check"))
        ? QSqlDatabase::database(QStringLiteral("check"))
        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
    db.setDatabaseName(Paths::databaseFile());
    if (!db.open())
        return -1;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT count(*) FROM datadetay d JOIN data f ON d.data = f.id WHERE f.istasyonno = ?"));
    query.addBindValue(stationNo);
    return query.exec() && query.next() ? query.value(0).toLongLong() : -1;
}

int TestVlxCollect::logRows(const QString &station)
{
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("check"));
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT count(*) FROM collection WHERE station = ?"));
    query.addBindValue(station);
    return query.exec() && query.next() ? query.value(0).toInt() : -1;
}

void TestVlxCollect::once_collectsTheNetwork_reportsLogsAndFetchesOnlyNewBlocksNextTime()
{
    const QString tcpImage = writeImage(m_dir, QStringLiteral("TCP-A"), QStringLiteral("5101"), 3);
    const QString ptyImage = writeImage(m_dir, QStringLiteral("PTY-B"), QStringLiteral("5102"), 3);
    const QString dropImage = writeImage(m_dir, QStringLiteral("DROP-C"), QStringLiteral("5103"), 4);
    const QString link = m_dir + QStringLiteral("/ttyB");
    QString tcpPort;
    QString dropPort;
    QString garbagePort;
    auto tcp = serve({"--image", tcpImage, "--serial", "TCP-A", "--tcp", "0"}, &tcpPort);
    auto pty = serve({"--image", ptyImage, "--serial", "PTY-B", "--pty", "--link", link}, nullptr);
    // Every connection is cut after the read chain, VER and four blocks.
    auto drop = serve({"--image", dropImage, "--serial", "DROP-C", "--tcp", "0", "--close-after", "8"}, &dropPort);
    auto garbage = serve({"--short-par", "5", "--tcp", "0"}, &garbagePort);
    QVERIFY(tcp && pty && drop && garbage);
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 deadPort = closed.serverPort();
    closed.close();

    const QString stations = m_dir + QStringLiteral("/stations.ini");
    writeFile(stations, QStringLiteral("[Baraj]\nlink = gprs\nhost = 127.0.0.1:%1\n\n"
                                       "[Kuyu]\nlink = rs232\nport = %2\n\n"
                                       "[Kopuk]\nlink = gprs\nhost = 127.0.0.1:%3\nretries = 1\nretry_wait = 0\n\n"
                                       "[Olu]\nlink = gprs\nhost = 127.0.0.1:%4\nretries = 1\nretry_wait = 0\n\n"
                                       "[Bozuk]\nlink = gprs\nhost = 127.0.0.1:%5\nretries = 0\n\n"
                                       "[Kapali]\nlink = gprs\nhost = 127.0.0.1:1\nenabled = false\n")
                            .arg(tcpPort, link, dropPort)
                            .arg(deadPort)
                            .arg(garbagePort));

    const Run first = collect({"--stations", stations, "--once", "--json"});
    QCOMPARE(first.exitCode, 1);
    QCOMPARE(first.lines.size(), 5);
    for (const QString &name : {QStringLiteral("Baraj"), QStringLiteral("Kuyu")}) {
        const QJsonObject visit = first.line(name);
        QCOMPARE(visit.value("result").toString(), QStringLiteral("ok"));
        QCOMPARE(visit.value("attempts").toInt(), 1);
        QCOMPARE(visit.value("requests").toInt(), blocksOf(name == QLatin1String("Baraj") ? tcpImage : ptyImage));
        QVERIFY(!visit.value("newest").toString().isEmpty());
        QVERIFY(qAbs(visit.value("clock_drift_s").toDouble()) < 120);
        QCOMPARE(visit.value("error").toString(), QString());
    }
    QCOMPARE(qint64(first.line("Baraj").value("new_rows").toDouble()), archiveRows(QStringLiteral("5101")));
    QCOMPARE(qint64(first.line("Kuyu").value("new_rows").toDouble()), archiveRows(QStringLiteral("5102")));
    QVERIFY(archiveRows(QStringLiteral("5101")) > 0);
    QVERIFY(QFileInfo(Paths::exportDir()).isDir() && !QDir(Paths::exportDir()).entryList({"5101_*.txt"}).isEmpty());

    const QJsonObject cut = first.line("Kopuk");
    QCOMPARE(cut.value("result").toString(), QStringLiteral("failed"));
    QCOMPARE(cut.value("attempts").toInt(), 2);
    QVERIFY(!cut.value("error").toString().isEmpty());
    // Both attempts kept what they accepted: the second went on after the first.
    const int kept = keptBlocks(QStringLiteral("DROP-C"));
    QVERIFY2(kept >= 5 && kept < blocksOf(dropImage), qPrintable(QString::number(kept)));
    QCOMPARE(first.line("Olu").value("error").toString(), QStringLiteral("Bağlantı sağlanamadı!"));
    QCOMPARE(first.line("Olu").value("attempts").toInt(), 2);
    QCOMPARE(first.line("Bozuk").value("error").toString(), QStringLiteral("Cihazdan gelen bilgi eksik!"));
    QVERIFY(first.line("Kapali").isEmpty());
    for (const char *name : {"Baraj", "Kuyu", "Kopuk", "Olu", "Bozuk"})
        QCOMPARE(logRows(QString::fromLatin1(name)), 1);
    QCOMPARE(logRows(QStringLiteral("Kapali")), 0);

    // A day later: the same port and link, the same loggers with one more
    // day; the dropping logger is visited again on its running simulator.
    tcp.reset();
    pty.reset();
    const int tcpBlocks = blocksOf(tcpImage);
    tcp = serve({"--image", tcpImage, "--serial", "TCP-A", "--tcp", tcpPort, "--grow-days", "1"}, nullptr);
    pty = serve({"--image", ptyImage, "--serial", "PTY-B", "--pty", "--link", link, "--grow-days", "1"}, nullptr);
    QVERIFY(tcp && pty);
    const qint64 rowsBefore = archiveRows(QStringLiteral("5101"));
    const Run second = collect({"--stations", stations, "--once", "--json", "--station", "Baraj", "--station",
                                "Kuyu", "--station", "Kopuk", "--station", "Olu", "--parallel", "2"});
    QCOMPARE(second.exitCode, 1);
    QCOMPARE(second.lines.size(), 4);
    const QJsonObject grown = second.line("Baraj");
    QCOMPARE(grown.value("result").toString(), QStringLiteral("ok"));
    // Block 0 and the kept copy's end are checked, then only the new blocks come.
    QVERIFY2(grown.value("requests").toInt() <= blocksOf(tcpImage) - tcpBlocks + 3,
             qPrintable(QString::number(grown.value("requests").toInt())));
    QVERIFY(grown.value("new_rows").toDouble() > 0);
    QCOMPARE(archiveRows(QStringLiteral("5101")), rowsBefore + qint64(grown.value("new_rows").toDouble()));
    QCOMPARE(second.line("Kuyu").value("result").toString(), QStringLiteral("ok"));
    QCOMPARE(second.line("Kopuk").value("result").toString(), QStringLiteral("failed"));
    QVERIFY(keptBlocks(QStringLiteral("DROP-C")) > kept);

    // Olu has failed twice now; a third failure makes it down.
    QCOMPARE(collect({"--stations", stations, "--once", "--station", "Olu"}).exitCode, 1);
    const Run status = collect({"--stations", stations, "--status", "--json"});
    QCOMPARE(status.exitCode, 0);
    QCOMPARE(status.lines.size(), 6);
    const QStringList keys = {"station", "state", "last_attempt", "last_success", "failures", "newest", "level",
                              "temperature", "clock_drift_s"};
    for (const QString &key : keys)
        QVERIFY2(status.lines.first().contains(key), qPrintable(key));
    QCOMPARE(status.line("Baraj").value("state").toString(), QStringLiteral("ok"));
    QCOMPARE(status.line("Baraj").value("newest").toString(), grown.value("newest").toString());
    QVERIFY(status.line("Baraj").value("level").isDouble());
    QCOMPARE(status.line("Olu").value("state").toString(), QStringLiteral("down"));
    QCOMPARE(status.line("Olu").value("failures").toInt(), 3);
    QCOMPARE(status.line("Kopuk").value("state").toString(), QStringLiteral("late"));
    QCOMPARE(status.line("Kapali").value("state").toString(), QStringLiteral("late"));
    QCOMPARE(status.line("Kapali").value("last_attempt").toString(), QString());
}

// --archive URL: the station's rows, its log line and its kept copy go to
// the server; the local files hold none of them.
void TestVlxCollect::archiveOnServer_rowsLogAndKeptCopyThere_badUrlExitTwo()
{
    PgServer server;
    QVERIFY2(server.start(), qPrintable(server.error()));
    const QString image = writeImage(m_dir, QStringLiteral("SRV-A"), QStringLiteral("5201"), 3);
    QString port;
    auto sim = serve({"--image", image, "--serial", "SRV-A", "--tcp", "0"}, &port);
    QVERIFY(sim);
    const QString stations = m_dir + QStringLiteral("/server.ini");
    writeFile(stations, QStringLiteral("[Sunucu]\nlink = gprs\nhost = 127.0.0.1:%1\n").arg(port));

    const Run run = collect({"--stations", stations, "--once", "--json", "--archive", server.url()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    const qint64 newRows = qint64(run.line("Sunucu").value("new_rows").toDouble());
    QVERIFY(newRows > 0);
    PgConnection check;
    QVERIFY(check.open(server.url()));
    const PgResult counts = check.exec(
        "SELECT (SELECT count(*) FROM datadetay d JOIN data f ON d.data = f.id WHERE f.istasyonno = '5201'), "
        "(SELECT count(*) FROM collection WHERE station = 'Sunucu' AND result = 'ok'), "
        "(SELECT count(*) FROM memory_copy WHERE serial = 'SRV-A')");
    QVERIFY2(counts.ok(), qPrintable(check.errorText()));
    QCOMPARE(counts.number(0, 0), newRows);
    QCOMPARE(counts.number(0, 1), qint64(1));
    QCOMPARE(counts.number(0, 2), qint64(blocksOf(image)));
    QCOMPARE(keptBlocks(QStringLiteral("SRV-A")), 0);
    QVERIFY(archiveRows(QStringLiteral("5201")) <= 0);
    const Run status = collect({"--stations", stations, "--status", "--json", "--archive", server.url()});
    QCOMPARE(status.line("Sunucu").value("state").toString(), QStringLiteral("ok"));

    const Run bad = collect({"--stations", stations, "--once", "--archive", "postgresql://vlx@localhost/x?nosuchoption=1"});
    QCOMPARE(bad.exitCode, 2);
    QVERIFY2(bad.errors.contains(QStringLiteral("nosuchoption")), qPrintable(bad.errors));
}

void TestVlxCollect::stationFile_refused_exitTwoNamingStationAndKey_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("data root not writable") << "[A]\nlink = gprs\nhost = h\n" << "cannot write the data root";
    QTest::newRow("missing link") << "[A]\nhost = h\n" << "station \"A\": key \"link\": missing";
    QTest::newRow("unknown key") << "[A]\nlink = gprs\nhost = h\ncolour = red\n" << "station \"A\": key \"colour\": unknown key";
    QTest::newRow("key of another link") << "[A]\nlink = gprs\nhost = h\nphone = 1\n" << "station \"A\": key \"phone\"";
    QTest::newRow("bad interval") << "[A]\nlink = gprs\nhost = h\ninterval = soon\n" << "station \"A\": key \"interval\"";
    QTest::newRow("bad host") << "[A]\nlink = gprs\nhost = h:99999\n" << "station \"A\": key \"host\"";
    QTest::newRow("missing port") << "[A]\nlink = rs232\n" << "station \"A\": key \"port\": missing";
    QTest::newRow("bad baud") << "[A]\nlink = rs232\nport = p\nbaud = 300\n" << "station \"A\": key \"baud\"";
    QTest::newRow("bad enabled") << "[A]\nlink = gsm\nphone = 5\nenabled = maybe\n" << "station \"A\": key \"enabled\"";
    QTest::newRow("station twice") << "[A]\nlink = gprs\nhost = h\n[B]\nlink = gprs\nhost = g\n[A]\nretries = 1\n"
                                   << "station \"A\": named twice";
    QTest::newRow("key outside a station") << "retries = 1\n[A]\nlink = gprs\nhost = h\n" << "key \"retries\" stands outside";
    QTest::newRow("no file") << QString() << "cannot read the station file";
}

void TestVlxCollect::stationFile_refused_exitTwoNamingStationAndKey()
{
    QFETCH(QString, content);
    QFETCH(QString, message);
    const QString root = m_dir + QStringLiteral("/refused-root");
    QDir(root).removeRecursively();
    QFile::remove(root);
    // A file where the data root should be: no folder can be made there.
    if (QByteArray(QTest::currentDataTag()) == "data root not writable")
        writeFile(root, QStringLiteral("not a folder"));
    const QString file = m_dir + QStringLiteral("/refused.ini");
    QFile::remove(file);
    if (!content.isNull())
        writeFile(file, content);
    QObject owner;
    const Run run = finish(startCollector({"--stations", file, "--once"}, &owner, root));
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
    QVERIFY(run.lines.isEmpty());
    // Nothing was collected, nor the data root touched.
    QVERIFY(!QFileInfo(root).isDir());
}

void TestVlxCollect::dataRoot_heldByACollector_exitThree_staleLockTakenOver()
{
    QString port;
    auto sim = serve({"--tcp", "0", "--delay", "100"}, &port);
    QVERIFY(sim);
    const QString stations = m_dir + QStringLiteral("/locked.ini");
    writeFile(stations, QStringLiteral("[Tek]\nlink = gprs\nhost = 127.0.0.1:%1\n").arg(port));

    QObject owner;
    QProcess *service = startCollector({"--stations", stations}, &owner);
    QVERIFY(service->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(Paths::dataRoot() + QStringLiteral("/vlxcollect.lock")), 20000);
    const Run refused = collect({"--stations", stations, "--once"});
    QCOMPARE(refused.exitCode, 3);
    QVERIFY2(refused.errors.contains(QStringLiteral("another collector")), qPrintable(refused.errors));

    // Killed outright: its lock stays behind, but no process holds it.
    service->kill();
    QVERIFY(service->waitForFinished());
    QVERIFY(QFileInfo::exists(Paths::dataRoot() + QStringLiteral("/vlxcollect.lock")));
    QCOMPARE(collect({"--stations", stations, "--once"}).exitCode, 0);
}

void TestVlxCollect::service_sigterm_abandonsTheVisitKeepsItsBlocksAndExitsZero()
{
    const QString image = writeImage(m_dir, QStringLiteral("LONG-D"), QStringLiteral("5104"), 20);
    QString port;
    auto sim = serve({"--image", image, "--serial", "LONG-D", "--tcp", "0", "--delay", "40"}, &port);
    QVERIFY(sim);
    const QString stations = m_dir + QStringLiteral("/service.ini");
    writeFile(stations, QStringLiteral("[Uzun]\nlink = gprs\nhost = 127.0.0.1:%1\ninterval = 1\n").arg(port));

    QObject owner;
    QProcess *service = startCollector({"--stations", stations, "--json"}, &owner);
    QTRY_VERIFY_WITH_TIMEOUT(keptBlocks(QStringLiteral("LONG-D")) >= 3, 30000);
    service->terminate();
    const Run run = finish(service);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.lines.size(), 1);
    QCOMPARE(run.line("Uzun").value("result").toString(), QStringLiteral("failed"));
    QCOMPARE(run.line("Uzun").value("error").toString(), QStringLiteral("Toplayıcı durduruldu; ziyaret yarıda bırakıldı."));
    QCOMPARE(logRows(QStringLiteral("Uzun")), 1);
    const int kept = keptBlocks(QStringLiteral("LONG-D"));
    QVERIFY(kept >= 3 && kept < blocksOf(image));
    QVERIFY(!QFileInfo::exists(Paths::dataRoot() + QStringLiteral("/vlxcollect.lock")));
}

QTEST_GUILESS_MAIN(TestVlxCollect)
#include "tst_vlxcollect.moc"
