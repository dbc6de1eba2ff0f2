#include "commands.h"
#include "simmodem.h"

#include <QtTest>

namespace {

struct Line {
    SimLogger logger;
    SimModem modem;
    int pauseOfLast = 0;

    QByteArray send(const QByteArray &bytes)
    {
        QByteArray out;
        for (const SimPiece &piece : modem.receive(bytes, [this](const QByteArray &b) {
                 return logger.receive(b);
             })) {
            out += piece.bytes;
            pauseOfLast = piece.pauseMs;
        }
        return out;
    }
};

const QByteArray OK("\r\nOK\r\n");

} // namespace

class TestSimModem : public QObject
{
    Q_OBJECT
private slots:
    void commandMode_answersOk_data();
    void commandMode_answersOk();
    void commandMode_notAnAtCommand_error();
    void dial_connectsAfterADelay_thenCarriesTheProtocol();
    void dial_failures_data();
    void dial_failures();
    void escapeAndHangUp_inOneWrite_backToCommandMode();
    void escape_bytesBeforeItStillReachTheLogger();
    void reset_withoutCr_answered();
    void commandSplitOverWrites_answeredAtCr();
    void lfApart_finalLfComesAsItsOwnPiece();
};

void TestSimModem::commandMode_answersOk_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("modem search probe") << QByteArray("at\r");
    QTest::newRow("upper case") << QByteArray("AT\r");
    QTest::newRow("baud rate setting") << QByteArray("ATL+IPR=115200\r");
    QTest::newRow("reset with CR") << QByteArray("ATZ\r");
    QTest::newRow("hang up in command mode") << QByteArray("ATH\r");
    QTest::newRow("mixed case with blanks") << QByteArray(" aT \r");
}

void TestSimModem::commandMode_answersOk()
{
    QFETCH(QByteArray, line);
    Line l;
    QCOMPARE(l.send(line), OK);
    QVERIFY(!l.modem.isOnline());
}

void TestSimModem::commandMode_notAnAtCommand_error()
{
    Line l;
    QCOMPARE(l.send(Commands::oku()), QByteArray("\r\nERROR\r\n"));
    QVERIFY(l.logger.commandsReceived().isEmpty());
}

void TestSimModem::dial_connectsAfterADelay_thenCarriesTheProtocol()
{
    Line l;
    l.modem.setDialDelayMs(250);
    QCOMPARE(l.send("ATD05321234567\r"), QByteArray("\r\nCONNECT 9600\r\n"));
    QCOMPARE(l.pauseOfLast, 250);
    QVERIFY(l.modem.isOnline());
    const QByteArray reply = l.send(Commands::oku());
    QVERIFY(reply.startsWith("PAR"));
    QCOMPARE(l.logger.commandsReceived(), QStringList {QStringLiteral("OKU")});
}

void TestSimModem::dial_failures_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("refusals");
    QTest::newRow("busy") << int(SimModem::Busy) << QByteArray("\r\nBUSY\r\n") << -1;
    QTest::newRow("no carrier") << int(SimModem::NoCarrier) << QByteArray("\r\nNO CARRIER\r\n") << -1;
    QTest::newRow("busy once, then a call") << int(SimModem::Busy) << QByteArray("\r\nBUSY\r\n") << 1;
}

void TestSimModem::dial_failures()
{
    QFETCH(int, answer);
    QFETCH(QByteArray, text);
    QFETCH(int, refusals);
    Line l;
    l.modem.setDialAnswer(SimModem::DialAnswer(answer));
    l.modem.setRefusals(refusals);
    QCOMPARE(l.send("ATD123\r"), text);
    QVERIFY(!l.modem.isOnline());
    QVERIFY(!l.send(Commands::oku()).startsWith("PAR"));
    // The next dial: refused again, or connected once the refusals are used up.
    QCOMPARE(l.send("ATD123\r"), refusals == 1 ? QByteArray("\r\nCONNECT 9600\r\n") : text);
    QCOMPARE(l.modem.isOnline(), refusals == 1);
}

void TestSimModem::escapeAndHangUp_inOneWrite_backToCommandMode()
{
    Line l;
    l.send("ATD123\r");
    QCOMPARE(l.send("+++ATH\r"), OK);
    QVERIFY(!l.modem.isOnline());
    QVERIFY(l.logger.commandsReceived().isEmpty());
    QCOMPARE(l.send("at\r"), OK);
}

void TestSimModem::escape_bytesBeforeItStillReachTheLogger()
{
    Line l;
    l.send("ATD123\r");
    const QByteArray out = l.send(Commands::alo() + "+++ATH\r");
    QVERIFY(out.startsWith("ALR"));
    QVERIFY(out.endsWith(OK));
}

void TestSimModem::reset_withoutCr_answered()
{
    Line l;
    QCOMPARE(l.send("ATZ"), OK);
    // a CR arriving later is an empty line, not a second command
    QCOMPARE(l.send("\r"), QByteArray());
}

void TestSimModem::commandSplitOverWrites_answeredAtCr()
{
    Line l;
    QCOMPARE(l.send("AT"), QByteArray());
    QCOMPARE(l.send("D55"), QByteArray());
    QCOMPARE(l.send("5\r"), QByteArray("\r\nCONNECT 9600\r\n"));
}

void TestSimModem::lfApart_finalLfComesAsItsOwnPiece()
{
    SimLogger logger;
    SimModem modem;
    modem.setLfApart(true);
    auto toLogger = [&](const QByteArray &b) { return logger.receive(b); };
    const QList<SimPiece> ok = modem.receive("AT\r", toLogger);
    QCOMPARE(ok.size(), 2);
    QCOMPARE(ok.at(0).bytes, QByteArray("\r\nOK\r"));
    QCOMPARE(ok.at(1).bytes, QByteArray("\n"));
    QVERIFY(ok.at(1).pauseMs > 0);
    const QList<SimPiece> connect = modem.receive("ATD1\r", toLogger);
    QCOMPARE(connect.value(0).bytes, QByteArray("\r\nCONNECT 9600\r"));
    // the logger's own replies are not touched
    const QList<SimPiece> par = modem.receive(Commands::oku(), toLogger);
    QCOMPARE(par.size(), 1);
    QVERIFY(par.first().bytes.endsWith("\x02\r"));
}

QTEST_GUILESS_MAIN(TestSimModem)
#include "tst_simmodem.moc"
