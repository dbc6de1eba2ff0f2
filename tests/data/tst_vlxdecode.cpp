#include "archiveseries.h"
#include "archivetables.h"
#include "downloadbuilder.h"
#include "paths.h"
#include "pgconnection.h"
#include "pgserver.h"
#include "rawdump.h"
#include "stationarchive.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <sys/stat.h>

using namespace DownloadBuilder;

namespace {

const QByteArray exampleExport = "ST1\r\n1234\r\n07/12/2013 14:30\r\n00000000\r\n\r\n"
                                 "|||LVL|TMP|\r\n|||m|C|\r\n|||15|15|\r\n\r\n"
                                 "07/12/2013|14:30|ANL|10.00|100.00| \r\nSSS";

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

void startTool(QProcess &process, const QStringList &arguments, const QString &standardInput = QString())
{
    process.setProgram(TestEnv::binDir() + QStringLiteral("/vlxdecode"));
    process.setArguments(arguments);
    if (!standardInput.isEmpty())
        process.setStandardInputFile(standardInput);
    process.start();
}

Run finished(QProcess &process)
{
    Run run;
    if (!process.waitForStarted(10000) || !process.waitForFinished(120000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

Run runTool(const QStringList &arguments, const QString &standardInput = QString())
{
    QProcess process;
    startTool(process, arguments, standardInput);
    return finished(process);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestVlxDecode : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void decode_workedExample_writesExactExport_data();
    void decode_workedExample_writesExactExport();
    void decode_withoutOutput_writesToExportPathAndPrintsIt();
    void decode_threeFiles_writesEachWhereAsked();
    void archive_twoWritersAtOnce_bothStore();
    void archive_onServer_sameRowsAndAnswersAsSqlite();
    void dump_writesRawDumpLayout();
    void csv_withFlow_writesTheFlowColumn();
    void decode_invalidDownload_exitsOneWithMessage_data();
    void decode_invalidDownload_exitsOneWithMessage();
    void usageOrIoError_exitsTwo_data();
    void usageOrIoError_exitsTwo();

private:
    QString m_dir;
};

void TestVlxDecode::init() { m_dir = TestEnv::freshAppDir(QStringLiteral("tst_vlxdecode")); }

void TestVlxDecode::decode_workedExample_writesExactExport_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("standardInput");
    QTest::newRow("download bytes") << example() << false;
    QTest::newRow("download bytes on standard input") << example() << true;
    QTest::newRow("raw dump of the download") << RawDump::toText(example()) << false;
    QByteArray lf = RawDump::toText(example());
    QTest::newRow("raw dump copied with LF line ends") << lf.replace("\r\n", "\n") << false;
}

void TestVlxDecode::decode_workedExample_writesExactExport()
{
    QFETCH(QByteArray, input);
    QFETCH(bool, standardInput);
    const QString in = m_dir + QStringLiteral("/input.bin");
    const QString out = m_dir + QStringLiteral("/out.txt");
    QVERIFY(writeFile(in, input));
    QVERIFY(writeFile(out, "previous content"));
    const Run run = standardInput ? runTool({QStringLiteral("-"), QStringLiteral("-o"), out}, in)
                                  : runTool({in, QStringLiteral("-o"), out});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(readFile(out), exampleExport);
    QCOMPARE(run.out.trimmed(), QDir::toNativeSeparators(out).toUtf8());
}

void TestVlxDecode::decode_withoutOutput_writesToExportPathAndPrintsIt()
{
    const QString in = m_dir + QStringLiteral("/download.bin");
    QVERIFY(writeFile(in, example()));
    QVERIFY(!QDir(Paths::exportDir()).exists());
    const Run run = runTool({in});
    QCOMPARE(run.exitCode, 0);
    const QString expected = Paths::exportDir() + QStringLiteral("/1234_071213.txt");
    QCOMPARE(run.out.trimmed(), QDir::toNativeSeparators(expected).toUtf8());
    QCOMPARE(readFile(expected), exampleExport);
}

void TestVlxDecode::decode_threeFiles_writesEachWhereAsked()
{
    // Two files of station 1234, the second of another install day, and one
    // of station 77; each export equals the tool's of that file's bytes alone.
    const QByteArray first = exampleHeader() + measurement(0x41200000, 0x41200000);
    const QByteArray second = header("ST1", "1234", bcdTime(8, 12, 13, 9, 0), bytes({0x00, 0x15}),
                                     "LVL", "TMP", "m", "C")
        + measurement(0x41C40000, 0x41200000);
    const QByteArray third = header("ST2", "77", bcdTime(9, 12, 13, 9, 0), bytes({0x00, 0x30}), "A",
                                    "B", "x", "y")
        + missing() + measurement(0x40000000, 0x40000000);
    const QString in = m_dir + QStringLiteral("/download.bin");
    QVERIFY(writeFile(in, first + second + third + erased()));
    QStringList alone;
    for (const QByteArray &file : {first, second, third}) {
        const QString part = m_dir + QStringLiteral("/part.bin");
        const QString out = m_dir + QStringLiteral("/part%1.txt").arg(alone.size());
        QVERIFY(writeFile(part, file + erased()));
        QCOMPARE(runTool({part, QStringLiteral("-o"), out}).exitCode, 0);
        alone << out;
    }
    const QStringList names{"1234_071213.txt", "1234_081213.txt", "77_091213.txt"};

    const Run run = runTool({in});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QDir(Paths::exportDir()).entryList(QDir::Files), names);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(readFile(Paths::exportDir() + QLatin1Char('/') + names.at(i)), readFile(alone.at(i)));
    QCOMPARE(run.out.trimmed().split('\n').size(), 3);

    const QString folder = m_dir + QStringLiteral("/out/exports");
    QCOMPARE(runTool({in, QStringLiteral("-d"), folder}).exitCode, 0);
    QCOMPARE(QDir(folder).entryList(QDir::Files), names);
    QCOMPARE(readFile(folder + QStringLiteral("/77_091213.txt")), readFile(alone.at(2)));

    const QString only = m_dir + QStringLiteral("/only.txt");
    const Run newest = runTool({in, QStringLiteral("-o"), only});
    QCOMPARE(newest.exitCode, 0);
    QCOMPARE(readFile(only), readFile(alone.at(2)));
    QCOMPARE(newest.out.trimmed(), QDir::toNativeSeparators(only).toUtf8());

    // --db stores every file in the archive, once.
    const QString db = m_dir + QStringLiteral("/archive.db");
    const Run stored = runTool({in, QStringLiteral("-d"), folder, QStringLiteral("--db"), db});
    QCOMPARE(stored.exitCode, 0);
    QVERIFY2(stored.out.contains("3 files, 6 rows added, 0 removed"), stored.out.constData());
    QVERIFY(runTool({in, QStringLiteral("-o"), only, QStringLiteral("--db"), db}).out.contains(
        "3 files, 0 rows added"));
    {
        QSqlDatabase archive = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        archive.setDatabaseName(db);
        QVERIFY(archive.open());
        QSqlQuery query(QStringLiteral("SELECT group_concat(istasyonno || '@' || kurulumtarihi, ' '), "
                                       "(SELECT count(*) FROM datadetay) FROM data"),
                        archive);
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(),
                 QStringLiteral("1234@2013-12-07 14:30:00 1234@2013-12-08 09:00:00 77@2013-12-09 09:00:00"));
        QCOMPARE(query.value(1).toInt(), 6);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    QFile notSqlite(m_dir + QStringLiteral("/garbage.db"));
    QVERIFY(notSqlite.open(QIODevice::WriteOnly) && notSqlite.write(QByteArray(2048, 'x')) == 2048);
    notSqlite.close();
    const Run refused = runTool({in, QStringLiteral("--db"), notSqlite.fileName()});
    QCOMPARE(refused.exitCode, 2);
    QVERIFY2(refused.err.contains(QString::fromUtf8("Veritabanı bozuk: %1").arg(notSqlite.fileName()).toUtf8()),
             refused.err.constData());
    QCOMPARE(readFile(notSqlite.fileName()), QByteArray(2048, 'x'));

    // Station 77's file again, its one record changed: kept beside the archived one.
    QVERIFY(writeFile(in, third.left(third.size() - 8) + measurement(0x40400000, 0x40400000) + erased()));
    const Run revised = runTool({in, QStringLiteral("-d"), folder, QStringLiteral("--db"), db});
    QCOMPARE(revised.exitCode, 0);
    QVERIFY2(revised.err.contains("warning: station 77, file installed 09.12.2013 09:00: the download "
                                  "disagrees with the archived records (1 archived, 1 in the download)"),
             revised.err.constData());

    // Two files of the same station and day: the later one is written.
    QVERIFY(writeFile(in, first + exampleHeader() + missing() + erased()));
    const QString same = m_dir + QStringLiteral("/same");
    QCOMPARE(runTool({in, QStringLiteral("-d"), same}).exitCode, 0);
    QCOMPARE(QDir(same).entryList(QDir::Files), QStringList{"1234_071213.txt"});
    QVERIFY(readFile(same + QStringLiteral("/1234_071213.txt")).contains("|H\r\nSSS"));
}

void TestVlxDecode::archive_twoWritersAtOnce_bothStore()
{
    // Two memories of some 23,000 records each, stored into one new database
    // at once: the second writer waits for the first one's transaction.
    QStringList inputs;
    for (const char *station : {"77", "78"}) {
        inputs << m_dir + QStringLiteral("/%1.bin").arg(station);
        QCOMPARE(QProcess::execute(TestEnv::binDir() + QStringLiteral("/vlxlogger-sim"),
                                   {"--days", "120", "--files", "2", "--station-no", station,
                                    "--write-image", inputs.last()}),
                 0);
    }
    const QString db = m_dir + QStringLiteral("/shared.db");
    const QString connection = QStringLiteral("shared");
    QProcess first;
    QProcess second;
    startTool(first, {inputs.at(0), QStringLiteral("-d"), m_dir, QStringLiteral("--db"), db});
    startTool(second, {inputs.at(1), QStringLiteral("-d"), m_dir, QStringLiteral("--db"), db});
    for (QProcess *writer : {&first, &second}) {
        const Run run = finished(*writer);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("2 files, 46344 rows added"), run.out.constData());
    }
    {
        QSqlDatabase archive = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        archive.setDatabaseName(db);
        QVERIFY(archive.open());
        QSqlQuery query(QStringLiteral("SELECT (SELECT count(*) FROM data), (SELECT count(*) FROM datadetay)"),
                        archive);
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 4);
        QCOMPARE(query.value(1).toInt(), 2 * 46344);
    }
    QSqlDatabase::removeDatabase(connection);
}

