#include "messagecapture.h"
#include "ptypair.h"
#include "rs232communication.h"
#include "rs232connection.h"
#include "waits.h"

#include <QtTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

const QByteArray blockEnd("\xFB\xFB\xFB", 3);

QByteArray block(char first, int size)
{
    QByteArray bytes(1, first);
    for (int i = 1; i < size - 3; ++i)
        bytes.append(static_cast<char>((i * 53 + 7) % 256));
    return bytes + blockEnd;
}

const QString serialDiagnostic = QStringLiteral("[Hata] RS232Communication::onDataReceived() : ");

} // namespace

// The serial link against a pseudo-terminal: the link opens the slave side as
// its port, the test plays the logger (or the modem) on the master side.
class TestRS232Link : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void open_unknownName_failsAndStaysClosed_data();
    void open_unknownName_failsAndStaysClosed();
    void open_setsLineTo115200_8N1_noFlowControl();
    void open_whileOpen_keepsLineUsable();
    void send_writesCommandBytesExactly_data();
    void send_writesCommandBytesExactly();
    void send_whileClosed_returnsFalseAndWritesNothing();
    void reads_joinedIntoMessages_data();
    void reads_joinedIntoMessages();
    void modemAnswer_deliveredAsChunkAtOnce_data();
    void modemAnswer_deliveredAsChunkAtOnce();
    void emptyRead_deliversNothing();
    void afterClose_deviceKeepsSending_nothingDelivered();
    void leftOverBytes_surviveCloseAndOpen_inFrontOfNextReply();
    void messageBuffer_emptiedByCloseAndOpen();
    void replyMode_survivesCloseAndOpen();
    void portList_leavesOutPrinterPorts_data();
    void portList_leavesOutPrinterPorts();
    void friendlyName_isDescriptionThenPortInParentheses_data();
    void friendlyName_isDescriptionThenPortInParentheses();

private:
    // Writes each read on the device side and waits until the link has taken
    // it in, so that every element arrives as a read of its own.
    bool playReads(const QByteArrayList &reads);
    qint64 bytesTakenIn() const;

    PtyPair *m_pty = nullptr;
    RS232Communication *m_link = nullptr;
    QSignalSpy *m_messages = nullptr;
    QSignalSpy *m_chunks = nullptr;
};

void TestRS232Link::init()
{
    m_pty = new PtyPair;
    if (!m_pty->isValid())
        QSKIP("no pseudo-terminal available");
    m_link = new RS232Communication;
    m_messages = new QSignalSpy(m_link, &RS232Communication::dataReceived);
    m_chunks = new QSignalSpy(m_link->connection(), &RS232Connection::dataReceived);
}

void TestRS232Link::cleanup()
{
    delete m_chunks;
    delete m_messages;
    delete m_link;
    delete m_pty;
    m_chunks = m_messages = nullptr;
    m_link = nullptr;
    m_pty = nullptr;
}

qint64 TestRS232Link::bytesTakenIn() const
{
    qint64 total = m_link->connection()->pendingBytes();
    for (const QList<QVariant> &chunk : *m_chunks)
        total += chunk.at(0).toByteArray().size();
    return total;
}

bool TestRS232Link::playReads(const QByteArrayList &reads)
{
    qint64 expected = bytesTakenIn();
    for (const QByteArray &read : reads) {
        if (read.isEmpty())
            continue;
        if (!m_pty->write(read))
            return false;
        expected += read.size();
        if (!QTest::qWaitFor([&] { return bytesTakenIn() >= expected; }, 5000))
            return false;
        if (bytesTakenIn() != expected)
            return false;
    }
    return true;
}

void TestRS232Link::open_unknownName_failsAndStaysClosed_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("missing device") << "/dev/vlx-no-such-port";
    QTest::newRow("Windows name") << "COM99";
    QTest::newRow("empty") << "";
}

void TestRS232Link::open_unknownName_failsAndStaysClosed()
{
    QFETCH(QString, name);
    m_link->setPort(name);
    QVERIFY(!m_link->open(name));
    QVERIFY(!m_link->isOpen());
    QVERIFY(!m_link->send("\x02OKU\r", false));
}

