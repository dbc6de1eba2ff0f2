#include "gprscommunication.h"
#include "messagecapture.h"
#include "tcpconnection.h"
#include "waits.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

const QByteArray blockEnd("\xFB\xFB\xFB", 3);

QByteArray block(char first, int size)
{
    QByteArray bytes(1, first);
    for (int i = 1; i < size - 3; ++i)
        bytes.append(static_cast<char>((i * 29 + 3) % 256));
    return bytes + blockEnd;
}

const QString connecting = QStringLiteral("(02) TCP Connecting tcpconnection:24");
const QString readyReadEntry = QStringLiteral("(13) TCP ReadyRead tcpconnection:109");
const QString readyReadBytes = QStringLiteral("(13) TCP ReadyRead tcpconnection:111");
const QString gprsReadyRead = QStringLiteral("(14) GPRS ReadyRead gprscommunication:68");
const QString disconnecting = QStringLiteral("(16) TCP Disonnecting tcpconnection:51");
const QString disconnected = QStringLiteral("(17) TCP Disonnected tcpconnection:104");

} // namespace

// The GPRS link against a TCP server on the loopback interface that plays the
// logger's modem.
class TestTcpLink : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void port_defaultIs80_data();
    void port_defaultIs80();
    void setPort_readsDecimalText_data();
    void setPort_readsDecimalText();
    void open_reachesServer_withOneTraceLine();
    void open_whileOpen_returnsFlagAndOnlyTraces();
    void open_refused_returnsFalseWithoutSocketError_data();
    void open_refused_returnsFalseWithoutSocketError();
    void peerCloses_socketErrorCode1ThenConnectionClosed();
    void peerCloses_thenReopen_deliversEachMessageOnce();
    void send_writesCommandBytesExactly_data();
    void send_writesCommandBytesExactly();
    void send_whileClosed_returnsFalse();
    void reads_joinedIntoMessages_data();
    void reads_joinedIntoMessages();
    void exchange_traceLinesInOrder();
    void close_reportsClosedAndStopsDelivery();
    void flood_withoutEnd_droppedAtCapAndLinkStaysUsable();

private:
    QTcpSocket *acceptPeer();
    bool playReads(const QByteArrayList &reads);
    qint64 bytesTakenIn() const;

    QTcpServer *m_server = nullptr;
    GPRSCommunication *m_link = nullptr;
    QTcpSocket *m_peer = nullptr;
    QStringList m_events;
    QByteArrayList m_chunks;
    QByteArrayList m_messages;
};

void TestTcpLink::initTestCase()
{
    // Shortened so that a fault shows as a failure, not as a hung run.
    Waits::current().tcpConnect = 5000;
    Waits::current().tcpWrite = 2000;
}

void TestTcpLink::init()
{
    m_events.clear();
    m_chunks.clear();
    m_messages.clear();
    m_server = new QTcpServer;
    QVERIFY(m_server->listen(QHostAddress::LocalHost, 0));
    m_link = new GPRSCommunication;
    m_link->setPort(QString::number(m_server->serverPort()));

    // One ordered record of everything the link reports.
    connect(m_link, &GPRSCommunication::debugging, this,
            [this](const QString &line) { m_events << line; });
    connect(m_link, &GPRSCommunication::socketError, this, [this](int error, const QString &text) {
        m_events << QStringLiteral("socketError %1 %2").arg(error).arg(text);
    });
    connect(m_link, &GPRSCommunication::connectionClosed, this,
            [this] { m_events << QStringLiteral("connectionClosed"); });
    connect(m_link, &GPRSCommunication::dataReceived, this,
            [this](const QByteArray &message) { m_messages << message; });
    connect(m_link->connection(), &TCPConnection::dataReceived, this,
            [this](const QByteArray &chunk) { m_chunks << chunk; });
}

void TestTcpLink::cleanup()
{
    delete m_link;
    m_link = nullptr;
    delete m_server;   // also deletes the accepted peer sockets
    m_server = nullptr;
    m_peer = nullptr;
}

QTcpSocket *TestTcpLink::acceptPeer()
{
    if (!m_server->hasPendingConnections() && !m_server->waitForNewConnection(3000))
        return nullptr;
    m_peer = m_server->nextPendingConnection();
    return m_peer;
}

qint64 TestTcpLink::bytesTakenIn() const
{
    qint64 total = m_link->connection()->pendingBytes();
    for (const QByteArray &chunk : m_chunks)
        total += chunk.size();
    return total;
}

