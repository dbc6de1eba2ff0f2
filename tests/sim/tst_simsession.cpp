#include "commands.h"
#include "gprscommunication.h"
#include "rs232communication.h"
#include "simserver.h"
#include "waits.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QByteArray FB3(3, char(0xFB));

QStringList fieldsOf(const QByteArray &reply)
{
    return QString::fromUtf8(reply.mid(3, reply.size() - 4)).split(QChar(0x02));
}

int blockNumber(const QByteArray &reply)
{
    return reply.size() < 3 ? -1 : (quint8(reply.at(1)) << 8) | quint8(reply.at(2));
}

QByteArray uploadFrame(const QByteArray &password, char action)
{
    const char stx = 0x02;
    return QByteArray(1, stx) + "PAR" + password + action + "SN1" + stx + "Kuyu 9" + stx + "909" + stx
           + "0100" + stx + "0102241200004" + stx + "0.00" + stx + "cm" + stx + "Seviye" + stx
           + "60" + stx + "100" + stx + '\r';
}

template <typename Link>
class Session
{
public:
    explicit Session(Link *link) : m_link(link), m_spy(link, &Link::dataReceived) {}

    // Sends one frame and returns the next message the link delivers.
    QByteArray ask(const QByteArray &frame, bool binary = false, int timeoutMs = 5000)
    {
        const qsizetype before = m_spy.size();
        m_link->send(frame.constData(), binary);
        QElapsedTimer timer;
        timer.start();
        while (m_spy.size() == before && timer.elapsed() < timeoutMs)
            QTest::qWait(5);
        return m_spy.size() > before ? m_spy.at(before).at(0).toByteArray() : QByteArray("<no reply>");
    }
    QSignalSpy &spy() { return m_spy; }

private:
    Link *m_link;
    QSignalSpy m_spy;
};

} // namespace

// Whole exchanges with the simulator over the program's own links: the serial
// link on the simulator's pseudo-terminal and the GPRS link on its TCP port.
class TestSimSession : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void rs232_session_everyCommandAnswered();
    void tcp_session_queriesBlocksAndEnd();
    void rs232_splitReplies_eachDeliveredOnceWhole();
    void rs232_duplicateBlock_twoSeparateMessages();
    void rs232_delay_replyComesLater();
    void rs232_baud_pacesTheOutput();
    void tcp_garbageAndShortBlock_deliveredAsTheyAre();
    void tcp_closeAfterRequests_connectionClosedAfterTheAnswer();
    void tcp_silent_nothingArrives();
    void pty_link_symlinkToTheSlave();
    void modem_dialQueryHangUp();
    void modem_busy_noConnection();
};

void TestSimSession::initTestCase()
{
    Waits::current().tcpConnect = 5000;
    Waits::current().tcpWrite = 2000;
}