// The same memory through --db into an SQLite file and into a private
// server: the same report, the same list of files and the same series.
void TestVlxDecode::archive_onServer_sameRowsAndAnswersAsSqlite()
{
    PgServer server;
    QVERIFY2(server.start(), qPrintable(server.error()));
    const QString in = m_dir + QStringLiteral("/memory.bin");
    QCOMPARE(QProcess::execute(TestEnv::binDir() + QStringLiteral("/vlxlogger-sim"),
                               {"--days", "40", "--files", "2", "--write-image", in}),
             0);
    const QString db = m_dir + QStringLiteral("/archive.db");
    QByteArray reports[2];
    for (int again = 0; again < 2; ++again) {
        const Run local = runTool({in, QStringLiteral("-d"), m_dir, QStringLiteral("--db"), db});
        const Run remote = runTool({in, QStringLiteral("-d"), m_dir, QStringLiteral("--db"), server.url()});
        QCOMPARE(local.exitCode, 0);
        QVERIFY2(remote.exitCode == 0, remote.err.constData());
        const QByteArray name = QStringLiteral("vlx@127.0.0.1:%1/postgres").arg(server.port()).toUtf8();
        // The last line tells what the store did, after the archive's name.
        const QByteArray localLine = local.out.trimmed().split('\n').last();
        const QByteArray remoteLine = remote.out.trimmed().split('\n').last();
        QVERIFY2(remoteLine.startsWith(name + ": 2 files, "), remote.out.constData());
        reports[again] = remoteLine.mid(name.size());
        QCOMPARE(reports[again], localLine.mid(QDir::toNativeSeparators(db).toUtf8().size()));
    }
    QVERIFY2(reports[1].contains(": 2 files, 0 rows added"), reports[1].constData());
    {
        QSqlDatabase file = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("local"));
        file.setDatabaseName(db);
        QVERIFY(file.open());
        StationArchive local(file);
        auto connection = std::make_shared<PgConnection>();
        QVERIFY(connection->open(server.url()));
        StationArchive onServer(connection);
        // Read back from the server's rows, not from what vlxdecode cached.
        QVERIFY(QDir(onServer.cacheFolder()).exists());
        QVERIFY(QDir(onServer.cacheFolder()).removeRecursively());
        // No filter: every file, from both stores.
        const QList<ArchivedFile> files = local.files();
        const QList<ArchivedFile> served = onServer.files();
        QVERIFY2(served.size() == 2, qPrintable(onServer.lastError()));
        QCOMPARE(served.size(), files.size());
        for (int i = 0; i < files.size(); ++i) {
            const auto listed = [](const ArchivedFile &a) {
                return QStringList{a.stationNo, a.installTime.toString(), QString::number(a.recordCount),
                                   a.firstRecord.toString(), a.lastRecord.toString()};
            };
            QCOMPARE(listed(served[i]), listed(files[i]));
            ArchiveSeries a;
            ArchiveSeries b;
            QVERIFY(local.series(files[i].id, &a));
            QVERIFY2(onServer.series(served[i].id, &b), qPrintable(onServer.lastError()));
            QCOMPARE(b.times, a.times);
            QCOMPARE(b.values[0], a.values[0]);
            QCOMPARE(b.summaries.size(), a.summaries.size());
            QCOMPARE(b.channelName[1], a.channelName[1]);
        }
        file.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("local"));
}

