#include "newestfile.h"
#include "abakreader.h"
#include "ratingtable.h"
#include "commands.h"
#include "decodedownload.h"
#include "gprscommunication.h"
#include "rs232communication.h"
#include "simoptions.h"
#include "simprocess.h"
#include "simserver.h"
#include "testenv.h"
#include "vlxdata.h"
#include "vlxfile.h"
#include "waits.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestSimCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void options_parsed_data();
    void options_parsed();
    void options_invalid_rejected_data();
    void options_invalid_rejected();
    void options_apply_setsStateAndFaults();
    void writeImage_isWhatADownloadCollects_andVlxdecodeExportsIt();
    void loadImage_servesTheSameBytes();
    void growDays_lastFileGoesOnAndImageIsWrittenBack();
    void ratingTable_writtenWhenMissingAndNeverOverAUsersTable();
    void tcp_printsPortAndAnswers();
    void pty_printsPathAndLink_andAnswersOverSerial();
    void usageError_exitsTwo();

private:
    QString m_dir;
};

void TestSimCli::initTestCase()
{
    Waits::current().tcpConnect = 5000;
    Waits::current().tcpWrite = 2000;
    m_dir = TestEnv::freshAppDir(QStringLiteral("tst_simcli"));
}

void TestSimCli::options_parsed_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("check");
    QTest::newRow("pty") << QStringList {"--pty"} << "pty";
    QTest::newRow("link implies pty") << QStringList {"--link", "/tmp/x"} << "pty link";
    QTest::newRow("modem implies pty") << QStringList {"--modem"} << "pty modem";
    QTest::newRow("busy implies modem") << QStringList {"--modem-busy"} << "pty modem busy";
    QTest::newRow("refusals imply a busy modem") << QStringList {"--modem-refusals", "1"} << "refusals";
    QTest::newRow("tcp ephemeral") << QStringList {"--tcp", "0"} << "tcp0";
    QTest::newRow("full memory recorded every minute") << QStringList {"--full-memory"} << "full";
    QTest::newRow("full memory at a given interval") << QStringList {"--full-memory", "--interval", "5"}
                                                     << "full 5";
    QTest::newRow("modem timing implies modem") << QStringList {"--modem-delay", "20", "--modem-lf-apart"}
                                                << "modem timing";
    QTest::newRow("faults") << QStringList {"--split", "--delay", "50", "--ignore-block", "3",
                                             "--short-block", "4", "--close-after", "2",
                                             "--short-par", "9", "--silent", "--ignore-alarm-set"}
                            << "faults";
}

void TestSimCli::options_parsed()
{
    QFETCH(QStringList, args);
    QFETCH(QString, check);
    SimOptions o;
    QString error;
    QVERIFY2(o.parse(QStringList {"vlxlogger-sim"} + args, &error), qPrintable(error));
    if (check == QLatin1String("pty")) {
        QVERIFY(o.pty);
        QCOMPARE(o.tcpPort, -1);
    } else if (check == QLatin1String("pty link")) {
        QVERIFY(o.pty);
        QCOMPARE(o.link, QStringLiteral("/tmp/x"));
    } else if (check == QLatin1String("pty modem")) {
        QVERIFY(o.pty && o.modem && !o.modemBusy);
    } else if (check == QLatin1String("pty modem busy")) {
        QVERIFY(o.pty && o.modem && o.modemBusy);
        QCOMPARE(o.modemRefusals, -1);
    } else if (check == QLatin1String("refusals")) {
        QVERIFY(o.pty && o.modem && o.modemBusy);
        QCOMPARE(o.modemRefusals, 1);
    } else if (check == QLatin1String("modem timing")) {
        QVERIFY(o.pty && o.modem && o.modemLfApart);
        QCOMPARE(o.modemDelayMs, 20);
    } else if (check == QLatin1String("full")) {
        QVERIFY(o.fullMemory);
        QCOMPARE(o.interval, 1);
    } else if (check == QLatin1String("full 5")) {
        QCOMPARE(o.interval, 5);
    } else if (check == QLatin1String("tcp0")) {
        QVERIFY(!o.pty);
        QCOMPARE(o.tcpPort, 0);
        QCOMPARE(o.address, QStringLiteral("127.0.0.1"));
    } else {
        QVERIFY(o.split && o.silent && o.ignoreAlarmSet);
        QCOMPARE(o.delayMs, 50);
        QCOMPARE(o.ignoreBlock, 3);
        QCOMPARE(o.shortBlock, 4);
        QCOMPARE(o.closeAfter, 2);
        QCOMPARE(o.parameterFields, 9);
        QCOMPARE(o.duplicateBlock, -1);
    }
}

