#include "boundedbuffer.h"
#include "chunkrule.h"
#include "messagerule.h"
#include "messagecapture.h"

#include <QtTest>

using Verdict = MessageRule::Verdict;
Q_DECLARE_METATYPE(MessageRule::Verdict)
Q_DECLARE_METATYPE(ChunkRule::ConnectStep)

namespace {

const QByteArray blockEnd("\xFB\xFB\xFB", 3);

QByteArray block(char first, int size)
{
    // A data block as the logger sends it: a letter, payload that may hold
    // CR and FB bytes, three FB at the end.
    QByteArray bytes(1, first);
    for (int i = 1; i < size - 3; ++i)
        bytes.append(static_cast<char>((i * 37) % 256));
    return bytes + blockEnd;
}

} // namespace

class TestLinkRules : public QObject
{
    Q_OBJECT
private slots:
    void chunkComplete_followsModeAndEnd_data();
    void chunkComplete_followsModeAndEnd();
    void chunkReads_joinedUntilEnd_data();
    void chunkReads_joinedUntilEnd();
    void chunkComplete_modemAnswers_alsoEndAtCrLf_data();
    void chunkComplete_modemAnswers_alsoEndAtCrLf();
    void chunkReads_modemAnswers_okInOneOrTwoReads_data();
    void chunkReads_modemAnswers_okInOneOrTwoReads();
    void messageVerdict_followsEndAndStart_data();
    void messageVerdict_followsEndAndStart();
    void messageChunks_joinedUntilEnd_data();
    void messageChunks_joinedUntilEnd();
    void strayBlockLine_showsOwnerAndEscapedBytes_data();
    void strayBlockLine_showsOwnerAndEscapedBytes();
    void boundedBuffer_atCap_dropsWithOneWarning_data();
    void boundedBuffer_atCap_dropsWithOneWarning();
    void chunkRule_overflowingRead_isDroppedAndNextReplyStillArrives();
    void messageRule_overflowingChunks_areDroppedWithOwnerText();
};

void TestLinkRules::chunkComplete_followsModeAndEnd_data()
{
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<bool>("binary");
    QTest::addColumn<ChunkRule::ConnectStep>("step");
    QTest::addColumn<bool>("complete");

    const auto off = ChunkRule::ConnectIgnored;
    const auto on = ChunkRule::ConnectEndsChunk;
    QTest::newRow("empty text") << QByteArray() << false << on << false;
    QTest::newRow("empty binary") << QByteArray() << true << on << false;
    QTest::newRow("text CR") << QByteArray("OK\r") << false << off << true;
    QTest::newRow("text lone CR") << QByteArray("\r") << false << off << true;
    QTest::newRow("text no CR") << QByteArray("OK") << false << off << false;
    QTest::newRow("text CR LF") << QByteArray("OK\r\n") << false << off << false;
    QTest::newRow("text two replies") << QByteArray("A\rB\r") << false << off << true;
    QTest::newRow("text CR inside") << QByteArray("A\rB") << false << off << false;
    QTest::newRow("text BITTI held") << QByteArray("BITTI") << false << off << false;
    QTest::newRow("text BITTI CR") << QByteArray("BITTI\r") << false << off << true;
    QTest::newRow("text block end not an end") << block('D', 20) << false << off << false;
    QTest::newRow("binary BITTI") << QByteArray("BITTI") << true << off << true;
    QTest::newRow("binary BITTI and more") << QByteArray("BITTI\x01\x02") << true << off << true;
    QTest::newRow("binary BITTI not at start") << QByteArray("xBITTI") << true << off << false;
    QTest::newRow("binary BITT") << QByteArray("BITT") << true << off << false;
    QTest::newRow("binary CR not an end") << QByteArray("D12\r") << true << off << false;
    QTest::newRow("binary block") << block('D', 270) << true << off << true;
    QTest::newRow("binary only FB FB FB") << blockEnd << true << off << true;
    QTest::newRow("binary two FB") << QByteArray("\xFB\xFB", 2) << true << off << false;
    QTest::newRow("binary FB FB FB then NUL") << (blockEnd + QByteArray(1, '\0')) << true << off << false;
    QTest::newRow("binary FB zero FB") << QByteArray("D\xFB\x00\xFB", 4) << true << off << false;
    QTest::newRow("modem answer text") << QByteArray("\r\nCONNECT 9600\r\n") << false << on << true;
    QTest::newRow("modem answer binary") << QByteArray("\r\nCONNECT 9600\r\n") << true << on << true;
    QTest::newRow("modem word bare") << QByteArray("xxCONNECTyy") << false << on << true;
    QTest::newRow("modem answer on TCP") << QByteArray("\r\nCONNECT 9600\r\n") << false << off << false;
    QTest::newRow("modem answer on TCP binary") << QByteArray("CONNECT") << true << off << false;
    QTest::newRow("modem word incomplete") << QByteArray("\r\nCONNEC") << false << on << false;
    QTest::newRow("modem word lower case") << QByteArray("connect 9600") << false << on << false;
}

