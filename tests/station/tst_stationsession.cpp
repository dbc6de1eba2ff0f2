// A whole logger visit through the station engine alone, under a
// QCoreApplication and against the simulator as its own process: over TCP
// and over a pseudo-terminal, a second visit after the logger recorded more,
// a line dropped in the middle, and the faults that must end an operation
// with a clear word instead of a hang.
#include "archivelocation.h"
#include "archivetables.h"
#include "memorycopy.h"
#include "paths.h"
#include "simprocess.h"
#include "stationdecisions.h"
#include "stationsession.h"
#include "testenv.h"
#include "waits.h"

#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QTcpServer>
#include <QtTest>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The decoder tool's export of the newest file of an image.
QByteArray exportByTool(const QString &image, const QString &dir)
{
    const QString output = dir + QStringLiteral("/tool-export.txt");
    QProcess tool;
    tool.start(TestEnv::binDir() + QStringLiteral("/vlxdecode"), {image, QStringLiteral("-o"), output});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return QByteArray();
    return readFile(output);
}

int blocksOf(qint64 bytes) { return int((bytes + 263) / 264); }

// A simulator serving an image on TCP or on a pseudo-terminal, and a
// session connected to it.
struct Visit {
    std::unique_ptr<SimProcess> sim;
    QString target;   // the pty's path, or the TCP port
    bool start(bool overTcp, QStringList arguments)
    {
        arguments << (overTcp ? QStringList{"--tcp", "0"} : QStringList{"--pty"});
        sim = std::make_unique<SimProcess>(arguments);
        target = sim->waitForLine(overTcp ? QStringLiteral("^TCP 127\\.0\\.0\\.1:(\\d+)$")
                                          : QStringLiteral("^PTY (\\S+)$"));
        return !target.isEmpty() && !sim->waitForLine(QStringLiteral("^(READY)$")).isEmpty();
    }
};

class Session : public StationSession
{
public:
    DeclineEverything answers;
    QSignalSpy ends{this, &StationSession::finished};
    Session() : StationSession(&answers) {}

    void connectTo(bool overTcp, const QString &target)
    {
        if (overTcp)
            connectGprs(QStringLiteral("127.0.0.1"), quint16(target.toUInt()));
        else
            connectRs232(target);
    }
    // Waits for the end of `operation` and returns how it ended.
    StationOutcome waitFor(Operation operation, int timeoutMs = 60000)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            for (int i = 0; i < ends.size(); ++i) {
                if (ends.at(i).at(0).value<Operation>() == operation) {
                    const StationOutcome outcome = ends.at(i).at(1).value<StationOutcome>();
                    ends.removeAt(i);
                    return outcome;
                }
            }
            QTest::qWait(10);
        }
        StationOutcome never;
        never.result = StationOutcome::Failed;
        never.error = QStringLiteral("never ended");
        return never;
    }
};

} // namespace

Q_DECLARE_METATYPE(StationOutcome)

class TestStationSession : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void visits_downloadOnlyWhatIsNew_exportIsTheDecoderTools_data();
    void visits_downloadOnlyWhatIsNew_exportIsTheDecoderTools();
    void droppedLine_nextVisitResumesAfterTheKeptBlocks();
    void faults_endTheOperationWithAnError_data();
    void faults_endTheOperationWithAnError();
    void secondOperation_whileOneRuns_isRefused();

private:
    QString m_dir;
};

void TestStationSession::initTestCase()
{
    qRegisterMetaType<StationOutcome>();
    qRegisterMetaType<StationSession::Operation>();
    Waits::Values &w = Waits::current();
    w.blockPause = 1;
    w.connectSettle = 0;
    w.gprsSettle = 0;
    w.watchdogRS232 = 100;
    w.watchdogGPRS = 100;
    // A block request counts as unanswered only after a delay no reply takes
    // even on a loaded machine.
    w.delayRS232 = 10000;
    w.delayGPRS = 10000;
    w.tcpConnect = 5000;
    w.tcpWrite = 5000;
    w.serialWrite = 50;
    m_dir = TestEnv::freshAppDir(QStringLiteral("tst_stationsession"));
    QVERIFY(QDir().mkpath(Paths::exportDir()));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(Paths::databaseFile());
    QVERIFY(db.open());
    QVERIFY(createTables());
}

