#include "gsmcommunication.h"
#include "messagecapture.h"
#include "modemplayer.h"
#include "ptypair.h"
#include "rs232connection.h"
#include "waits.h"

#include <QSerialPort>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

const QByteArray phone("05321234567");

// Answers the dial line and the hang-up line with the given reads; every
// other line goes unanswered.
ModemPlayer::Script modem(QByteArrayList dialAnswer, QByteArrayList hangUpAnswer)
{
    return [dialAnswer, hangUpAnswer](const QByteArray &line) -> QByteArrayList {
        if (line.startsWith("ATD"))
            return dialAnswer;
        if (line == "+++ATH")
            return hangUpAnswer;
        return {};
    };
}

const QByteArrayList connect9600 {"\r\nCONNECT 9600\r\n"};
const QByteArrayList ok {"\r\nOK\r\n"};

} // namespace

// The GSM link against a pseudo-terminal: the link opens the slave side as the
// modem's port, a ModemPlayer answers on the master side like an AT modem and,
// once the call stands, like the logger behind it.
class TestGSMLink : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dialLine_carriesNumberAsGiven_data();
    void dialLine_carriesNumberAsGiven();
    void disconnectLine_quotesChunkOnOneLine();

    void open_modemConnects_returnsTrueBeforeWaitRunsOut_data();
    void open_modemConnects_returnsTrueBeforeWaitRunsOut();
    void online_loggerReplies_reachDataReceivedAsMessages_data();
    void online_loggerReplies_reachDataReceivedAsMessages();
    void online_send_writesCommandToModemLine();
    void online_lineEndOfConnectArrivingLate_notInFrontOfFirstReply_data();
    void online_lineEndOfConnectArrivingLate_notInFrontOfFirstReply();
    void online_lineEndsInsideLaterReply_kept();
    void open_modemRefuses_returnsFalseWithPortFreeAgain_data();
    void open_modemRefuses_returnsFalseWithPortFreeAgain();
    void open_portCannotOpen_failsAtOnce();
    void close_modemConfirms_resetsModemAndClosesPort_data();
    void close_modemConfirms_resetsModemAndClosesPort();
    void close_noConfirmation_leavesCallUpAndDropsLaterData();
    void close_loggerDataDuringHangUp_neverReachesForm();
    void close_onClosedLine_returnsAtOnceWritingNothing();
    void callState_modemAnswersOnlyWhileDialingAndHangingUp();

private:
    bool connectCall();

    Waits::Values m_defaults;
    std::unique_ptr<PtyPair> m_pty;
    std::unique_ptr<GSMCommunication> m_link;
    std::unique_ptr<QSignalSpy> m_messages;
    std::unique_ptr<QSignalSpy> m_chunks;
};

void TestGSMLink::initTestCase()
{
    m_defaults = Waits::current();
}

void TestGSMLink::init()
{
    Waits::current() = m_defaults;
    // Room for an answer to come (30 s); a wait that ends early ended by the answer.
    Waits::current().gsmSleep = 10;
    Waits::current().gsmPasses = 3000;
    m_pty = std::make_unique<PtyPair>();
    if (!m_pty->isValid())
        QSKIP("no pseudo-terminal available");
    m_link = std::make_unique<GSMCommunication>();
    m_link->setPort(m_pty->slavePath());
    m_messages = std::make_unique<QSignalSpy>(m_link.get(), &GSMCommunication::dataReceived);
    m_chunks = std::make_unique<QSignalSpy>(m_link->connection(), &RS232Connection::dataReceived);
}

void TestGSMLink::cleanup()
{
    m_chunks.reset();
    m_messages.reset();
    m_link.reset();
    m_pty.reset();
    Waits::current() = m_defaults;
}

bool TestGSMLink::connectCall()
{
    return m_link->open(QString::fromLatin1(phone)) && m_link->isOpen();
}