void TestLinkRules::chunkComplete_followsModeAndEnd()
{
    QFETCH(QByteArray, buffer);
    QFETCH(bool, binary);
    QFETCH(ChunkRule::ConnectStep, step);
    QFETCH(bool, complete);
    QCOMPARE(ChunkRule::isComplete(buffer, binary, step), complete);
}

void TestLinkRules::chunkComplete_modemAnswers_alsoEndAtCrLf_data()
{
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<bool>("binary");
    QTest::addColumn<bool>("modemAnswers");
    QTest::addColumn<bool>("complete");

    QTest::newRow("OK CR LF, modem answers") << QByteArray("\r\nOK\r\n") << false << true << true;
    QTest::newRow("OK CR LF, logger traffic") << QByteArray("\r\nOK\r\n") << false << false << false;
    QTest::newRow("BUSY, modem answers") << QByteArray("\r\nBUSY\r\n") << false << true << true;
    QTest::newRow("NO CARRIER, modem answers") << QByteArray("\r\nNO CARRIER\r\n") << false << true
                                               << true;
    QTest::newRow("lone CR LF, modem answers") << QByteArray("\r\n") << false << true << true;
    QTest::newRow("OK without line end") << QByteArray("\r\nOK") << false << true << false;
    QTest::newRow("LF alone is no end") << QByteArray("OK\n") << false << true << false;
    QTest::newRow("LF CR still a CR end") << QByteArray("OK\n\r") << false << true << true;
    QTest::newRow("CR still ends, modem answers") << QByteArray("OK\r") << false << true << true;
    QTest::newRow("CR LF in binary mode") << QByteArray("\r\nOK\r\n") << true << true << true;
    QTest::newRow("CR LF inside only") << QByteArray("\r\nOK\r\nx") << false << true << false;
    QTest::newRow("empty, modem answers") << QByteArray() << false << true << false;
}

void TestLinkRules::chunkComplete_modemAnswers_alsoEndAtCrLf()
{
    QFETCH(QByteArray, buffer);
    QFETCH(bool, binary);
    QFETCH(bool, modemAnswers);
    QFETCH(bool, complete);
    QCOMPARE(ChunkRule::isComplete(buffer, binary, ChunkRule::ConnectEndsChunk, modemAnswers),
             complete);
}

void TestLinkRules::chunkReads_modemAnswers_okInOneOrTwoReads_data()
{
    QTest::addColumn<QByteArrayList>("reads");
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArray>("left");

    QTest::newRow("one read") << QByteArrayList{"\r\nOK\r\n"} << QByteArrayList{"\r\nOK\r\n"}
                              << QByteArray();
    QTest::newRow("split after the word") << QByteArrayList{"\r\nOK", "\r\n"}
                                          << QByteArrayList{"\r\nOK\r\n"} << QByteArray();
    // A read that ends in the answer's CR is a chunk already; its LF follows alone.
    QTest::newRow("split between CR and LF") << QByteArrayList{"\r\nOK\r", "\n"}
                                             << QByteArrayList{"\r\nOK\r"} << QByteArray("\n");
    QTest::newRow("echo then answer") << QByteArrayList{"+++ATH\r\r\nOK\r\n"}
                                      << QByteArrayList{"+++ATH\r\r\nOK\r\n"} << QByteArray();
}

void TestLinkRules::chunkReads_modemAnswers_okInOneOrTwoReads()
{
    QFETCH(QByteArrayList, reads);
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArray, left);

    ChunkRule rule(QStringLiteral("Test::chunks()"), ChunkRule::ConnectEndsChunk);
    rule.setModemAnswers(true);
    QByteArrayList got;
    for (const QByteArray &read : reads) {
        rule.append(read);
        if (auto chunk = rule.take())
            got << *chunk;
    }
    QCOMPARE(got, chunks);
    QCOMPARE(rule.buffer(), left);
}