bool TestTcpLink::playReads(const QByteArrayList &reads)
{
    qint64 expected = bytesTakenIn();
    for (const QByteArray &read : reads) {
        m_peer->write(read);
        m_peer->flush();
        expected += read.size();
        if (!QTest::qWaitFor([&] { return bytesTakenIn() >= expected; }, 5000))
            return false;
        if (bytesTakenIn() != expected)
            return false;
    }
    return true;
}

void TestTcpLink::port_defaultIs80_data()
{
    QTest::addColumn<bool>("communication");
    QTest::newRow("connection") << false;
    QTest::newRow("communication's connection") << true;
}

void TestTcpLink::port_defaultIs80()
{
    QFETCH(bool, communication);
    GPRSCommunication gprs;
    TCPConnection tcp;
    QCOMPARE(communication ? gprs.connection()->port() : tcp.port(), 80);
    QVERIFY(!gprs.isOpen());
    QVERIFY(!tcp.isOpen());
}

void TestTcpLink::setPort_readsDecimalText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("port");
    QTest::newRow("80") << "80" << 80;
    QTest::newRow("8080") << "8080" << 8080;
    QTest::newRow("65535") << "65535" << 65535;
    QTest::newRow("leading zeros read as decimal") << "010" << 10;
    QTest::newRow("not a number") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("number then letters") << "12ab" << 0;
    QTest::newRow("hexadecimal") << "0x50" << 0;
    QTest::newRow("negative") << "-1" << 0;
    QTest::newRow("beyond the port range") << "65536" << 0;
}

void TestTcpLink::setPort_readsDecimalText()
{
    QFETCH(QString, text);
    QFETCH(int, port);
    m_link->setPort(text);
    QCOMPARE(m_link->connection()->port(), port);
}

void TestTcpLink::open_reachesServer_withOneTraceLine()
{
    QVERIFY(m_link->open(QStringLiteral("127.0.0.1")));
    QVERIFY(m_link->isOpen());
    QVERIFY(acceptPeer());
    // The socket's own "connected" report came before its routings existed.
    QCOMPARE(m_events, QStringList{connecting});
}

void TestTcpLink::open_whileOpen_returnsFlagAndOnlyTraces()
{
    QVERIFY(m_link->open(QStringLiteral("127.0.0.1")));
    QVERIFY(acceptPeer());
    QVERIFY(m_link->open(QStringLiteral("127.0.0.1")));
    QCOMPARE(m_events, (QStringList{connecting, connecting}));
    QVERIFY(!m_server->waitForNewConnection(200));
    QVERIFY(m_link->isOpen());
}

void TestTcpLink::open_refused_returnsFalseWithoutSocketError_data()
{
    QTest::addColumn<bool>("afterPeerClosed");
    QTest::newRow("fresh link") << false;
    QTest::newRow("after a connection the peer ended") << true;
}

void TestTcpLink::open_refused_returnsFalseWithoutSocketError()
{
    QFETCH(bool, afterPeerClosed);
    if (afterPeerClosed) {
        QVERIFY(m_link->open(QStringLiteral("127.0.0.1")));
        QVERIFY(acceptPeer());
        m_peer->disconnectFromHost();
        QTRY_VERIFY(!m_link->isOpen());
    }
    // Nobody listens at the port any more.
    m_server->close();
    m_events.clear();

    QElapsedTimer timer;
    timer.start();
    QVERIFY(!m_link->open(QStringLiteral("127.0.0.1")));
    QVERIFY(timer.elapsed() < Waits::current().tcpConnect);
    QVERIFY(!m_link->isOpen());
    QTest::qWait(0);
    QCOMPARE(m_events, QStringList{connecting});
}

void TestTcpLink::peerCloses_socketErrorCode1ThenConnectionClosed()
{
    MessageCapture capture;
    QVERIFY(m_link->open(QStringLiteral("127.0.0.1")));
    QVERIFY(acceptPeer());
    m_events.clear();

    m_peer->disconnectFromHost();
    QTRY_VERIFY(m_events.contains(QStringLiteral("connectionClosed")));
    QVERIFY(!m_link->isOpen());

    QCOMPARE(m_events.filter(QStringLiteral("socketError")).size(), 1);
    const QString error = m_events.first();
    QVERIFY2(error.startsWith(QStringLiteral("socketError 1 ")), qPrintable(error));
    const QString text = error.mid(QStringLiteral("socketError 1 ").size());
    QCOMPARE(m_events.at(1),
             QStringLiteral("(XX) SockerError. 1 - %1 tcpconnection:143").arg(text));

    // Each report of the disconnection says so once, with its trace line;
    // it may come once or twice.
    const int closedReports = m_events.count(QStringLiteral("connectionClosed"));
    QVERIFY(closedReports == 1 || closedReports == 2);
    QCOMPARE(m_events.count(disconnected), closedReports);
    QCOMPARE(m_events.count(disconnecting), 1);
    QCOMPARE(m_events.size(), 2 + 2 * closedReports + 1);
    QVERIFY(m_events.indexOf(QStringLiteral("connectionClosed")) > 1);

    QCOMPARE(capture.startingWith(QStringLiteral("The remote host closed the connection.")),
             QStringList{QStringLiteral("The remote host closed the connection. tcpconnection:133")});
}