void TestSimSession::rs232_session_everyCommandAnswered()
{
    SimServer sim;
    QVERIFY(sim.listenPty());
    GeneratorOptions o;
    o.files = 2;
    o.daysPerFile = 1;
    sim.logger()->setMemory(generateMemory(o));
    RS232Communication link;
    link.setPort(sim.ptyPath());
    QVERIFY(link.open(sim.ptyPath()));
    Session<RS232Communication> s(&link);

    const QByteArray par = s.ask(Commands::oku());
    QVERIFY(par.startsWith("PAR"));
    QCOMPARE(fieldsOf(par).size(), 19);
    QCOMPARE(fieldsOf(par).at(2), QStringLiteral("Yeni"));
    const QByteArray dos = s.ask(Commands::dku());
    QVERIFY(dos.startsWith("DOS"));
    QCOMPARE(fieldsOf(dos).at(1), QStringLiteral("2"));
    QVERIFY(s.ask(Commands::alo()).startsWith("ALR"));

    const QStringList list = fieldsOf(s.ask(Commands::ver()));
    const qint64 used = list.value(7).toLongLong() * 1056 + list.value(8).toLongLong();
    QCOMPARE(used, sim.logger()->usedBytes());
    QByteArray data;
    for (int block = 0; block < 3; ++block) {
        const QByteArray reply = s.ask(Commands::akt(block * 264 / 1056, block * 264 % 1056), true);
        QCOMPARE(reply.at(0), 'D');
        QCOMPARE(blockNumber(reply), block);
        QCOMPARE(reply.size(), 270);
        QVERIFY(reply.endsWith(FB3));
        data += reply.mid(3, 264);
    }
    QCOMPARE(data, sim.logger()->memory().left(3 * 264));
    const qint64 past = (used + 263) / 264 * 264;
    QCOMPARE(s.ask(Commands::akt(int(past / 1056), int(past % 1056)), true), QByteArray("BITTI\x02"));

    QCOMPARE(s.ask(Commands::sif(QStringLiteral("1234"), QStringLiteral("5678"))), QByteArray("DEG\x02\r"));
    QCOMPARE(s.ask(Commands::sen(QStringLiteral("1234"))), QByteArray("SYANLIS\x02\r"));
    QCOMPARE(s.ask(Commands::sen(QStringLiteral("5678"))), QByteArray("SIFIR\x02\r"));
    QCOMPARE(s.ask(uploadFrame("1234", '0')), QByteArray("SYANLIS\x02\r"));
    QCOMPARE(s.ask(uploadFrame("5678", '0')), QByteArray("UKLEND\x02\r"));
    QCOMPARE(sim.logger()->stationName(), QStringLiteral("Kuyu 9"));
    QCOMPARE(s.ask(QByteArray("\x02" "AYU1.00\x02" "2.00\x02" "3.00\x02" "4.00\x02" "1201\r")),
             QByteArray("AYUOK\x02\r"));
    QCOMPARE(fieldsOf(s.ask(Commands::alo())).value(6), QStringLiteral("1201"));
    QCOMPARE(fieldsOf(s.ask(Commands::oku())).value(2), QStringLiteral("Kuyu 9"));
    link.close();
}

void TestSimSession::tcp_session_queriesBlocksAndEnd()
{
    SimServer sim;
    QVERIFY(sim.listenTcp(0));
    QVERIFY(sim.tcpPort() != 0);
    QCOMPARE(sim.tcpAddress(), QHostAddress(QHostAddress::LocalHost));
    GPRSCommunication link;
    link.setPort(QString::number(sim.tcpPort()));
    QVERIFY(link.open(QStringLiteral("127.0.0.1")));
    Session<GPRSCommunication> s(&link);
    QVERIFY(s.ask(Commands::oku()).startsWith("PAR"));
    QVERIFY(s.ask(Commands::dku()).startsWith("DOS"));
    QVERIFY(s.ask(Commands::alo()).startsWith("ALR"));
    QVERIFY(s.ask(Commands::ver()).startsWith("DOS"));
    QCOMPARE(blockNumber(s.ask(Commands::akt(0, 0), true)), 0);
    QCOMPARE(blockNumber(s.ask(Commands::akt(0, 264), true)), 1);
    QCOMPARE(s.ask(Commands::akt(9339, 792), true), QByteArray("BITTI\x02"));
    QCOMPARE(sim.logger()->commandsReceived(),
             (QStringList {"OKU", "DKU", "ALO", "VER", "AKT", "AKT", "AKT"}));
    link.close();
}