void TestGSMLink::dialLine_carriesNumberAsGiven_data()
{
    QTest::addColumn<QString>("phone");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("national") << "05321234567" << QByteArray("ATD05321234567\r");
    QTest::newRow("international") << "+905321234567" << QByteArray("ATD+905321234567\r");
    QTest::newRow("spaces kept") << "0532 123" << QByteArray("ATD0532 123\r");
    QTest::newRow("empty") << "" << QByteArray("ATD\r");
}

void TestGSMLink::dialLine_carriesNumberAsGiven()
{
    QFETCH(QString, phone);
    QFETCH(QByteArray, line);
    QCOMPARE(GSMCommunication::dialLine(phone), line);
}

void TestGSMLink::disconnectLine_quotesChunkOnOneLine()
{
    QCOMPARE(GSMCommunication::disconnectLine("\r\nOK\r\n"),
             QStringLiteral("Disconnect Process: \"\\r\\nOK\\r\\n\""));
    QCOMPARE(GSMCommunication::disconnectLine("OK"), QStringLiteral("Disconnect Process: \"OK\""));
}

void TestGSMLink::open_modemConnects_returnsTrueBeforeWaitRunsOut_data()
{
    QTest::addColumn<QByteArrayList>("answer");
    QTest::newRow("standard answer") << connect9600;
    QTest::newRow("word split over two reads") << QByteArrayList{"\r\nCONN", "ECT 9600\r\n"};
    QTest::newRow("echo, then answer") << QByteArrayList{"ATD05321234567\r", "\r\nCONNECT 9600\r\n"};
    QTest::newRow("bare word") << QByteArrayList{"CONNECT"};
}

void TestGSMLink::open_modemConnects_returnsTrueBeforeWaitRunsOut()
{
    QFETCH(QByteArrayList, answer);
    MessageCapture capture;
    ModemPlayer player(*m_pty, modem(answer, ok));

    QVERIFY(m_link->open(QString::fromLatin1(phone)));
    QVERIFY(m_link->isOpen());
    QVERIFY(m_link->lastWaitAnswered());
    QCOMPARE(m_link->callState(), int(GSMCommunication::Online));
    QCOMPARE(m_link->portName(), m_pty->slavePath());
    QCOMPARE(player.received(), QByteArray("ATD05321234567\r"));
    QCOMPARE(MessageCapture::startingWith(QStringLiteral("onConnected()")).size(), 1);
    // The modem's answers are not messages for the form.
    QCOMPARE(m_messages->size(), 0);
}

void TestGSMLink::online_loggerReplies_reachDataReceivedAsMessages_data()
{
    QTest::addColumn<QByteArrayList>("reads");
    QTest::addColumn<QByteArrayList>("messages");
    QTest::newRow("one reply") << QByteArrayList{"\x02PAR1\x02" "2\r"}
                               << QByteArrayList{"\x02PAR1\x02" "2\r"};
    QTest::newRow("reply in two reads") << QByteArrayList{"\x02PA", "R1\r"}
                                        << QByteArrayList{"\x02PAR1\r"};
    QTest::newRow("two replies") << QByteArrayList{"UKLEND\r", "DEG\r"}
                                 << QByteArrayList{"UKLEND\r", "DEG\r"};
    // Online the logger's rules hold: a final CR LF does not end a reply.
    QTest::newRow("CR LF is no end online") << QByteArrayList{"A\r\n", "B\r"}
                                            << QByteArrayList{"A\r\nB\r"};
}

void TestGSMLink::online_loggerReplies_reachDataReceivedAsMessages()
{
    QFETCH(QByteArrayList, reads);
    QFETCH(QByteArrayList, messages);
    ModemPlayer player(*m_pty, modem(connect9600, ok));
    QVERIFY(connectCall());

    qint64 taken = 0;
    for (const QByteArray &read : reads) {
        player.send(read);
        taken += read.size();
        // Wait until the link has taken this read in, so the next is a read of its own.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                qint64 total = m_link->connection()->pendingBytes();
                for (int i = 1; i < m_chunks->size(); ++i)   // chunk 0 is the modem's answer
                    total += m_chunks->at(i).at(0).toByteArray().size();
                return total;
            }() == taken,
            5000);
    }
    QTRY_COMPARE(m_messages->size(), messages.size());
    for (int i = 0; i < messages.size(); ++i)
        QCOMPARE(m_messages->at(i).at(0).toByteArray(), messages.at(i));
}