void TestSimCli::options_invalid_rejected_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("port not a number") << QStringList {"--tcp", "x"};
    QTest::newRow("port too big") << QStringList {"--tcp", "70000"};
    QTest::newRow("six files") << QStringList {"--files", "6"};
    QTest::newRow("unknown option") << QStringList {"--frobnicate"};
    QTest::newRow("positional argument") << QStringList {"extra"};
    QTest::newRow("growing without an image") << QStringList {"--grow-days", "2"};
}

void TestSimCli::options_invalid_rejected()
{
    QFETCH(QStringList, args);
    SimOptions o;
    QString error;
    QVERIFY(!o.parse(QStringList {"vlxlogger-sim"} + args, &error));
    QVERIFY(!error.isEmpty());
}

void TestSimCli::options_apply_setsStateAndFaults()
{
    SimOptions o;
    QString error;
    QVERIFY(o.parse({"vlxlogger-sim", "--password", "99", "--station-name", "Baraj", "--files", "3",
                     "--days", "1", "--interval", "30", "--duplicate-block", "5", "--end-after", "7",
                     "--baud", "9600", "--ignore-alarm-set"},
                    &error));
    SimServer server;
    QVERIFY2(o.apply(&server, &error), qPrintable(error));
    SimLogger *logger = server.logger();
    QCOMPARE(logger->password(), QStringLiteral("99"));
    QCOMPARE(logger->stationName(), QStringLiteral("Baraj"));
    QCOMPARE(logger->recordInterval(), 30);
    QCOMPARE(logger->memoryState().files().size(), 3);
    QCOMPARE(logger->faults().duplicateBlock, 5);
    QCOMPARE(logger->faults().endAfterBlocks, 7);
    QVERIFY(logger->faults().ignoreAlarmSet);
    const std::unique_ptr<VLXFile> file = newestFile(logger->memory());
    QCOMPARE(file->stationName(), QStringLiteral("Baraj"));
    QCOMPARE(file->recordInterval(), 30);
}

void TestSimCli::writeImage_isWhatADownloadCollects_andVlxdecodeExportsIt()
{
    const QString image = m_dir + QStringLiteral("/image.bin");
    QProcess sim;
    sim.start(simPath(), {"--files", "3", "--days", "1", "--station-no", "321", "--write-image", image});
    QVERIFY(sim.waitForFinished(30000));
    QCOMPARE(sim.exitCode(), 0);
    const QByteArray bytes = readFile(image);
    QVERIFY(sim.readAllStandardOutput().contains(QByteArray("IMAGE ") + image.toUtf8() + ' '
                                                 + QByteArray::number(bytes.size())));
    QVERIFY(isValidDownload(bytes));
    // by default the image holds missing records and a gap closed by a time stamp
    const std::unique_ptr<VLXFile> decoded = newestFile(bytes);
    int missing = 0, stamped = 0;
    for (const VLXData *d : decoded->records()) {
        missing += d->missing() ? 1 : 0;
        stamped += d->timeSet() ? 1 : 0;
    }
    QVERIFY(missing > 0);
    QCOMPARE(stamped, 2);

    // the same bytes as the whole AKT loop would collect from such a logger
    SimLogger logger;
    logger.setMemoryImage(bytes);
    QByteArray collected;
    for (qint64 a = 0;; a += 264) {
        const QByteArray reply = logger.handle(Commands::akt(int(a / 1056), int(a % 1056))).value(0);
        if (!reply.startsWith('D'))
            break;
        collected += reply.mid(3, reply.size() - 6);
    }
    QCOMPARE(collected, bytes);
    QCOMPARE(logger.memoryState().files().size(), 3);

    const QString out = m_dir + QStringLiteral("/export.txt");
    QProcess decode;
    decode.start(TestEnv::binDir() + QStringLiteral("/vlxdecode"), {image, QStringLiteral("-o"), out});
    QVERIFY(decode.waitForFinished(30000));
    QCOMPARE(decode.exitCode(), 0);
    const QByteArray text = readFile(out);
    QVERIFY(text.startsWith("Yeni\r\n321\r\n"));
    QVERIFY(text.contains("|ANL|"));
    QVERIFY(text.contains("|ORT|"));
}