void TestVlxDecode::dump_writesRawDumpLayout()
{
    const QString in = m_dir + QStringLiteral("/download.bin");
    const QString out = m_dir + QStringLiteral("/raw_data.txt");
    QVERIFY(writeFile(in, bytes({0x44, 0x02})));
    const Run run = runTool({QStringLiteral("--dump"), in, QStringLiteral("-o"), out});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(readFile(out), QByteArray("68\t44\tD\r\n02\t02\t\x02\r\n\r\n2 bytes data received.\r\n"));

    // and the dump of a whole download decodes like the download itself
    QVERIFY(writeFile(in, example()));
    QCOMPARE(runTool({QStringLiteral("--dump"), in, QStringLiteral("-o"), out}).exitCode, 0);
    const QString exported = m_dir + QStringLiteral("/again.txt");
    QCOMPARE(runTool({out, QStringLiteral("-o"), exported}).exitCode, 0);
    QCOMPARE(readFile(exported), exampleExport);
}

void TestVlxDecode::decode_invalidDownload_exitsOneWithMessage_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("withOutput");
    QTest::addColumn<QByteArray>("message");
    const QByteArray invalid = "Veri hatalı!";
    QTest::newRow("empty file") << QByteArray() << true << invalid;
    QTest::newRow("empty file, without -o") << QByteArray() << false << invalid;
    QTest::newRow("two bytes FF") << bytes({0xFF, 0xFF}) << true << invalid;
    QTest::newRow("ends in FF FF FB") << example().chopped(1) + bytes({0xFB}) << true << invalid;
    QTest::newRow("raw dump of a download ending in FF FF FB")
        << RawDump::toText(example().chopped(1) + bytes({0xFB})) << true << invalid;
    QTest::newRow("raw dump of nothing") << RawDump::toText(QByteArray()) << true << invalid;
    QTest::newRow("text that is neither") << QByteArray("hello\r\n") << true << invalid;
    const QByteArray noHeader = "Veride dosya başlığı bulunamadı.";
    const QByteArray cut = "Verideki dosya başlığı eksik.";
    const QByteArray headless = measurement(0x41200000, 0x41200000) + erased();
    QTest::newRow("no header, with -o") << headless << true << noHeader;
    QTest::newRow("no header, without -o") << headless << false << noHeader;
    QTest::newRow("erased memory only") << erased(8) << false << noHeader;
    const QByteArray cutHeader = bytes({0xDD, 0xDD, 0xDD}) + "ST1\x02" "12" + erased(8);
    QTest::newRow("cut header, with -o") << cutHeader << true << cut;
    QTest::newRow("cut header, without -o") << cutHeader << false << cut;
}