void TestGSMLink::online_send_writesCommandToModemLine()
{
    ModemPlayer player(*m_pty, modem(connect9600, ok));
    QVERIFY(connectCall());
    QVERIFY(m_link->send("\x02OKU\r", false));
    QTRY_COMPARE(player.count("\x02OKU"), 1);
    QCOMPARE(player.received(), QByteArray("ATD05321234567\r\x02OKU\r"));
    QVERIFY(!m_link->connection()->binaryReply());
    m_link->send("\x02" "AKT\r", true);
    QVERIFY(m_link->connection()->binaryReply());
}

void TestGSMLink::online_lineEndOfConnectArrivingLate_notInFrontOfFirstReply_data()
{
    QTest::addColumn<QByteArrayList>("answer");
    QTest::addColumn<int>("lateBytes");
    QTest::newRow("CR LF apart") << QByteArrayList{"\r\nCONNECT 9600", "\r\n"} << 2;
    QTest::newRow("LF apart") << QByteArrayList{"\r\nCONNECT 9600\r", "\n"} << 1;
    QTest::newRow("CR and LF apart") << QByteArrayList{"\r\nCONNECT 9600", "\r", "\n"} << 2;
}

void TestGSMLink::online_lineEndOfConnectArrivingLate_notInFrontOfFirstReply()
{
    QFETCH(QByteArrayList, answer);
    QFETCH(int, lateBytes);
    ModemPlayer player(*m_pty, modem(answer, ok));
    QVERIFY(connectCall());
    // The end of the modem's line arrives once the call is online; wait until
    // the link has read all of it before the logger answers.
    qint64 late = 0;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            late = m_link->connection()->pendingBytes() + m_link->pendingBytes();
            for (int i = 1; i < m_chunks->size(); ++i)
                late += m_chunks->at(i).at(0).toByteArray().size();
            return late;
        }() == lateBytes,
        5000);

    player.send("\x02PAR1\x02" "2\r");
    QTRY_COMPARE(m_messages->size(), 1);
    QCOMPARE(m_messages->at(0).at(0).toByteArray(), QByteArray("\x02PAR1\x02" "2\r"));
    player.send("DEG\r");
    QTRY_COMPARE(m_messages->size(), 2);
    QCOMPARE(m_messages->at(1).at(0).toByteArray(), QByteArray("DEG\r"));
}

void TestGSMLink::online_lineEndsInsideLaterReply_kept()
{
    // Only the modem's line end in front of the first reply goes; CR and LF
    // that belong to the logger's replies stay as received.
    ModemPlayer player(*m_pty, modem(connect9600, ok));
    QVERIFY(connectCall());
    player.send("\x02PAR1\r");
    QTRY_COMPARE(m_messages->size(), 1);
    player.send("\r\nDEG\r");
    QTRY_COMPARE(m_messages->size(), 2);
    QCOMPARE(m_messages->at(0).at(0).toByteArray(), QByteArray("\x02PAR1\r"));
    QCOMPARE(m_messages->at(1).at(0).toByteArray(), QByteArray("\r\nDEG\r"));
}

void TestGSMLink::open_modemRefuses_returnsFalseWithPortFreeAgain_data()
{
    QTest::addColumn<QByteArrayList>("answer");
    QTest::newRow("busy") << QByteArrayList{"\r\nBUSY\r\n"};
    QTest::newRow("no carrier") << QByteArrayList{"\r\nNO CARRIER\r\n"};
    QTest::newRow("no answer") << QByteArrayList{"\r\nNO ANSWER\r\n"};
    QTest::newRow("no dial tone") << QByteArrayList{"\r\nNO DIALTONE\r\n"};
    QTest::newRow("error, after the echo") << QByteArrayList{"ATD05321234567\r", "\r\nERROR\r\n"};
    QTest::newRow("silence") << QByteArrayList{};
}