void TestLinkRules::chunkReads_joinedUntilEnd_data()
{
    QTest::addColumn<QByteArrayList>("reads");
    QTest::addColumn<bool>("binary");
    QTest::addColumn<ChunkRule::ConnectStep>("step");
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArray>("left");

    const auto off = ChunkRule::ConnectIgnored;
    const auto on = ChunkRule::ConnectEndsChunk;
    const QByteArray b = block('D', 270);
    QTest::newRow("O then K CR") << QByteArrayList{"O", "K\r"} << false << off
                                 << QByteArrayList{"OK\r"} << QByteArray();
    QTest::newRow("two replies in one read") << QByteArrayList{"A\rB\r"} << false << off
                                             << QByteArrayList{"A\rB\r"} << QByteArray();
    QTest::newRow("empty read") << QByteArrayList{""} << false << off << QByteArrayList{}
                                << QByteArray();
    QTest::newRow("empty read after a reply") << QByteArrayList{"OK\r", ""} << false << off
                                              << QByteArrayList{"OK\r"} << QByteArray();
    QTest::newRow("left over in front of next") << QByteArrayList{"AB", "OK\r"} << false << off
                                                << QByteArrayList{"ABOK\r"} << QByteArray();
    QTest::newRow("tail kept") << QByteArrayList{"X\r", "Y"} << false << off
                               << QByteArrayList{"X\r"} << QByteArray("Y");
    QTest::newRow("block with CR inside")
        << QByteArrayList{b.left(100) + "\r", b.mid(100)} << true << off
        << QByteArrayList{b.left(100) + "\r" + b.mid(100)} << QByteArray();
    QTest::newRow("block end split") << QByteArrayList{b.left(268), b.mid(268)} << true << off
                                     << QByteArrayList{b} << QByteArray();
    QTest::newRow("two blocks, two reads") << QByteArrayList{b, b} << true << off
                                           << QByteArrayList{b, b} << QByteArray();
    QTest::newRow("binary BITTI at once") << QByteArrayList{"BITTI"} << true << off
                                          << QByteArrayList{"BITTI"} << QByteArray();
    QTest::newRow("text BITTI waits for CR") << QByteArrayList{"BITTI", "\r"} << false << off
                                             << QByteArrayList{"BITTI\r"} << QByteArray();
    QTest::newRow("modem word split, text")
        << QByteArrayList{"\r\nCONN", "ECT 9600\r\n"} << false << on
        << QByteArrayList{"\r\nCONNECT 9600\r\n"} << QByteArray();
    QTest::newRow("modem word split, binary")
        << QByteArrayList{"\r\nCONN", "ECT 9600"} << true << on
        << QByteArrayList{"\r\nCONNECT 9600"} << QByteArray();
    QTest::newRow("modem word split, TCP") << QByteArrayList{"\r\nCONN", "ECT 9600\r\n"} << false
                                           << off << QByteArrayList{}
                                           << QByteArray("\r\nCONNECT 9600\r\n");
}

void TestLinkRules::chunkReads_joinedUntilEnd()
{
    QFETCH(QByteArrayList, reads);
    QFETCH(bool, binary);
    QFETCH(ChunkRule::ConnectStep, step);
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArray, left);

    ChunkRule rule(QStringLiteral("Test::read()"), step);
    rule.setBinaryReply(binary);
    QByteArrayList got;
    for (const QByteArray &read : reads) {
        rule.append(read);
        if (auto chunk = rule.take())
            got << *chunk;
    }
    QCOMPARE(got, chunks);
    QCOMPARE(rule.buffer(), left);
    QCOMPARE(rule.droppedBytes(), qint64(0));
}