void TestSimSession::rs232_splitReplies_eachDeliveredOnceWhole()
{
    SimServer sim;
    QVERIFY(sim.listenPty());
    QSignalSpy messages(&sim, &SimServer::message);
    sim.logger()->faults().splitReplies = true;
    sim.logger()->faults().splitPauseMs = 30;
    RS232Communication link;
    QVERIFY(link.open(sim.ptyPath()));
    Session<RS232Communication> s(&link);
    SimLogger reference;
    for (int i = 0; i < 3; ++i) {
        const QByteArray dos = s.ask(Commands::dku());
        QCOMPARE(dos, reference.handle(Commands::dku()).value(0));
        const QByteArray block = s.ask(Commands::akt(0, 264), true);
        QCOMPARE(block, reference.handle(Commands::akt(0, 264)).value(0));
    }
    QCOMPARE(s.spy().size(), 6);
    bool reported = false;
    for (const QList<QVariant> &m : messages)
        reported = reported || m.at(0).toString().startsWith(QStringLiteral("FAULT reply split"));
    QVERIFY(reported);
}

void TestSimSession::rs232_duplicateBlock_twoSeparateMessages()
{
    SimServer sim;
    QVERIFY(sim.listenPty());
    sim.logger()->faults().duplicateBlock = 1;
    RS232Communication link;
    QVERIFY(link.open(sim.ptyPath()));
    Session<RS232Communication> s(&link);
    const QByteArray first = s.ask(Commands::akt(0, 264), true);
    QTRY_COMPARE(s.spy().size(), 2);
    QCOMPARE(s.spy().at(1).at(0).toByteArray(), first);
    QCOMPARE(blockNumber(first), 1);
    QCOMPARE(first.size(), 270);
}

void TestSimSession::rs232_delay_replyComesLater()
{
    SimServer sim;
    QVERIFY(sim.listenPty());
    sim.logger()->faults().replyDelayMs = 400;
    RS232Communication link;
    QVERIFY(link.open(sim.ptyPath()));
    Session<RS232Communication> s(&link);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(s.ask(Commands::oku()).startsWith("PAR"));
    // A coarse timer may end the delay 5 % early.
    QVERIFY2(timer.elapsed() >= 350, qPrintable(QString::number(timer.elapsed())));
}

void TestSimSession::rs232_baud_pacesTheOutput()
{
    SimServer sim;
    QVERIFY(sim.listenPty());
    sim.setBaud(9600);   // 960 bytes a second: a whole block takes about 280 ms
    RS232Communication link;
    QVERIFY(link.open(sim.ptyPath()));
    Session<RS232Communication> s(&link);
    QElapsedTimer timer;
    timer.start();
    const QByteArray block = s.ask(Commands::akt(0, 0), true);
    QCOMPARE(block.size(), 270);
    QVERIFY2(timer.elapsed() >= 250, qPrintable(QString::number(timer.elapsed())));
}

void TestSimSession::tcp_garbageAndShortBlock_deliveredAsTheyAre()
{
    SimServer sim;
    QVERIFY(sim.listenTcp());
    sim.logger()->faults().garbageBlock = 0;
    sim.logger()->faults().shortBlock = 1;
    sim.logger()->faults().wrongNumberBlock = 2;
    sim.logger()->faults().endAfterBlocks = 4;
    GPRSCommunication link;
    link.setPort(QString::number(sim.tcpPort()));
    QVERIFY(link.open(QStringLiteral("127.0.0.1")));
    Session<GPRSCommunication> s(&link);
    s.ask(Commands::ver());
    const QByteArray garbage = s.ask(Commands::akt(0, 0), true);
    QVERIFY(!garbage.startsWith('D'));
    QVERIFY(garbage.endsWith(FB3));
    QCOMPARE(s.ask(Commands::akt(0, 0), true).size(), 270);
    QCOMPARE(s.ask(Commands::akt(0, 264), true).size(), 260);
    QCOMPARE(blockNumber(s.ask(Commands::akt(0, 528), true)), 1);
    QCOMPARE(s.ask(Commands::akt(0, 528), true), QByteArray("BITTI\x02"));
}