void TestGSMLink::open_modemRefuses_returnsFalseWithPortFreeAgain()
{
    QFETCH(QByteArrayList, answer);
    const bool silence = answer.isEmpty();
    // A refusal is waited for with the product's minute; only silence is
    // given a short wait to run out.
    Waits::current() = m_defaults;
    if (silence) {
        Waits::current().gsmSleep = 5;
        Waits::current().gsmPasses = 60;
    }
    MessageCapture capture;
    ModemPlayer player(*m_pty, modem(answer, ok));

    QElapsedTimer clock;
    clock.start();
    QVERIFY(!m_link->open(QString::fromLatin1(phone)));
    // Far below the minute a refusal used to cost, with room for a busy machine.
    QVERIFY2(silence || clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(m_link->lastWaitAnswered(), !silence);
    QVERIFY(!m_link->isOpen());
    QCOMPARE(m_link->callState(), int(GSMCommunication::Online));
    QCOMPARE(player.count("ATD05321234567"), 1);
    // The answer is written out as the chunk it came in.
    const QStringList refusals = MessageCapture::startingWith(QStringLiteral("Dial Process: "));
    QCOMPARE(refusals, silence ? QStringList()
                               : QStringList{GSMCommunication::refusalLine(answer.last())});
    QCOMPARE(m_messages->size(), 0);

    // The port is closed again, so that the next modem search can open it.
    QVERIFY(!m_link->connection()->isOpen());
    QSerialPort search;
    search.setPortName(m_pty->slavePath());
    QVERIFY(search.open(QIODevice::ReadWrite));
}

void TestGSMLink::open_portCannotOpen_failsAtOnce()
{
    // A wait would take hours and the test would run out of time.
    Waits::current().gsmSleep = 10;
    Waits::current().gsmPasses = 1000000;
    m_link->setPort(QStringLiteral("/dev/vlx-no-such-modem"));
    QVERIFY(!m_link->open(QString::fromLatin1(phone)));
    QVERIFY(!m_link->isOpen());
    QVERIFY(!m_link->connection()->isOpen());
    QCOMPARE(m_link->callState(), int(GSMCommunication::Online));
}

void TestGSMLink::close_modemConfirms_resetsModemAndClosesPort_data()
{
    QTest::addColumn<QByteArrayList>("answer");
    QTest::newRow("one read") << ok;
    QTest::newRow("two reads, after the word") << QByteArrayList{"\r\nOK", "\r\n"};
    QTest::newRow("two reads, inside the word") << QByteArrayList{"\r\nO", "K\r\n"};
    QTest::newRow("echo and answer in one read") << QByteArrayList{"ATH\r\r\nOK\r\n"};
}

void TestGSMLink::close_modemConfirms_resetsModemAndClosesPort()
{
    QFETCH(QByteArrayList, answer);
    ModemPlayer player(*m_pty, modem(connect9600, answer));
    QVERIFY(connectCall());
    MessageCapture capture;

    // The form hangs up twice in a row, with the product's minute for each.
    Waits::current() = m_defaults;
    QElapsedTimer clock;
    clock.start();
    m_link->close();
    QVERIFY(m_link->lastWaitAnswered());
    m_link->close();
    // The modem answers at once; a second hang-up that waited would take a minute.
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!m_link->isOpen());
    QVERIFY(!m_link->connection()->isOpen());
    QCOMPARE(m_link->callState(), int(GSMCommunication::HangingUp));
    // The reset is written with its CR, after the hang-up line; the second
    // hang-up writes nothing.
    QTRY_COMPARE(player.count("ATZ"), 1);
    QCOMPARE(player.received(), QByteArray("ATD05321234567\r+++ATH\rATZ\r"));
    const QStringList lines = MessageCapture::startingWith(QStringLiteral("Disconnect Process: "));
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.first(), GSMCommunication::disconnectLine(answer.join()));
    QCOMPARE(m_messages->size(), 0);
}