void TestVlxDecode::decode_invalidDownload_exitsOneWithMessage()
{
    QFETCH(QByteArray, input);
    QFETCH(bool, withOutput);
    QFETCH(QByteArray, message);
    const QString in = m_dir + QStringLiteral("/input.bin");
    const QString out = m_dir + QStringLiteral("/out.txt");
    QVERIFY(writeFile(in, input));
    const Run run = runTool(withOutput ? QStringList{in, QStringLiteral("-o"), out} : QStringList{in});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err.trimmed(), message);
    QVERIFY(run.out.isEmpty());
    QVERIFY(!QFile::exists(out));
    QVERIFY(QDir(Paths::exportDir()).entryList(QDir::Files).isEmpty());
}

void TestVlxDecode::csv_withFlow_writesTheFlowColumn()
{
    // 14:30 and 15:00 inside the rated range, 14:45 missing, 15:15 above it.
    const QByteArray download = exampleHeader() + measurement(0x41200000, 0x42C80000) + missing()
        + measurement(0x41480000, 0x41A80000) + measurement(0x41A00000, 0x41A80000) + erased(11);
    const QString in = m_dir + QStringLiteral("/download.bin");
    QVERIFY(writeFile(in, download));
    QDir().mkpath(Paths::ratingDir());
    QVERIFY(writeFile(Paths::ratingDir() + QStringLiteral("/1234.abk"),
                      "<ROOT><STATION CODE=\"1234\"/><VALUES UNIT=\"l/s\"><VALUE LEVEL=\"10\" FLOW=\"1\"/>"
                      "<VALUE LEVEL=\"12\" FLOW=\"2\"/><VALUE LEVEL=\"14\" FLOW=\"4\"/></VALUES></ROOT>"));
    const QString out = m_dir + QStringLiteral("/out.csv");
    const Run run = runTool({in, QStringLiteral("--csv"), out, QStringLiteral("--flow")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(readFile(out), QByteArray("time,LVL [m],TMP [C],Debi [l/s]\r\n"
                                       "2013-12-07T14:30,10.00,100.00,1.000\r\n"
                                       "2013-12-07T14:45,,,\r\n"
                                       "2013-12-07T15:00,12.50,21.00,2.500\r\n"
                                       "2013-12-07T15:15,20.00,21.00,\r\n"));
    QVERIFY(!QDir(Paths::exportDir()).exists());   // the CSV instead of the text exports
}

void TestVlxDecode::usageOrIoError_exitsTwo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("errorPart");
    const QByteArray notRegular = "is not a regular file";
    QTest::newRow("no input") << QStringList{} << QByteArray("INPUT");
    QTest::newRow("two inputs") << QStringList{"a", "b"} << QByteArray("INPUT");
    QTest::newRow("unknown option") << QStringList{"--frobnicate", "@in"} << QByteArray("frobnicate");
    QTest::newRow("dump without output") << QStringList{"--dump", "@in"} << QByteArray("-o");
    QTest::newRow("input missing") << QStringList{"@dir/none.bin", "-o", "@dir/x.txt"}
                                   << QByteArray("none.bin");
    QTest::newRow("output folder missing") << QStringList{"@in", "-o", "@dir/no/such/x.txt"}
                                           << QByteArray("x.txt");
    QTest::newRow("dump output folder missing")
        << QStringList{"--dump", "@in", "-o", "@dir/no/such/raw.txt"} << QByteArray("raw.txt");
    QTest::newRow("--dump with --db") << QStringList{"--dump", "@in", "-o", "@dir/x.txt", "--db", "@dir/a.db"}
                                      << QByteArray("--db");
    QTest::newRow("--db with a URL that does not parse")
        << QStringList{"@in", "--db", "postgresql://vlx@localhost/x?nosuchoption=1"} << QByteArray("nosuchoption");
    QTest::newRow("-o and -d together") << QStringList{"@in", "-o", "@dir/x.txt", "-d", "@dir/no"}
                                         << QByteArray("-d");
    QTest::newRow("endless standard input") << QStringList{"-", "-o", "@dir/x.txt"}
                                            << QByteArray("larger than");
    QTest::newRow("a character device") << QStringList{"/dev/zero", "-o", "@dir/x.txt"} << notRegular;
    QTest::newRow("a FIFO") << QStringList{"@dir/fifo", "-o", "@dir/x.txt"} << notRegular;
    QTest::newRow("a folder") << QStringList{"@dir", "-o", "@dir/x.txt"} << notRegular;
    QTest::newRow("--flow without --csv") << QStringList{"@in", "--flow"} << QByteArray("--flow needs --csv");
    QTest::newRow("--csv with --dump") << QStringList{"--dump", "@in", "-o", "@dir/x.txt", "--csv", "@dir/x.csv"}
                                       << QByteArray("--csv");
    QTest::newRow("--flow without a rating table") << QStringList{"@in", "--csv", "@dir/x.csv", "--flow"}
                                                   << QByteArray("no rating for station 1234: Dosya yok");
    QTest::newRow("input larger than any dump") << QStringList{"@big", "-o", "@dir/x.txt"}
                                                << QByteArray("larger than");
}

void TestVlxDecode::usageOrIoError_exitsTwo()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, errorPart);
    const QString in = m_dir + QStringLiteral("/input.bin");
    QVERIFY(writeFile(in, example()));
    if (arguments.contains(QStringLiteral("@big"))) {
        // one byte more than sixteen memories: a sparse file, cheap to make
        QFile big(m_dir + QStringLiteral("/big.bin"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(16 * 9863168 + 1));
    }
    // A writer that never comes: opening the FIFO would block the tool for good.
    QVERIFY(mkfifo(QFile::encodeName(m_dir + QStringLiteral("/fifo")).constData(), 0600) == 0);
    for (QString &a : arguments)
        a.replace(QStringLiteral("@in"), in).replace(QStringLiteral("@big"), m_dir + QStringLiteral("/big.bin"))
            .replace(QStringLiteral("@dir"), m_dir);
    const Run run = runTool(arguments, QStringLiteral("/dev/zero"));
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(errorPart), run.err.constData());
    QVERIFY(!QDir(m_dir + QStringLiteral("/no")).exists());
}

QTEST_GUILESS_MAIN(TestVlxDecode)
#include "tst_vlxdecode.moc"