void TestSimSession::tcp_closeAfterRequests_connectionClosedAfterTheAnswer()
{
    SimServer sim;
    QVERIFY(sim.listenTcp());
    sim.logger()->faults().closeAfterRequests = 2;
    GPRSCommunication link;
    link.setPort(QString::number(sim.tcpPort()));
    QVERIFY(link.open(QStringLiteral("127.0.0.1")));
    QSignalSpy closed(&link, &GPRSCommunication::connectionClosed);
    Session<GPRSCommunication> s(&link);
    QVERIFY(s.ask(Commands::oku()).startsWith("PAR"));
    QVERIFY(s.ask(Commands::alo()).startsWith("ALR"));
    QTRY_VERIFY(closed.size() >= 1);
    QVERIFY(!sim.hasTcpClient() || !link.isOpen());
}

void TestSimSession::tcp_silent_nothingArrives()
{
    SimServer sim;
    QVERIFY(sim.listenTcp());
    sim.logger()->faults().silent = true;
    GPRSCommunication link;
    link.setPort(QString::number(sim.tcpPort()));
    QVERIFY(link.open(QStringLiteral("127.0.0.1")));
    Session<GPRSCommunication> s(&link);
    QCOMPARE(s.ask(Commands::oku(), false, 300), QByteArray("<no reply>"));
    QTRY_COMPARE(sim.logger()->commandsReceived(), QStringList {QStringLiteral("OKU")});
    sim.logger()->faults().silent = false;
    QVERIFY(s.ask(Commands::oku()).startsWith("PAR"));
}

void TestSimSession::pty_link_symlinkToTheSlave()
{
    const QString link = QDir::tempPath() + QStringLiteral("/tst_simsession_tty");
    {
        SimServer sim;
        QVERIFY(sim.listenPty(link));
        QCOMPARE(QFileInfo(link).symLinkTarget(), sim.ptyPath());
        RS232Communication serial;
        QVERIFY(serial.open(link));
        Session<RS232Communication> s(&serial);
        QVERIFY(s.ask(Commands::oku()).startsWith("PAR"));
    }
    QVERIFY(!QFileInfo::exists(link));
}

void TestSimSession::modem_dialQueryHangUp()
{
    SimServer sim;
    sim.setModem(true);
    sim.setModemDialDelay(100);
    QVERIFY(sim.listenPty());
    QSerialPort port(sim.ptyPath());
    QVERIFY(port.open(QIODevice::ReadWrite));
    QByteArray received;
    connect(&port, &QSerialPort::readyRead, this, [&] { received += port.readAll(); });

    port.write("at\r");
    QTRY_COMPARE(received, QByteArray("\r\nOK\r\n"));
    received.clear();
    port.write("ATD05321234567\r");
    QTRY_COMPARE(received, QByteArray("\r\nCONNECT 9600\r\n"));
    QVERIFY(sim.modemOnline());
    received.clear();
    port.write(Commands::oku());
    QTRY_VERIFY(received.endsWith('\r'));
    QVERIFY(received.startsWith("PAR"));
    received.clear();
    port.write("+++ATH\r");
    QTRY_COMPARE(received, QByteArray("\r\nOK\r\n"));
    QVERIFY(!sim.modemOnline());
    received.clear();
    port.write("ATZ");
    QTRY_COMPARE(received, QByteArray("\r\nOK\r\n"));
}

void TestSimSession::modem_busy_noConnection()
{
    SimServer sim;
    sim.setModem(true);
    sim.setModemBusy(true);
    sim.setModemDialDelay(50);
    QVERIFY(sim.listenPty());
    QSerialPort port(sim.ptyPath());
    QVERIFY(port.open(QIODevice::ReadWrite));
    QByteArray received;
    connect(&port, &QSerialPort::readyRead, this, [&] { received += port.readAll(); });
    port.write("ATD123\r");
    QTRY_COMPARE(received, QByteArray("\r\nBUSY\r\n"));
    QVERIFY(!sim.modemOnline());
    sim.setModemNoCarrier(true);
    received.clear();
    port.write("ATD123\r");
    QTRY_COMPARE(received, QByteArray("\r\nNO CARRIER\r\n"));
}

QTEST_GUILESS_MAIN(TestSimSession)
#include "tst_simsession.moc"