void TestSimCli::loadImage_servesTheSameBytes()
{
    const QString image = m_dir + QStringLiteral("/loaded.bin");
    GeneratorOptions g;
    g.files = 2;
    g.daysPerFile = 1;
    const QByteArray bytes = generateMemory(g).image;
    QFile f(image);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    SimProcess sim({"--tcp", "0", "--image", image});
    const QString port = sim.waitForLine(QStringLiteral("^TCP 127\\.0\\.0\\.1:(\\d+)$"));
    QVERIFY2(!port.isEmpty(), qPrintable(sim.lines().join('\n')));
    GPRSCommunication link;
    link.setPort(port);
    QVERIFY(link.open(QStringLiteral("127.0.0.1")));
    QSignalSpy spy(&link, &GPRSCommunication::dataReceived);
    link.send(Commands::dku().constData(), false);
    QTRY_COMPARE(spy.size(), 1);
    const QStringList f2 = QString::fromUtf8(spy.at(0).at(0).toByteArray()).split(QChar(0x02));
    QCOMPARE(f2.value(1), QStringLiteral("2"));
    QCOMPARE(f2.value(7).toLongLong() * 1056 + f2.value(8).toLongLong(), bytes.size());
    link.send(Commands::akt(0, 0).constData(), true);
    QTRY_COMPARE(spy.size(), 2);
    QCOMPARE(spy.at(1).at(0).toByteArray().mid(3, 264), bytes.left(264));
    link.close();
}

void TestSimCli::growDays_lastFileGoesOnAndImageIsWrittenBack()
{
    const QString image = m_dir + QStringLiteral("/grown.bin");
    GeneratorOptions g;
    g.daysPerFile = 1;
    const QByteArray before = generateMemory(g).image;
    QFile f(image);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(before);
    f.close();
    QProcess sim;
    sim.start(simPath(), {"--image", image, "--grow-days", "2", "--missing-every", "0", "--gap-minutes", "0"});
    QVERIFY(sim.waitForFinished(30000));
    QCOMPARE(sim.exitCode(), 0);
    const QByteArray after = readFile(image);
    QVERIFY(sim.readAllStandardOutput().contains("IMAGE " + image.toUtf8() + ' ' + QByteArray::number(after.size())));

    // The recorded bytes stay; the erased end mark is written over.
    QVERIFY(isValidDownload(after));
    QCOMPARE(after.left(before.size() - 8), before.left(before.size() - 8));
    QList<QDateTime> instants;
    const std::unique_ptr<VLXFile> file = newestFile(after);
    for (const VLXData *d : file->records()) {
        if (d->type() == VLXData::Instant)
            instants.append(d->time());
    }
    // One day and two more at 15 minutes, every slot one interval after the last.
    QCOMPARE(instants.size(), 3 * 96);
    for (int i = 1; i < instants.size(); ++i)
        QCOMPARE(instants.at(i - 1).secsTo(instants.at(i)), 15 * 60);
}