void TestRS232Link::open_setsLineTo115200_8N1_noFlowControl()
{
    // Start from a line that differs in every setting the link applies.
    const QByteArray path = m_pty->slavePath().toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    termios tio {};
    QCOMPARE(::tcgetattr(fd, &tio), 0);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    tio.c_cflag = (tio.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB | CRTSCTS;
    tio.c_iflag |= IXON | IXOFF;
    QCOMPARE(::tcsetattr(fd, TCSANOW, &tio), 0);

    m_link->setPort(m_pty->slavePath());
    QVERIFY(m_link->open(m_pty->slavePath()));
    QVERIFY(m_link->isOpen());

    QCOMPARE(::tcgetattr(fd, &tio), 0);
    ::close(fd);
    QCOMPARE(::cfgetospeed(&tio), speed_t(B115200));
    QCOMPARE(::cfgetispeed(&tio), speed_t(B115200));
    QCOMPARE(tio.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(tio.c_cflag & PARENB, tcflag_t(0));
    QCOMPARE(tio.c_cflag & CSTOPB, tcflag_t(0));
    QCOMPARE(tio.c_cflag & CRTSCTS, tcflag_t(0));
    QCOMPARE(tio.c_iflag & (IXON | IXOFF), tcflag_t(0));
}

void TestRS232Link::open_whileOpen_keepsLineUsable()
{
    QVERIFY(m_link->open(m_pty->slavePath()));
    QVERIFY(m_link->open(m_pty->slavePath()));
    QVERIFY(m_link->isOpen());
    QVERIFY(playReads({"OK\r"}));
    QTRY_COMPARE(m_messages->size(), 1);
    QCOMPARE(m_messages->at(0).at(0).toByteArray(), QByteArray("OK\r"));
    QVERIFY(m_link->send("\x02OKU\r", false));
    QCOMPARE(m_pty->read(), QByteArray("\x02OKU\r"));
}

void TestRS232Link::send_writesCommandBytesExactly_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<bool>("binary");

    QTest::newRow("parameter read") << QByteArray("\x02OKU\r") << false;
    QTest::newRow("block request") << QByteArray("\x02" "AKT0012\x02" "0792\x02\r") << true;
    QTest::newRow("8-bit text") << QByteArray("\x02SIF\xC5\x9F" "1\r") << false;
    QTest::newRow("dial line") << QByteArray("ATD05321234567\r") << false;
    QTest::newRow("no final CR") << QByteArray("ATZ") << false;
    QTest::newRow("long upload") << (QByteArray("\x02" "AYU") + QByteArray(600, 'x') + "\r") << false;
}

void TestRS232Link::send_writesCommandBytesExactly()
{
    QFETCH(QByteArray, command);
    QFETCH(bool, binary);
    QVERIFY(m_link->open(m_pty->slavePath()));
    QVERIFY(m_link->send(command.constData(), binary));
    QCOMPARE(m_pty->readCount(command.size() + 1, 500), command);
    QCOMPARE(m_link->connection()->binaryReply(), binary);
}

void TestRS232Link::send_whileClosed_returnsFalseAndWritesNothing()
{
    QVERIFY(m_link->open(m_pty->slavePath()));
    m_link->close();
    QVERIFY(!m_link->isOpen());
    QVERIFY(!m_link->send("\x02OKU\r", true));
    QCOMPARE(m_pty->read(200), QByteArray());
    // The reply mode follows every send, written or not.
    QVERIFY(m_link->connection()->binaryReply());
}

void TestRS232Link::reads_joinedIntoMessages_data()
{
    QTest::addColumn<bool>("binary");
    QTest::addColumn<QByteArrayList>("reads");
    QTest::addColumn<QByteArrayList>("messages");
    QTest::addColumn<int>("diagnostics");

    const QByteArray d = block('D', 270);
    const QByteArray x = block('X', 270);
    QTest::newRow("O, then K CR") << false << QByteArrayList{"O", "K\r"}
                                  << QByteArrayList{"OK\r"} << 0;
    QTest::newRow("A CR B CR in one read") << false << QByteArrayList{"A\rB\r"}
                                           << QByteArrayList{"A\rB\r"} << 0;
    QTest::newRow("reply kept until next CR") << false << QByteArrayList{"AB", "OK\r"}
                                              << QByteArrayList{"ABOK\r"} << 0;
    QTest::newRow("two replies, two reads") << false << QByteArrayList{"DEG\r", "SIFIR\r"}
                                            << QByteArrayList{"DEG\r", "SIFIR\r"} << 0;
    QTest::newRow("CR inside a block") << true << QByteArrayList{d.left(120) + "\r", d.mid(120)}
                                       << QByteArrayList{d.left(120) + "\r" + d.mid(120)} << 0;
    QTest::newRow("FB FB FB split over reads") << true << QByteArrayList{d.left(268), d.mid(268)}
                                               << QByteArrayList{d} << 0;
    QTest::newRow("block in three reads") << true
                                          << QByteArrayList{d.left(1), d.mid(1, 200), d.mid(201)}
                                          << QByteArrayList{d} << 0;
    QTest::newRow("block not starting with D") << true << QByteArrayList{x}
                                               << QByteArrayList{x} << 1;
    QTest::newRow("BITTI at once in binary") << true << QByteArrayList{"BITTI"}
                                             << QByteArrayList{"BITTI"} << 0;
    QTest::newRow("BITTI with CR in binary") << true << QByteArrayList{"BITTI\r"}
                                             << QByteArrayList{"BITTI\r"} << 0;
    QTest::newRow("BITTI held in text") << false << QByteArrayList{"BITTI", "\r"}
                                        << QByteArrayList{"BITTI\r"} << 0;
    QTest::newRow("block end in text mode waits for CR")
        << false << QByteArrayList{block('D', 10), "\r"}
        << QByteArrayList{block('D', 10) + "\r"} << 0;
}

void TestRS232Link::reads_joinedIntoMessages()
{
    QFETCH(bool, binary);
    QFETCH(QByteArrayList, reads);
    QFETCH(QByteArrayList, messages);
    QFETCH(int, diagnostics);

    MessageCapture capture;
    QVERIFY(m_link->open(m_pty->slavePath()));
    QVERIFY(m_link->send(binary ? "\x02" "AKT0000\x02" "0000\x02\r" : "\x02OKU\r", binary));
    QVERIFY(!m_pty->read().isEmpty());

    QVERIFY(playReads(reads));
    QTRY_COMPARE(m_messages->size(), messages.size());
    QByteArrayList got;
    for (const QList<QVariant> &message : *m_messages)
        got << message.at(0).toByteArray();
    QCOMPARE(got, messages);
    QCOMPARE(m_link->connection()->pendingBytes(), 0);
    QCOMPARE(m_link->pendingBytes(), 0);

    const QStringList lines = capture.startingWith(serialDiagnostic);
    QCOMPARE(lines.size(), diagnostics);
    if (diagnostics == 1)
        QCOMPARE(lines.first(), MessageRule::strayBlockLine(
                                    QStringLiteral("RS232Communication::onDataReceived()"),
                                    messages.first()));
}

void TestRS232Link::modemAnswer_deliveredAsChunkAtOnce_data()
{
    QTest::addColumn<bool>("binary");
    QTest::addColumn<QByteArrayList>("reads");
    QTest::addColumn<QByteArray>("chunk");

    QTest::newRow("whole answer, text") << false << QByteArrayList{"\r\nCONNECT 9600\r\n"}
                                        << QByteArray("\r\nCONNECT 9600\r\n");
    QTest::newRow("split word, text") << false << QByteArrayList{"\r\nCONN", "ECT 9600\r\n"}
                                      << QByteArray("\r\nCONNECT 9600\r\n");
    QTest::newRow("split word, binary") << true << QByteArrayList{"\r\nCONN", "ECT 9600\r\n"}
                                        << QByteArray("\r\nCONNECT 9600\r\n");
    QTest::newRow("word without line end") << false << QByteArrayList{"\r\nCONNECT"}
                                           << QByteArray("\r\nCONNECT");
}

void TestRS232Link::modemAnswer_deliveredAsChunkAtOnce()
{
    QFETCH(bool, binary);
    QFETCH(QByteArrayList, reads);
    QFETCH(QByteArray, chunk);

    QVERIFY(m_link->open(m_pty->slavePath()));
    QVERIFY(m_link->send("ATD123\r", binary));
    QCOMPARE(m_pty->read(), QByteArray("ATD123\r"));

    QVERIFY(playReads(reads));
    QTRY_COMPARE(m_chunks->size(), 1);
    QCOMPARE(m_chunks->at(0).at(0).toByteArray(), chunk);
    QCOMPARE(m_link->connection()->pendingBytes(), 0);
    // A modem answer does not end a message on the logger's side of the rule.
    QCOMPARE(m_messages->size(), 0);
}

void TestRS232Link::emptyRead_deliversNothing()
{
    QVERIFY(m_link->open(m_pty->slavePath()));
    QSignalSpy newData(m_link->connection(), &RS232Connection::newData);
    m_link->connection()->onReadyRead();
    m_link->connection()->onNewData();
    QCOMPARE(newData.size(), 0);
    QCOMPARE(m_chunks->size(), 0);
    QCOMPARE(m_messages->size(), 0);
    m_link->onDataReceived(QByteArray());
    QCOMPARE(m_messages->size(), 0);
}

void TestRS232Link::afterClose_deviceKeepsSending_nothingDelivered()
{
    QVERIFY(m_link->open(m_pty->slavePath()));
    QVERIFY(playReads({"PAR\r"}));
    QTRY_COMPARE(m_messages->size(), 1);
    m_link->close();
    QVERIFY(!m_link->isOpen());
    QVERIFY(m_pty->write("LATE\r"));
    QVERIFY(m_pty->write("DEG\r"));
    QVERIFY(!m_messages->wait(300));
    QCOMPARE(m_chunks->size(), 1);
}

void TestRS232Link::leftOverBytes_surviveCloseAndOpen_inFrontOfNextReply()
{
    QVERIFY(m_link->open(m_pty->slavePath()));
    QVERIFY(playReads({"AB"}));
    QCOMPARE(m_link->connection()->pendingBytes(), 2);
    m_link->close();
    QCOMPARE(m_link->connection()->pendingBytes(), 2);
    QVERIFY(m_link->open(m_pty->slavePath()));
    QVERIFY(playReads({"OK\r"}));
    QTRY_COMPARE(m_messages->size(), 1);
    QCOMPARE(m_messages->at(0).at(0).toByteArray(), QByteArray("ABOK\r"));
}

void TestRS232Link::messageBuffer_emptiedByCloseAndOpen()
{
    QVERIFY(m_link->open(m_pty->slavePath()));
    // A modem word ends a chunk but not a message: it waits in the message buffer.
    QVERIFY(playReads({"xCONNECTx"}));
    QTRY_COMPARE(m_chunks->size(), 1);
    QCOMPARE(m_link->pendingBytes(), 9);
    m_link->close();
    QCOMPARE(m_link->pendingBytes(), 0);

    QVERIFY(m_link->open(m_pty->slavePath()));
    QVERIFY(playReads({"yCONNECTy"}));
    QTRY_COMPARE(m_chunks->size(), 2);
    QCOMPARE(m_link->pendingBytes(), 9);
    QVERIFY(m_link->open(m_pty->slavePath()));
    QCOMPARE(m_link->pendingBytes(), 0);

    QVERIFY(playReads({"OK\r"}));
    QTRY_COMPARE(m_messages->size(), 1);
    QCOMPARE(m_messages->at(0).at(0).toByteArray(), QByteArray("OK\r"));
}

void TestRS232Link::replyMode_survivesCloseAndOpen()
{
    QVERIFY(m_link->open(m_pty->slavePath()));
    QVERIFY(m_link->send("\x02" "AKT0000\x02" "0000\x02\r", true));
    m_pty->read();
    m_link->close();
    QVERIFY(m_link->open(m_pty->slavePath()));
    QVERIFY(playReads({"BITTI"}));
    QTRY_COMPARE(m_messages->size(), 1);
    QCOMPARE(m_messages->at(0).at(0).toByteArray(), QByteArray("BITTI"));
}

void TestRS232Link::portList_leavesOutPrinterPorts_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("COM1 LPT1 COM3") << QStringList{"COM1", "LPT1", "COM3"}
                                    << QStringList{"COM1", "COM3"};
    QTest::newRow("order kept") << QStringList{"COM9", "COM2", "LPT2", "COM10"}
                                << QStringList{"COM9", "COM2", "COM10"};
    QTest::newRow("prefix is case-sensitive") << QStringList{"lpt1", "Lpt2", "LPT"}
                                              << QStringList{"lpt1", "Lpt2"};
    QTest::newRow("only at the start") << QStringList{"COMLPT1", "ttyLPT0", "ttyS0"}
                                       << QStringList{"COMLPT1", "ttyLPT0", "ttyS0"};
    QTest::newRow("only printers") << QStringList{"LPT1", "LPT2"} << QStringList{};
    QTest::newRow("none") << QStringList{} << QStringList{};
}

void TestRS232Link::portList_leavesOutPrinterPorts()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, kept);
    QCOMPARE(RS232Connection::withoutPrinterPorts(names), kept);
}

void TestRS232Link::friendlyName_isDescriptionThenPortInParentheses_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("friendly");
    QTest::newRow("modem") << "USB Modem" << "COM3" << "USB Modem (COM3)";
    QTest::newRow("Turkish description") << QString::fromUtf8("Seri Bağlantı Noktası") << "COM1"
                                         << QString::fromUtf8("Seri Bağlantı Noktası (COM1)");
    QTest::newRow("no description") << "" << "ttyS0" << " (ttyS0)";
}

void TestRS232Link::friendlyName_isDescriptionThenPortInParentheses()
{
    QFETCH(QString, description);
    QFETCH(QString, port);
    QFETCH(QString, friendly);
    QCOMPARE(RS232Connection::friendlyName(description, port), friendly);
    // A port the system does not list has no friendly name.
    QCOMPARE(RS232Connection::friendlyName(QStringLiteral("vlx-no-such-port")), QString());
}

QTEST_GUILESS_MAIN(TestRS232Link)
#include "tst_rs232link.moc"