void TestTcpLink::peerCloses_thenReopen_deliversEachMessageOnce()
{
    for (int round = 0; round < 3; ++round) {
        QVERIFY(m_link->open(QStringLiteral("127.0.0.1")));
        QVERIFY(acceptPeer());
        QVERIFY(playReads({"PAR\r"}));
        m_peer->disconnectFromHost();
        QTRY_VERIFY(!m_link->isOpen());
    }
    QCOMPARE(m_messages, (QByteArrayList{"PAR\r", "PAR\r", "PAR\r"}));
    QCOMPARE(m_events.filter(QStringLiteral("socketError")).size(), 3);
}

void TestTcpLink::send_writesCommandBytesExactly_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<bool>("binary");
    QTest::newRow("parameter read") << QByteArray("\x02OKU\r") << false;
    QTest::newRow("block request") << QByteArray("\x02" "AKT9339\x02" "0792\x02\r") << true;
    QTest::newRow("8-bit text") << QByteArray("\x02SEN\xC4\xB1\r") << false;
    QTest::newRow("long upload") << (QByteArray("\x02" "AYU") + QByteArray(5000, 'y') + "\r") << false;
}

void TestTcpLink::send_writesCommandBytesExactly()
{
    QFETCH(QByteArray, command);
    QFETCH(bool, binary);
    QVERIFY(m_link->open(QStringLiteral("127.0.0.1")));
    QVERIFY(acceptPeer());
    QVERIFY(m_link->send(command.constData(), binary));
    QByteArray got;
    QTRY_COMPARE((got += m_peer->readAll()).size(), command.size());
    QCOMPARE(got, command);
    QCOMPARE(m_link->connection()->binaryReply(), binary);
}

void TestTcpLink::send_whileClosed_returnsFalse()
{
    QVERIFY(!m_link->send("\x02OKU\r", true));
    QVERIFY(m_link->connection()->binaryReply());
    QVERIFY(m_link->open(QStringLiteral("127.0.0.1")));
    QVERIFY(acceptPeer());
    m_link->close();
    QVERIFY(!m_link->send("\x02OKU\r", false));
    QVERIFY(!m_peer->waitForReadyRead(200));
}

void TestTcpLink::reads_joinedIntoMessages_data()
{
    QTest::addColumn<bool>("binary");
    QTest::addColumn<QByteArrayList>("reads");
    QTest::addColumn<QByteArrayList>("messages");
    QTest::addColumn<QByteArray>("left");
    QTest::addColumn<int>("diagnostics");

    const QByteArray d = block('D', 270);
    const QByteArray x = block('A', 270);
    QTest::newRow("O, then K CR") << false << QByteArrayList{"O", "K\r"}
                                  << QByteArrayList{"OK\r"} << QByteArray() << 0;
    QTest::newRow("A CR B CR in one read") << false << QByteArrayList{"A\rB\r"}
                                           << QByteArrayList{"A\rB\r"} << QByteArray() << 0;
    QTest::newRow("reply kept until next CR") << false << QByteArrayList{"UK", "LEND\r"}
                                              << QByteArrayList{"UKLEND\r"} << QByteArray() << 0;
    QTest::newRow("CR inside a block") << true << QByteArrayList{d.left(77) + "\r", d.mid(77)}
                                       << QByteArrayList{d.left(77) + "\r" + d.mid(77)}
                                       << QByteArray() << 0;
    QTest::newRow("block not starting with D") << true << QByteArrayList{x} << QByteArrayList{x}
                                               << QByteArray() << 1;
    QTest::newRow("BITTI at once in binary") << true << QByteArrayList{"BITTI"}
                                             << QByteArrayList{"BITTI"} << QByteArray() << 0;
    QTest::newRow("BITTI held in text") << false << QByteArrayList{"BITTI"} << QByteArrayList{}
                                        << QByteArray("BITTI") << 0;
    QTest::newRow("modem word is nothing special") << true << QByteArrayList{"\r\nCONNECT 9600\r\n"}
                                                   << QByteArrayList{}
                                                   << QByteArray("\r\nCONNECT 9600\r\n") << 0;
}