void TestLinkRules::messageVerdict_followsEndAndStart_data()
{
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<Verdict>("verdict");

    QTest::newRow("empty") << QByteArray() << Verdict::Incomplete;
    QTest::newRow("CR") << QByteArray("OK\r") << Verdict::Message;
    QTest::newRow("no CR") << QByteArray("OK") << Verdict::Incomplete;
    QTest::newRow("CR LF") << QByteArray("OK\r\n") << Verdict::Incomplete;
    QTest::newRow("modem answer") << QByteArray("\r\nCONNECT 9600\r\n") << Verdict::Incomplete;
    QTest::newRow("block") << block('D', 270) << Verdict::Message;
    QTest::newRow("block lower d") << block('d', 270) << Verdict::StrayBlock;
    QTest::newRow("block other letter") << block('X', 270) << Verdict::StrayBlock;
    QTest::newRow("only FB FB FB") << blockEnd << Verdict::StrayBlock;
    QTest::newRow("D and two FB") << QByteArray("D\xFB\xFB", 3) << Verdict::Incomplete;
    QTest::newRow("block then CR") << (block('X', 20) + "\r") << Verdict::Message;
    QTest::newRow("BITTI") << QByteArray("BITTI") << Verdict::Message;
    QTest::newRow("BITTI and bytes") << QByteArray("BITTI\x01") << Verdict::Message;
    QTest::newRow("BITTI late") << QByteArray("xBITTI") << Verdict::Incomplete;
    QTest::newRow("BITTI starting a block") << (QByteArray("BITTI") + blockEnd) << Verdict::StrayBlock;
}

void TestLinkRules::messageVerdict_followsEndAndStart()
{
    QFETCH(QByteArray, buffer);
    QFETCH(Verdict, verdict);
    QCOMPARE(MessageRule::judge(buffer), verdict);
}

void TestLinkRules::messageChunks_joinedUntilEnd_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArrayList>("messages");
    QTest::addColumn<QByteArray>("left");
    QTest::addColumn<int>("diagnostics");

    const QByteArray d = block('D', 270);
    const QByteArray x = block('X', 10);
    QTest::newRow("one reply") << QByteArrayList{"PAR\x02" "1\r"} << QByteArrayList{"PAR\x02" "1\r"}
                               << QByteArray() << 0;
    QTest::newRow("modem answer then reply")
        << QByteArrayList{"\r\nCONNECT 9600\r\n", "OK\r"}
        << QByteArrayList{"\r\nCONNECT 9600\r\nOK\r"} << QByteArray() << 0;
    QTest::newRow("block") << QByteArrayList{d} << QByteArrayList{d} << QByteArray() << 0;
    QTest::newRow("stray block") << QByteArrayList{x} << QByteArrayList{x} << QByteArray() << 1;
    QTest::newRow("stray block twice") << QByteArrayList{x, x} << QByteArrayList{x, x}
                                       << QByteArray() << 2;
    QTest::newRow("BITTI") << QByteArrayList{"BITTI"} << QByteArrayList{"BITTI"} << QByteArray() << 0;
    QTest::newRow("empty chunk") << QByteArrayList{""} << QByteArrayList{} << QByteArray() << 0;
    QTest::newRow("kept then empty") << QByteArrayList{"AB", ""} << QByteArrayList{}
                                     << QByteArray("AB") << 0;
}

void TestLinkRules::messageChunks_joinedUntilEnd()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArrayList, messages);
    QFETCH(QByteArray, left);
    QFETCH(int, diagnostics);

    MessageCapture capture;
    MessageRule rule(QStringLiteral("GPRSCommunication::onDataReceived()"));
    QByteArrayList got;
    for (const QByteArray &chunk : chunks) {
        if (auto message = rule.feed(chunk))
            got << *message;
    }
    QCOMPARE(got, messages);
    QCOMPARE(rule.buffer(), left);
    QCOMPARE(capture.startingWith(QStringLiteral("[Hata] GPRSCommunication::onDataReceived() : ")).size(),
             diagnostics);
    QCOMPARE(capture.lines().size(), diagnostics);
}

void TestLinkRules::strayBlockLine_showsOwnerAndEscapedBytes_data()
{
    QTest::addColumn<QString>("owner");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("line");

    QTest::newRow("serial") << "RS232Communication::onDataReceived()"
                            << QByteArray("X1\xFB\xFB\xFB")
                            << R"([Hata] RS232Communication::onDataReceived() :  "X1\xFB\xFB\xFB")";
    QTest::newRow("GSM, control bytes") << "GSMCommunication::onDataReceived()"
                                        << QByteArray("\x02\r\n\x00\x0f", 5)
                                        << R"([Hata] GSMCommunication::onDataReceived() :  "\x02\x0D\x0A\x00\x0F")";
    QTest::newRow("quote and backslash") << "GPRSCommunication::onDataReceived()"
                                         << QByteArray("a\"b\\c")
                                         << R"([Hata] GPRSCommunication::onDataReceived() :  "a\"b\\c")";
}

void TestLinkRules::strayBlockLine_showsOwnerAndEscapedBytes()
{
    QFETCH(QString, owner);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, line);
    QCOMPARE(MessageRule::strayBlockLine(owner, bytes), line);
}