void TestGSMLink::close_noConfirmation_leavesCallUpAndDropsLaterData()
{
    // The first hang-up goes unanswered, the second is confirmed.
    auto hangUps = std::make_shared<std::atomic<int>>(0);
    ModemPlayer player(*m_pty, [hangUps](const QByteArray &line) -> QByteArrayList {
        if (line.startsWith("ATD"))
            return connect9600;
        if (line == "+++ATH" && ++*hangUps == 2)
            return ok;
        return {};
    });
    QVERIFY(connectCall());
    Waits::current().gsmSleep = 5;
    Waits::current().gsmPasses = 60;

    m_link->close();
    QVERIFY(!m_link->lastWaitAnswered());
    QVERIFY(m_link->isOpen());
    QVERIFY(m_link->connection()->isOpen());
    QCOMPARE(player.count("+++ATH"), 1);
    QCOMPARE(player.count("ATZ"), 0);

    // Until the next open, data is searched for "OK" only.
    const int chunksBefore = static_cast<int>(m_chunks->size());
    player.send("\x02PAR1\r");
    QTRY_COMPARE(m_chunks->size(), chunksBefore + 1);
    QCOMPARE(m_messages->size(), 0);

    // A further close tries the hang-up again.
    Waits::current() = m_defaults;
    m_link->close();
    QVERIFY(m_link->lastWaitAnswered());
    QVERIFY(!m_link->isOpen());
    QVERIFY(!m_link->connection()->isOpen());
    QCOMPARE(player.count("+++ATH"), 2);
    QTRY_COMPARE(player.count("ATZ"), 1);
    QCOMPARE(m_messages->size(), 0);
}

void TestGSMLink::close_loggerDataDuringHangUp_neverReachesForm()
{
    ModemPlayer player(*m_pty, modem(connect9600, {"\x02PAR1\r", "D\xFB\xFB\xFB", "\r\nOK\r\n"}));
    QVERIFY(connectCall());
    m_link->close();
    QVERIFY(!m_link->isOpen());
    // The call's answer, then the hang-up's reads, however they were joined.
    QVERIFY(m_chunks->size() >= 2);
    QCOMPARE(m_messages->size(), 0);
}

void TestGSMLink::close_onClosedLine_returnsAtOnceWritingNothing()
{
    // A wait would take hours and the test would run out of time.
    Waits::current().gsmPasses = 1000000;
    MessageCapture capture;
    m_link->close();
    QVERIFY(!m_link->lastWaitAnswered());
    QVERIFY(!m_link->isOpen());
    QVERIFY(!m_link->connection()->isOpen());
    QCOMPARE(m_link->callState(), int(GSMCommunication::HangingUp));
    QCOMPARE(m_pty->read(200), QByteArray());
    QVERIFY(MessageCapture::startingWith(QStringLiteral("Disconnect Process: ")).isEmpty());
}

void TestGSMLink::callState_modemAnswersOnlyWhileDialingAndHangingUp()
{
    // What the link is doing at the moment each chunk arrives.
    QList<QPair<int, bool>> seen;
    connect(m_link->connection(), &RS232Connection::dataReceived, m_link.get(), [&] {
        seen << qMakePair(m_link->callState(), m_link->connection()->modemAnswers());
    });
    ModemPlayer player(*m_pty, modem(connect9600, ok));
    QCOMPARE(m_link->callState(), int(GSMCommunication::Idle));
    QVERIFY(!m_link->connection()->modemAnswers());

    QVERIFY(connectCall());
    QVERIFY(!m_link->connection()->modemAnswers());
    player.send("DEG\r");
    QTRY_COMPARE(m_messages->size(), 1);
    m_link->close();
    QVERIFY(!m_link->isOpen());

    const QList<QPair<int, bool>> expected {
        {GSMCommunication::Dialing, true},
        {GSMCommunication::Online, false},
        {GSMCommunication::HangingUp, true},
    };
    QCOMPARE(seen, expected);
}

QTEST_GUILESS_MAIN(TestGSMLink)
#include "tst_gsmlink.moc"