void TestTcpLink::reads_joinedIntoMessages()
{
    QFETCH(bool, binary);
    QFETCH(QByteArrayList, reads);
    QFETCH(QByteArrayList, messages);
    QFETCH(QByteArray, left);
    QFETCH(int, diagnostics);

    MessageCapture capture;
    QVERIFY(m_link->open(QStringLiteral("127.0.0.1")));
    QVERIFY(acceptPeer());
    QVERIFY(m_link->send("\x02VER\r", binary));
    QVERIFY(playReads(reads));
    QTRY_COMPARE(m_messages.size(), messages.size());
    QCOMPARE(m_messages, messages);
    QCOMPARE(m_link->connection()->pendingBytes(), left.size());

    const QStringList lines =
        capture.startingWith(QStringLiteral("[Hata] GPRSCommunication::onDataReceived() : "));
    QCOMPARE(lines.size(), diagnostics);
    if (diagnostics == 1)
        QCOMPARE(lines.first(), MessageRule::strayBlockLine(
                                    QStringLiteral("GPRSCommunication::onDataReceived()"),
                                    messages.first()));
}

void TestTcpLink::exchange_traceLinesInOrder()
{
    QVERIFY(m_link->open(QStringLiteral("127.0.0.1")));
    QVERIFY(acceptPeer());
    QVERIFY(m_link->send("\x02OKU\r", false));
    QVERIFY(playReads({"PAR\x02" "1\r"}));
    QTRY_COMPARE(m_messages.size(), 1);
    m_link->close();
    QVERIFY(!m_link->isOpen());

    QStringList expected{connecting, readyReadEntry, readyReadBytes, gprsReadyRead, disconnecting};
    // The closing socket reports its disconnection once or twice.
    const int closedReports = m_events.count(QStringLiteral("connectionClosed"));
    QVERIFY(closedReports == 1 || closedReports == 2);
    for (int i = 0; i < closedReports; ++i)
        expected << QStringLiteral("connectionClosed") << disconnected;
    QCOMPARE(m_events, expected);
}

void TestTcpLink::close_reportsClosedAndStopsDelivery()
{
    QVERIFY(m_link->open(QStringLiteral("127.0.0.1")));
    QVERIFY(acceptPeer());
    m_link->close();
    QVERIFY(!m_link->isOpen());
    QVERIFY(m_events.contains(QStringLiteral("connectionClosed")));
    QCOMPARE(m_events.filter(QStringLiteral("socketError")).size(), 0);

    m_peer->write("LATE\r");
    m_peer->flush();
    QTest::qWait(200);
    QCOMPARE(m_messages, QByteArrayList{});
    QCOMPARE(m_chunks, QByteArrayList{});

    // A closed link opens again on the same object.
    QVERIFY(m_link->open(QStringLiteral("127.0.0.1")));
    QVERIFY(acceptPeer());
    QVERIFY(playReads({"DEG\r"}));
    QCOMPARE(m_messages, QByteArrayList{"DEG\r"});
}

void TestTcpLink::flood_withoutEnd_droppedAtCapAndLinkStaysUsable()
{
    MessageCapture capture;
    QVERIFY(m_link->open(QStringLiteral("127.0.0.1")));
    QVERIFY(acceptPeer());
    qsizetype largest = 0;
    connect(m_link->connection(), &TCPConnection::newData, this,
            [&] { largest = qMax(largest, m_link->connection()->pendingBytes()); });

    const qsizetype cap = m_link->connection()->bufferCap();
    const qint64 flood = 4 * cap + 1234;
    for (qint64 sent = 0; sent < flood; sent += 1000)
        m_peer->write(QByteArray(int(qMin<qint64>(1000, flood - sent)), 'A'));
    m_peer->write("OK\r");
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, 10000);

    QVERIFY(largest <= cap);
    QVERIFY(largest > cap / 2);
    QVERIFY(m_messages.first().endsWith("AOK\r"));
    QVERIFY(m_messages.first().size() <= cap);
    const QStringList drops =
        capture.startingWith(QStringLiteral("[Hata] TCPConnection::onReadyRead() : receive buffer"));
    QVERIFY(drops.size() >= 3);
    QVERIFY(m_link->isOpen());

    // Once the flood is over, replies come through whole again.
    QVERIFY(playReads({"PAR\r"}));
    QCOMPARE(m_messages.last(), QByteArray("PAR\r"));
}

QTEST_GUILESS_MAIN(TestTcpLink)
#include "tst_tcplink.moc"