void TestLinkRules::boundedBuffer_atCap_dropsWithOneWarning_data()
{
    QTest::addColumn<QByteArrayList>("appends");
    QTest::addColumn<QByteArray>("kept");
    QTest::addColumn<qint64>("dropped");
    QTest::addColumn<int>("warnings");

    // cap 8
    QTest::newRow("exactly full") << QByteArrayList{"1234", "5678"} << QByteArray("12345678")
                                  << qint64(0) << 0;
    QTest::newRow("one over drops old")
        << QByteArrayList{"1234", "56789"} << QByteArray("56789") << qint64(4) << 1;
    QTest::newRow("new alone over drops both")
        << QByteArrayList{"12", "123456789"} << QByteArray() << qint64(11) << 1;
    QTest::newRow("flood of small reads") << QByteArrayList{"abc", "abc", "abc", "abc", "abc", "abc"}
                                          << QByteArray("abcabc") << qint64(12) << 2;
    QTest::newRow("empty appends") << QByteArrayList{"", "", "12345678", ""}
                                   << QByteArray("12345678") << qint64(0) << 0;
}

void TestLinkRules::boundedBuffer_atCap_dropsWithOneWarning()
{
    QFETCH(QByteArrayList, appends);
    QFETCH(QByteArray, kept);
    QFETCH(qint64, dropped);
    QFETCH(int, warnings);

    MessageCapture capture;
    BoundedBuffer buffer(QStringLiteral("TCPConnection::onReadyRead()"),
                         QStringLiteral("receive buffer"), 8);
    for (const QByteArray &bytes : appends) {
        buffer.append(bytes);
        QVERIFY(buffer.size() <= buffer.cap());
    }
    QCOMPARE(buffer.bytes(), kept);
    QCOMPARE(buffer.droppedBytes(), dropped);
    QCOMPARE(capture.lines().size(), warnings);
    QCOMPARE(capture.startingWith(QStringLiteral("[Hata] TCPConnection::onReadyRead() : ")).size(),
             warnings);
}

void TestLinkRules::chunkRule_overflowingRead_isDroppedAndNextReplyStillArrives()
{
    MessageCapture capture;
    ChunkRule rule(QStringLiteral("RS232Connection::onReadyRead()"), ChunkRule::ConnectEndsChunk);
    QCOMPARE(rule.cap(), BoundedBuffer::DefaultCap);
    // A peer that never ends its line.
    for (int i = 0; i < 40; ++i) {
        rule.append(QByteArray(4096, 'A'));
        QVERIFY(!rule.take());
        QVERIFY(rule.size() <= rule.cap());
    }
    QVERIFY(rule.droppedBytes() > 0);
    QVERIFY(!capture.startingWith(QStringLiteral("[Hata] RS232Connection::onReadyRead() : ")).isEmpty());
    QCOMPARE(capture.lines().size(),
             capture.startingWith(QStringLiteral("[Hata] RS232Connection::onReadyRead() : ")).size());

    rule.append("OK\r");
    const auto chunk = rule.take();
    QVERIFY(chunk);
    QVERIFY(chunk->endsWith("AOK\r"));
    QCOMPARE(chunk->size() + rule.droppedBytes(), qint64(40 * 4096 + 3));
    QCOMPARE(rule.size(), 0);
}

void TestLinkRules::messageRule_overflowingChunks_areDroppedWithOwnerText()
{
    MessageCapture capture;
    MessageRule rule(QStringLiteral("RS232Communication::onDataReceived()"), 64);
    // Modem-answer chunks end without CR and pile up in the message buffer.
    for (int i = 0; i < 20; ++i) {
        QVERIFY(!rule.feed("CONNECT"));
        QVERIFY(rule.size() <= 64);
    }
    QCOMPARE(rule.droppedBytes(), qint64(9 * 7 + 9 * 7));
    const QStringList lines =
        capture.startingWith(QStringLiteral("[Hata] RS232Communication::onDataReceived() : "));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.first(), QStringLiteral("[Hata] RS232Communication::onDataReceived() : message "
                                           "buffer over 64 bytes without an end, 63 bytes dropped"));
    const auto message = rule.feed("\r");
    QVERIFY(message);
    QCOMPARE(*message, QByteArray("CONNECTCONNECT\r"));
}

QTEST_GUILESS_MAIN(TestLinkRules)
#include "tst_linkrules.moc"