void TestStationSession::visits_downloadOnlyWhatIsNew_exportIsTheDecoderTools_data()
{
    QTest::addColumn<bool>("overTcp");
    QTest::newRow("GPRS over TCP") << true;
    QTest::newRow("RS232 over a pseudo-terminal") << false;
}

void TestStationSession::visits_downloadOnlyWhatIsNew_exportIsTheDecoderTools()
{
    QFETCH(bool, overTcp);
    const QString serial = overTcp ? QStringLiteral("TCP-1") : QStringLiteral("PTY-1");
    const QString image = m_dir + QStringLiteral("/%1.bin").arg(serial);
    QProcess write;
    // A station of its own per row: the rows share one archive, where the
    // other row's longer file would leave this one's first visit nothing new.
    write.start(simPath(), {"--days", "3", "--station-no", overTcp ? "4321" : "4322", "--write-image", image});
    QVERIFY(write.waitForFinished(30000));
    const qint64 firstSize = readFile(image).size();

    for (int visitNo = 0; visitNo < 2; ++visitNo) {
        Visit visit;
        QStringList arguments{"--image", image, "--serial", serial};
        if (visitNo == 1)
            arguments << QStringList{"--grow-days", "1"};
        QVERIFY(visit.start(overTcp, arguments));
        Session session;
        session.connectTo(overTcp, visit.target);
        QVERIFY(session.waitFor(StationSession::Connect).ok());
        const StationOutcome read = session.waitFor(StationSession::ReadParameters);
        QVERIFY2(read.ok(), qPrintable(read.error));
        QVERIFY(session.parameters().has_value());
        QCOMPARE(session.parameters()->serialNo, serial);

        session.download();
        const StationOutcome downloaded = session.waitFor(StationSession::Download);
        QVERIFY2(downloaded.ok(), qPrintable(downloaded.error));
        const QByteArray memory = readFile(image);
        QCOMPARE(session.transferData(), memory);
        QCOMPARE(readFile(downloaded.exportToOpen), exportByTool(image, m_dir));
        QVERIFY(downloaded.newestRecord.isValid());
        if (visitNo == 0) {
            QCOMPARE(session.blockRequests(), blocksOf(memory.size()));
        } else {
            // Block 0 and the copy's end are checked, then only the new blocks come.
            const int newBlocks = blocksOf(memory.size()) - int(firstSize / 264);
            QVERIFY2(session.blockRequests() <= newBlocks + 2,
                     qPrintable(QStringLiteral("%1 requests, %2 new blocks").arg(session.blockRequests()).arg(newBlocks)));
            QVERIFY(downloaded.summary.newRecords > 0);
        }
        session.disconnectLink();
        QVERIFY(!session.isOpen());
    }
}

void TestStationSession::droppedLine_nextVisitResumesAfterTheKeptBlocks()
{
    const QString image = m_dir + QStringLiteral("/resume.bin");
    QProcess write;
    write.start(simPath(), {"--days", "4", "--write-image", image});
    QVERIFY(write.waitForFinished(30000));
    const QByteArray memory = readFile(image);

    {
        // The read chain, VER and six blocks, then the line drops.
        Visit visit;
        QVERIFY(visit.start(true, {"--image", image, "--serial", "RESUME-1", "--close-after", "10"}));
        Session session;
        session.connectTo(true, visit.target);
        QVERIFY(session.waitFor(StationSession::ReadParameters).ok());
        QSignalSpy closed(&session, &StationSession::linkClosed);
        session.download();
        const StationOutcome cut = session.waitFor(StationSession::Download);
        QCOMPARE(cut.result, StationOutcome::Failed);
        QVERIFY(!cut.error.isEmpty());
        QCOMPARE(closed.size(), 1);
    }
    const int kept = int(MemoryCopy(Paths::memoryCopyFile()).load(QStringLiteral("RESUME-1")).size() / 264);
    QVERIFY2(kept >= 1 && kept <= 6, qPrintable(QString::number(kept)));

    Visit visit;
    QVERIFY(visit.start(true, {"--image", image, "--serial", "RESUME-1"}));
    Session session;
    session.connectTo(true, visit.target);
    QVERIFY(session.waitFor(StationSession::ReadParameters).ok());
    session.download();
    QVERIFY(session.waitFor(StationSession::Download).ok());
    QCOMPARE(session.transferData(), memory);
    QVERIFY(session.blockRequests() <= blocksOf(memory.size()) - kept + 2);
}