void TestSimCli::ratingTable_writtenWhenMissingAndNeverOverAUsersTable()
{
    const QString table = AbakReader::tablePath(QStringLiteral("4321"));
    QFile::remove(table);
    const QStringList arguments{"--station-no", "4321", "--rating-table", "--write-image", m_dir + "/r.bin"};
    QProcess sim;
    sim.start(simPath(), arguments);
    QVERIFY(sim.waitForFinished(30000));
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(sim.readAllStandardOutput().contains("RATING " + table.toUtf8() + '\n'));
    // Two periods whose flows cover the simulated levels; the label reads the first.
    RatingCurve curve;
    QString error;
    QVERIFY2(RatingTable::loadCurve(QStringLiteral("4321"), &curve, &error), qPrintable(error));
    QCOMPARE(curve.periods.size(), std::size_t(2));
    QVERIFY(curve.flowAt(120, QDateTime::currentSecsSinceEpoch()) > curve.flowAt(120, 0));
    AbakReader label;
    QVERIFY(label.load(QStringLiteral("4321")) && label.flowForLevel(120.5f) > 0);

    QFile edited(table);
    QVERIFY(edited.open(QIODevice::WriteOnly | QIODevice::Truncate) && edited.write("<ROOT/>") == 7);
    edited.close();
    sim.start(simPath(), arguments);
    QVERIFY(sim.waitForFinished(30000));
    QVERIFY(sim.readAllStandardOutput().contains("RATING " + table.toUtf8() + " kept"));
    QCOMPARE(readFile(table), QByteArray("<ROOT/>"));
}

void TestSimCli::tcp_printsPortAndAnswers()
{
    SimProcess sim({"--tcp", "0", "--station-name", "Kuyu 1"});
    const QString port = sim.waitForLine(QStringLiteral("^TCP 127\\.0\\.0\\.1:(\\d+)$"));
    QVERIFY2(!port.isEmpty(), qPrintable(sim.lines().join('\n')));
    QVERIFY(port.toInt() > 0);
    GPRSCommunication link;
    link.setPort(port);
    QVERIFY(link.open(QStringLiteral("127.0.0.1")));
    QSignalSpy spy(&link, &GPRSCommunication::dataReceived);
    link.send(Commands::oku().constData(), false);
    QTRY_COMPARE(spy.size(), 1);
    QVERIFY(spy.at(0).at(0).toByteArray().startsWith("PAR"));
    QVERIFY(spy.at(0).at(0).toByteArray().contains("\x02Kuyu 1\x02"));
    QVERIFY(!sim.waitForLine(QStringLiteral("^(command OKU)$")).isEmpty());
    link.close();
}

void TestSimCli::pty_printsPathAndLink_andAnswersOverSerial()
{
    const QString linkPath = m_dir + QStringLiteral("/ttyVLX");
    {
        SimProcess sim({"--pty", "--link", linkPath});
        const QString path = sim.waitForLine(QStringLiteral("^PTY (/dev/\\S+)$"));
        QVERIFY2(!path.isEmpty(), qPrintable(sim.lines().join('\n')));
        QVERIFY(!sim.waitForLine(QStringLiteral("^(READY)$")).isEmpty());
        QCOMPARE(QFileInfo(linkPath).symLinkTarget(), path);
        RS232Communication serial;
        QVERIFY(serial.open(linkPath));
        QSignalSpy spy(&serial, &RS232Communication::dataReceived);
        serial.send(Commands::alo().constData(), false);
        QTRY_COMPARE(spy.size(), 1);
        QVERIFY(spy.at(0).at(0).toByteArray().startsWith("ALR"));
        serial.close();
        sim.process().terminate();
        QVERIFY(sim.process().waitForFinished(5000));
        QCOMPARE(sim.process().exitCode(), 0);
    }
    QVERIFY(!QFileInfo::exists(linkPath));
}

void TestSimCli::usageError_exitsTwo()
{
    QProcess sim;
    sim.start(simPath(), {"--files", "9"});
    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitCode(), 2);
    QVERIFY(sim.readAllStandardError().contains("--files"));

    sim.start(simPath(), QStringList());
    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitCode(), 2);
}

QTEST_GUILESS_MAIN(TestSimCli)
#include "tst_simcli.moc"