void TestStationSession::faults_endTheOperationWithAnError_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("error");
    QTest::newRow("silent logger") << "--silent" << int(StationSession::ReadParameters) << "Cihaz yanıt vermiyor.";
    QTest::newRow("record too short") << "--short-par" << int(StationSession::ReadParameters)
                                      << "Cihazdan gelen bilgi eksik!";
    QTest::newRow("connection refused") << "refused" << int(StationSession::Connect) << "Bağlantı sağlanamadı!";
    QTest::newRow("serial port missing") << "no port" << int(StationSession::Connect) << "Port açılamadı";
    // Nothing listens at the server's port: the export is written all the same.
    QTest::newRow("archive server down") << "server down" << int(StationSession::Download)
                                         << "Veriler kaydedilemedi: vlx@127.0.0.1:%1/postgres: ";
}

void TestStationSession::faults_endTheOperationWithAnError()
{
    QFETCH(QString, fault);
    QFETCH(int, operation);
    QFETCH(QString, error);
    Session session;
    session.setReplyTimeout(500);
    Visit visit;
    if (fault == QLatin1String("refused")) {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString port = QString::number(closed.serverPort());
        closed.close();
        session.connectTo(true, port);
    } else if (fault == QLatin1String("server down")) {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        error = error.arg(closed.serverPort());
        ArchiveLocation down;
        down.url = QStringLiteral("postgresql://vlx@127.0.0.1:%1/postgres").arg(closed.serverPort());
        closed.close();
        ArchiveLocation::setCurrent(down);
        QVERIFY(visit.start(true, {QStringLiteral("--station-no"), QStringLiteral("4329")}));
        session.connectTo(true, visit.target);
        QVERIFY(session.waitFor(StationSession::Connect).ok());
        QVERIFY(session.waitFor(StationSession::ReadParameters).ok());
        session.download();
    } else if (fault == QLatin1String("no port")) {
        session.connectTo(false, m_dir + QStringLiteral("/no-such-tty"));
    } else {
        QStringList arguments{fault};
        if (fault == QLatin1String("--short-par"))
            arguments << QStringLiteral("5");
        QVERIFY(visit.start(true, arguments));
        session.connectTo(true, visit.target);
    }
    const StationOutcome outcome = session.waitFor(StationSession::Operation(operation), 20000);
    ArchiveLocation::setCurrent(ArchiveLocation());
    QCOMPARE(outcome.result, StationOutcome::Failed);
    if (fault == QLatin1String("server down")) {
        QVERIFY2(outcome.error.startsWith(error), qPrintable(outcome.error));
        QVERIFY(!QDir(Paths::exportDir()).entryList({QStringLiteral("4329_*.txt")}).isEmpty());
    } else {
        QCOMPARE(outcome.error, error);
    }
    QCOMPARE(session.operation(), StationSession::NoOperation);
}

void TestStationSession::secondOperation_whileOneRuns_isRefused()
{
    Visit visit;
    QVERIFY(visit.start(true, {"--delay", "300"}));
    Session session;
    session.connectTo(true, visit.target);
    QVERIFY(session.waitFor(StationSession::Connect).ok());
    QCOMPARE(session.operation(), StationSession::ReadParameters);
    session.download();
    QCOMPARE(session.waitFor(StationSession::Download, 1000).result, StationOutcome::Refused);
    // The read goes on undisturbed, and no VER went out in its middle.
    QVERIFY(session.waitFor(StationSession::ReadParameters).ok());
    visit.sim->waitForLine(QStringLiteral("(ALO)"));
    QVERIFY2(!visit.sim->lines().join(QLatin1Char('\n')).contains(QLatin1String("VER")),
             qPrintable(visit.sim->lines().join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestStationSession)
#include "tst_stationsession.moc"
