#include "newestfile.h"
#include "commands.h"
#include "decodedownload.h"
#include "simlogger.h"
#include "vlxfile.h"

#include <QtTest>

namespace {

const QByteArray FB3(3, char(0xFB));

QStringList fieldsOf(const QByteArray &reply)
{
    return QString::fromUtf8(reply.mid(3, reply.size() - 4)).split(QChar(0x02));
}

QByteArray joined(const QList<QByteArray> &pieces)
{
    QByteArray all;
    for (const QByteArray &p : pieces)
        all += p;
    return all;
}

struct Upload {
    QByteArray password = "1234";
    char action = '1';
    QByteArray serial = "SN77";
    QByteArray name = "Baraj 1";
    QByteArray number = "101";
    QByteArray flags = "1101";        // full hour, well, 0, RS485
    QByteArray clock = "0503241430592";
    QByteArray offset = "-2.50";
    QByteArray unit = "m";
    QByteArray channel1 = "Kot";
    QByteArray interval = "30";
    QByteArray recordFlags = "011";   // instantaneous record, instantaneous min/max, record average

    QByteArray frame() const
    {
        const char stx = 0x02;
        return QByteArray(1, stx) + "PAR" + password + action + serial + stx + name + stx + number
               + stx + flags + stx + clock + stx + offset + stx + unit + stx + channel1 + stx
               + interval + stx + recordFlags + stx + '\r';
    }
};

// Downloads the whole used memory block by block, as the program does.
QByteArray download(SimLogger &logger)
{
    QByteArray data;
    for (qint64 address = 0; address < logger.usedBytes(); address += 264) {
        const QList<QByteArray> r = logger.handle(Commands::akt(int(address / 1056), int(address % 1056)));
        if (r.size() != 1 || !r.first().startsWith('D'))
            return QByteArray("<bad reply>");
        data += r.first().mid(3, r.first().size() - 6);
    }
    return data;
}

} // namespace

class TestSimLogger : public QObject
{
    Q_OBJECT
private slots:
    void fresh_reportsYeniAndDefaultPassword();
    void queries_answeredWithTheirRecords_data();
    void queries_answeredWithTheirRecords();
    void frames_splitOverReads_answeredOnceWhole();
    void frames_twoInOneRead_bothAnswered();
    void frames_noiseBeforeStx_skipped();
    void unknownOrMalformed_noAnswer_data();
    void unknownOrMalformed_noAnswer();
    void commandsReceived_listsWords();
    void fileList_matchesMemory();
    void blocks_wholeMemoryDownloaded_decodes();
    void blocks_pastTheEnd_bitti();
    void clock_runsFromComputerClock();
    void password_change_data();
    void password_change();
    void sensorZero_data();
    void sensorZero();
    void upload_appliesEveryItem();
    void upload_wrongPassword_syanlisAndNothingChanged_data();
    void upload_wrongPassword_syanlisAndNothingChanged();
    void upload_fileActionZero_erasesMemory();
    void upload_fileActionOne_keepsLatestFile();
    void upload_passwordOfOtherLength_splitByKnownLength();
    void alarmSet_storedAndReadBack();

    void fault_ignoreAlarmSet_acknowledgedButOldAlarmsKept();
    void fault_split_piecesJoinToTheReply();
    void fault_split_cutPoints_data();
    void fault_split_cutPoints();
    void fault_split_neverCutsWhereALinkWouldEndAMessage();
    void fault_delay_firstPiecePaused();
    void fault_ignoreBlock_once();
    void fault_duplicateBlock_twoCopiesOnce();
    void fault_wrongNumberBlock_neighbourNumberOnce();
    void fault_shortBlock_tenBytesShortOnce();
    void fault_garbageBlock_notDButFb3Once();
    void fault_endAfterBlocks_bittiInEveryTransfer();
    void fault_silent_answersNothing();
    void fault_closeAfterRequests_asksToCloseAfterTheKthAnswer();
    void fault_parameterFields_fewerFields();
};

void TestSimLogger::fresh_reportsYeniAndDefaultPassword()
{
    SimLogger logger;
    QCOMPARE(logger.stationName(), QStringLiteral("Yeni"));
    QCOMPARE(logger.password(), QStringLiteral("1234"));
    QCOMPARE(fieldsOf(logger.handle(Commands::oku()).value(0)).value(2), QStringLiteral("Yeni"));
    QVERIFY(logger.usedBytes() > 0);
    QVERIFY(isValidDownload(logger.memory()));
}

void TestSimLogger::queries_answeredWithTheirRecords_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<int>("fields");
    QTest::newRow("OKU") << Commands::oku() << QByteArray("PAR") << 19;
    QTest::newRow("DKU") << Commands::dku() << QByteArray("DOS") << 12;
    QTest::newRow("VER") << Commands::ver() << QByteArray("DOS") << 12;
    QTest::newRow("ALO") << Commands::alo() << QByteArray("ALR") << 8;
}

void TestSimLogger::queries_answeredWithTheirRecords()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, word);
    QFETCH(int, fields);
    SimLogger logger;   // one file by default: 7 + 2 + 2 fields of the file list
    const QList<QByteArray> reply = logger.handle(command);
    QCOMPARE(reply.size(), 1);
    QVERIFY(reply.first().startsWith(word));
    QVERIFY(reply.first().endsWith("\x02\r"));
    QCOMPARE(fieldsOf(reply.first()).size(), fields);
}

void TestSimLogger::frames_splitOverReads_answeredOnceWhole()
{
    SimLogger logger;
    QVERIFY(logger.handle("\x02O").isEmpty());
    QVERIFY(logger.handle("K").isEmpty());
    const QList<QByteArray> reply = logger.handle("U\r");
    QCOMPARE(reply.size(), 1);
    QVERIFY(reply.first().startsWith("PAR"));
}

void TestSimLogger::frames_twoInOneRead_bothAnswered()
{
    SimLogger logger;
    const QList<QByteArray> reply = logger.handle(Commands::oku() + Commands::alo());
    QCOMPARE(reply.size(), 2);
    QVERIFY(reply.at(0).startsWith("PAR"));
    QVERIFY(reply.at(1).startsWith("ALR"));
}

void TestSimLogger::frames_noiseBeforeStx_skipped()
{
    SimLogger logger;
    const QList<QByteArray> reply = logger.handle(QByteArray("xyz") + Commands::alo());
    QCOMPARE(reply.size(), 1);
    QVERIFY(reply.first().startsWith("ALR"));
}

void TestSimLogger::unknownOrMalformed_noAnswer_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("unknown word") << QByteArray("\x02XYZ\r");
    QTest::newRow("OKU with a field") << QByteArray("\x02OKU1\r");
    QTest::newRow("lower case") << QByteArray("\x02oku\r");
    QTest::newRow("no STX") << QByteArray("OKU\r");
    QTest::newRow("AKT without fields") << QByteArray("\x02" "AKT\r");
    QTest::newRow("upload with missing items") << QByteArray("\x02PAR12341SN\x02N\x02\r");
    QTest::newRow("alarm set with letters") << QByteArray("\x02" "AYUa\x02" "b\x02" "c\x02" "d\x02" "0000\r");
    QTest::newRow("word only, no CR yet") << QByteArray("\x02OKU");
}

void TestSimLogger::unknownOrMalformed_noAnswer()
{
    QFETCH(QByteArray, bytes);
    SimLogger logger;
    QVERIFY(logger.handle(bytes).isEmpty());
}

void TestSimLogger::commandsReceived_listsWords()
{
    SimLogger logger;
    logger.handle(Commands::oku() + Commands::dku() + Commands::akt(0, 0) + QByteArray("\x02XYZ\r"));
    QCOMPARE(logger.commandsReceived(),
             (QStringList {QStringLiteral("OKU"), QStringLiteral("DKU"), QStringLiteral("AKT"),
                           QStringLiteral("XYZ")}));
    // The frames themselves, noise before the STX left out.
    logger.handle(QByteArray("ab") + Commands::sen(QStringLiteral(" 12 ")));
    QCOMPARE(logger.framesReceived().size(), 5);
    QCOMPARE(logger.framesReceived().at(0), QByteArray("\x02OKU\r"));
    QCOMPARE(logger.framesReceived().at(4), QByteArray("\x02SEN 12 \r"));
    logger.clearCommands();
    QVERIFY(logger.framesReceived().isEmpty());
}

void TestSimLogger::fileList_matchesMemory()
{
    SimLogger logger;
    GeneratorOptions o;
    o.files = 4;
    o.daysPerFile = 1;
    o.start = QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
    logger.setMemory(generateMemory(o));
    const QStringList f = fieldsOf(logger.handle(Commands::ver()).value(0));
    QCOMPARE(f.value(1), QStringLiteral("4"));
    QCOMPARE(f.value(2), QStringLiteral("01/01/24 00:00"));
    QCOMPARE(f.value(5), QStringLiteral("04/01/24 00:00"));
    QCOMPARE(f.value(6), QStringLiteral("00/00/00 00:00"));
    QCOMPARE(f.value(7).toLongLong() * 1056 + f.value(8).toLongLong(), logger.usedBytes());
    const QList<SimMemory::File> &files = logger.memoryState().files();
    for (int i = 0; i < 4; ++i)
        QCOMPARE(f.value(9 + 2 * i).toLongLong() * 1056 + f.value(10 + 2 * i).toLongLong(), files.at(i).end);
    QCOMPARE(files.last().end + 8, logger.usedBytes());
}

void TestSimLogger::blocks_wholeMemoryDownloaded_decodes()
{
    SimLogger logger;
    GeneratorOptions o;
    o.files = 2;
    o.daysPerFile = 2;
    logger.setMemory(generateMemory(o));
    const QByteArray data = download(logger);
    QCOMPARE(data, logger.memory());
    QVERIFY(isValidDownload(data));
    const std::unique_ptr<VLXFile> file = newestFile(data);
    QVERIFY(!file->records().isEmpty());
}

void TestSimLogger::blocks_pastTheEnd_bitti()
{
    SimLogger logger;
    const qint64 end = (logger.usedBytes() + 263) / 264 * 264;
    QCOMPARE(logger.handle(Commands::akt(int(end / 1056), int(end % 1056))),
             QList<QByteArray> {QByteArray("BITTI\x02")});
    QCOMPARE(logger.handle(Commands::akt(9339, 792)), QList<QByteArray> {QByteArray("BITTI\x02")});
}

void TestSimLogger::clock_runsFromComputerClock()
{
    SimLogger logger;
    QVERIFY(qAbs(logger.clock().secsTo(QDateTime::currentDateTime())) <= 1);
    logger.setClock(QDateTime(QDate(2020, 2, 2), QTime(2, 2, 2)));
    QVERIFY(qAbs(logger.clock().secsTo(QDateTime(QDate(2020, 2, 2), QTime(2, 2, 2)))) <= 1);
    const QString field5 = fieldsOf(logger.handle(Commands::oku()).value(0)).value(5);
    QVERIFY2(field5.startsWith(QStringLiteral("02/02/20 02:02:0")), qPrintable(field5));
    QVERIFY(field5.endsWith(QStringLiteral(" 7")));   // a Sunday
}

void TestSimLogger::password_change_data()
{
    QTest::addColumn<QString>("oldPassword");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("passwordAfter");
    QTest::newRow("right old password") << "1234" << "98765" << QByteArray("DEG\x02\r") << "98765";
    QTest::newRow("wrong old password") << "1235" << "9876" << QByteArray("SYANLIS\x02\r") << "1234";
    QTest::newRow("short old password") << "12" << "349999" << QByteArray("DEG\x02\r") << "9999";
    QTest::newRow("no new password") << "1234" << "" << QByteArray("SYANLIS\x02\r") << "1234";
}

void TestSimLogger::password_change()
{
    QFETCH(QString, oldPassword);
    QFETCH(QString, newPassword);
    QFETCH(QByteArray, answer);
    QFETCH(QString, passwordAfter);
    // "12" + "349999": the logger cuts its own four characters, which match
    SimLogger logger;
    QCOMPARE(logger.handle(Commands::sif(oldPassword, newPassword)), QList<QByteArray> {answer});
    QCOMPARE(logger.password(), passwordAfter);
}

void TestSimLogger::sensorZero_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("zeroed");
    QTest::newRow("right password") << "1234" << QByteArray("SIFIR\x02\r") << true;
    QTest::newRow("wrong password") << "4321" << QByteArray("SYANLIS\x02\r") << false;
    QTest::newRow("longer password") << "12345" << QByteArray("SYANLIS\x02\r") << false;
}

void TestSimLogger::sensorZero()
{
    QFETCH(QString, password);
    QFETCH(QByteArray, answer);
    QFETCH(bool, zeroed);
    SimLogger logger;
    QVERIFY(qAbs(logger.liveValues().level) > 1.0);
    QCOMPARE(logger.handle(Commands::sen(password)), QList<QByteArray> {answer});
    QCOMPARE(qAbs(logger.liveValues().level) < 0.5, zeroed);
}

void TestSimLogger::upload_appliesEveryItem()
{
    SimLogger logger;
    Upload u;
    QCOMPARE(logger.handle(u.frame()), QList<QByteArray> {QByteArray("UKLEND\x02\r")});
    const SimParameters &p = logger.parameters();
    QCOMPARE(p.serialNo, QStringLiteral("SN77"));
    QCOMPARE(p.stationName, QStringLiteral("Baraj 1"));
    QCOMPARE(p.stationNo, QStringLiteral("101"));
    QCOMPARE(p.offset, -2.5);
    QCOMPARE(p.channel1Unit, QStringLiteral("m"));
    QCOMPARE(p.channel1Name, QStringLiteral("Kot"));
    QCOMPARE(p.intervalMinutes, 30);
    QVERIFY(qAbs(logger.clock().secsTo(QDateTime(QDate(2024, 3, 5), QTime(14, 30, 59)))) <= 1);
    // record order: RS485, instantaneous record, instantaneous min/max,
    // record average, full hour, well
    const QString field17 = fieldsOf(logger.handle(Commands::oku()).value(0)).value(17);
    QCOMPARE(field17, QStringLiteral("101111"));
    QCOMPARE(fieldsOf(logger.handle(Commands::dku()).value(0)).value(0), QStringLiteral("30"));

    u.flags = "0000";
    u.recordFlags = "100";
    logger.handle(u.frame());
    QCOMPARE(fieldsOf(logger.handle(Commands::oku()).value(0)).value(17), QStringLiteral("010000"));
}

void TestSimLogger::upload_wrongPassword_syanlisAndNothingChanged_data()
{
    QTest::addColumn<QByteArray>("password");
    QTest::newRow("other digits") << QByteArray("4321");
    QTest::newRow("shorter") << QByteArray("123");
    QTest::newRow("empty") << QByteArray();
}

void TestSimLogger::upload_wrongPassword_syanlisAndNothingChanged()
{
    QFETCH(QByteArray, password);
    SimLogger logger;
    const QByteArray before = logger.memory();
    Upload u;
    u.password = password;
    // "123" + "1" + "SN77": the fourth character is the action digit, not "4"
    QCOMPARE(logger.handle(u.frame()), QList<QByteArray> {QByteArray("SYANLIS\x02\r")});
    QCOMPARE(logger.stationName(), QStringLiteral("Yeni"));
    QCOMPARE(logger.memory(), before);
}

void TestSimLogger::upload_fileActionZero_erasesMemory()
{
    SimLogger logger;
    GeneratorOptions o;
    o.files = 3;
    logger.setMemory(generateMemory(o));
    Upload u;
    u.action = '0';
    logger.handle(u.frame());
    QCOMPARE(logger.memoryState().files().size(), 1);
    const QStringList f = fieldsOf(logger.handle(Commands::dku()).value(0));
    QCOMPARE(f.value(1), QStringLiteral("1"));
    QCOMPARE(f.value(2), QStringLiteral("05/03/24 14:30"));
    const std::unique_ptr<VLXFile> file = newestFile(download(logger));
    QCOMPARE(file->stationName(), QStringLiteral("Baraj 1"));
    QCOMPARE(file->stationNo(), QStringLiteral("101"));
    QCOMPARE(file->fileDate(), QDateTime(QDate(2024, 3, 5), QTime(14, 30), Qt::UTC));
    QCOMPARE(file->recordInterval(), 30);
    QCOMPARE(file->channel1Name(), QStringLiteral("Kot"));
    QCOMPARE(file->channel1Unit(), QStringLiteral("m"));
}

void TestSimLogger::upload_fileActionOne_keepsLatestFile()
{
    SimLogger logger;
    GeneratorOptions o;
    o.files = 3;
    o.start = QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
    logger.setMemory(generateMemory(o));
    const SimMemory::File latest = logger.memoryState().files().last();
    const QByteArray latestBytes = logger.memory().mid(latest.start, latest.end - latest.start);
    Upload u;
    u.action = '1';
    logger.handle(u.frame());
    const QStringList f = fieldsOf(logger.handle(Commands::dku()).value(0));
    QCOMPARE(f.value(1), QStringLiteral("2"));
    QCOMPARE(f.value(2), QStringLiteral("05/01/24 00:00"));
    QCOMPARE(f.value(3), QStringLiteral("05/03/24 14:30"));
    QCOMPARE(f.value(9).toLongLong() * 1056 + f.value(10).toLongLong(), latestBytes.size());
    QVERIFY(logger.memory().startsWith(latestBytes));
    const std::unique_ptr<VLXFile> file = newestFile(download(logger));
    QCOMPARE(file->stationName(), QStringLiteral("Baraj 1"));
}

void TestSimLogger::upload_passwordOfOtherLength_splitByKnownLength()
{
    SimLogger logger;
    logger.setPassword(QStringLiteral("ab"));
    Upload u;
    u.password = "ab";
    u.serial = "1234";   // digits right after the action digit
    QCOMPARE(logger.handle(u.frame()), QList<QByteArray> {QByteArray("UKLEND\x02\r")});
    QCOMPARE(logger.serialNo(), QStringLiteral("1234"));
}

void TestSimLogger::alarmSet_storedAndReadBack()
{
    SimLogger logger;
    const QByteArray frame("\x02" "AYU12.35\x02" "10.00\x02" "31.50\x02" "25.25\x02" "2101\r");
    QCOMPARE(logger.handle(frame), QList<QByteArray> {QByteArray("AYUOK\x02\r")});
    QCOMPARE(logger.alarms().thresholds[0], 12.35);
    QCOMPARE(logger.alarms().relay1, 2);
    QCOMPARE(logger.alarms().relay2, 1);
    QVERIFY(!logger.alarms().channel1On);
    QVERIFY(logger.alarms().channel2On);
    const QStringList f = fieldsOf(logger.handle(Commands::alo()).value(0));
    QCOMPARE(f.mid(0, 4), (QStringList {"12.35", "10.00", "31.50", "25.25"}));
    QCOMPARE(f.value(6), QStringLiteral("2101"));
}

void TestSimLogger::fault_ignoreAlarmSet_acknowledgedButOldAlarmsKept()
{
    SimLogger logger;
    SimAlarms before;
    before.thresholds[0] = 77.5;
    before.relay1 = 1;
    before.channel1On = true;
    logger.setAlarms(before);
    logger.faults().ignoreAlarmSet = true;
    const QByteArray frame("\x02" "AYU12.35\x02" "10.00\x02" "31.50\x02" "25.25\x02" "2101\r");
    QCOMPARE(logger.handle(frame), QList<QByteArray> {QByteArray("AYUOK\x02\r")});
    QCOMPARE(logger.alarms().thresholds[0], 77.5);
    QCOMPARE(logger.alarms().relay1, 1);
    QCOMPARE(logger.alarms().relay2, 0);
    QVERIFY(logger.alarms().channel1On);
    QVERIFY(!logger.alarms().channel2On);
    QCOMPARE(fieldsOf(logger.handle(Commands::alo()).value(0)).value(6), QStringLiteral("1010"));

    // Switched off again, the next alarm set is stored.
    logger.faults().ignoreAlarmSet = false;
    logger.handle(frame);
    QCOMPARE(logger.alarms().thresholds[0], 12.35);
    QCOMPARE(logger.alarms().relay1, 2);
}

void TestSimLogger::fault_split_piecesJoinToTheReply()
{
    SimLogger plain;
    plain.setFixedValues(1.0, 2.0);
    SimLogger logger;
    logger.setFixedValues(1.0, 2.0);
    logger.faults().splitReplies = true;
    int multi = 0;
    for (const QByteArray &command : {Commands::dku(), Commands::alo(), Commands::akt(0, 0), Commands::akt(0, 264)}) {
        const QList<SimPiece> pieces = logger.receive(command);
        QVERIFY(!pieces.isEmpty());
        QByteArray all;
        for (const SimPiece &p : pieces) {
            all += p.bytes;
            QVERIFY(p.pauseMs >= 0 && p.pauseMs <= logger.faults().splitPauseMs);
        }
        QCOMPARE(all, joined(plain.handle(command)));
        multi += pieces.size() > 1 ? 1 : 0;
    }
    QVERIFY(multi >= 3);
}

void TestSimLogger::fault_split_cutPoints_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("at");
    QTest::addColumn<bool>("allowed");
    const QByteArray bitti("BITTI\x02");
    const QByteArray block = QByteArray("D\x00\x01xy", 5) + FB3 + "z" + FB3;   // FB FB FB at 5 and 9
    QTest::newRow("end marker, inside BITTI") << bitti << 2 << false;
    QTest::newRow("marker in a payload, before its STX") << QByteArray("ab") + bitti + "c" << 7 << false;
    QTest::newRow("marker in a payload, around it") << QByteArray("ab") + bitti + "c" << 8 << true;
    QTest::newRow("before a CR") << QByteArray("ab\rcd\r") << 2 << false;
    QTest::newRow("after a CR") << QByteArray("ab\rcd\r") << 3 << false;
    QTest::newRow("away from a CR") << QByteArray("ab\rcd\r") << 1 << true;
    QTest::newRow("before FB FB FB") << block << 5 << true;
    QTest::newRow("inside FB FB FB") << block << 7 << false;
    QTest::newRow("right after FB FB FB") << block << 8 << false;
    QTest::newRow("inside the closing FB FB FB") << block << 11 << false;
}

void TestSimLogger::fault_split_cutPoints()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, at);
    QFETCH(bool, allowed);
    QCOMPARE(SimLogger::cutAllowed(reply, at), allowed);
}

void TestSimLogger::fault_split_neverCutsWhereALinkWouldEndAMessage()
{
    // A block whose payload holds FB FB FB, a CR and the end marker: every
    // cut the split makes is an allowed one, and the pieces join to the reply.
    SimLogger logger;
    logger.setMemoryImage(QByteArray(100, 'a') + FB3 + '\r' + QByteArray(50, 'b') + "BITTI\x02"
                          + QByteArray(50, 'c') + QByteArray(8, char(0xFF)));
    logger.faults().splitReplies = true;
    for (quint32 seed = 1; seed < 60; ++seed) {
        logger.faults().seed = seed;
        const QList<SimPiece> pieces = logger.receive(Commands::akt(0, 0));
        QByteArray reply;
        for (const SimPiece &piece : pieces)
            reply += piece.bytes;
        qsizetype at = 0;
        for (int i = 0; i + 1 < pieces.size(); ++i) {
            at += pieces.at(i).bytes.size();
            QVERIFY2(SimLogger::cutAllowed(reply, at), qPrintable(QString::number(at)));
        }
        QCOMPARE(reply.mid(3, logger.usedBytes()), logger.memory());
    }
    // The end marker alone is never cut.
    logger.faults().endAfterBlocks = 0;
    QCOMPARE(logger.receive(Commands::akt(0, 264)).size(), 1);
}

void TestSimLogger::fault_delay_firstPiecePaused()
{
    SimLogger logger;
    logger.faults().replyDelayMs = 700;
    const QList<SimPiece> pieces = logger.receive(Commands::oku());
    QCOMPARE(pieces.size(), 1);
    QCOMPARE(pieces.first().pauseMs, 700);
}

void TestSimLogger::fault_ignoreBlock_once()
{
    SimLogger logger;
    logger.faults().ignoreBlock = 1;
    QCOMPARE(logger.handle(Commands::akt(0, 0)).size(), 1);
    QVERIFY(logger.handle(Commands::akt(0, 264)).isEmpty());
    QCOMPARE(logger.handle(Commands::akt(0, 264)).size(), 1);
    QCOMPARE(logger.faults().ignoreBlock, -1);
}

void TestSimLogger::fault_duplicateBlock_twoCopiesOnce()
{
    SimLogger logger;
    logger.faults().duplicateBlock = 2;
    const QList<SimPiece> pieces = logger.receive(Commands::akt(0, 528));
    QCOMPARE(pieces.size(), 2);
    QCOMPARE(pieces.at(0).bytes, pieces.at(1).bytes);
    QVERIFY(pieces.at(1).pauseMs > 0);   // two separate arrivals
    QCOMPARE(logger.receive(Commands::akt(0, 528)).size(), 1);
}

void TestSimLogger::fault_wrongNumberBlock_neighbourNumberOnce()
{
    SimLogger logger;
    logger.faults().wrongNumberBlock = 4;
    const QByteArray wrong = logger.handle(Commands::akt(1, 0)).value(0);
    QCOMPARE(wrong.at(0), 'D');
    QCOMPARE((quint8(wrong.at(1)) << 8) | quint8(wrong.at(2)), 3);
    const QByteArray right = logger.handle(Commands::akt(1, 0)).value(0);
    QCOMPARE((quint8(right.at(1)) << 8) | quint8(right.at(2)), 4);
    QCOMPARE(wrong.size(), right.size());
}

void TestSimLogger::fault_shortBlock_tenBytesShortOnce()
{
    SimLogger logger;
    logger.faults().shortBlock = 0;
    const QByteArray reply = logger.handle(Commands::akt(0, 0)).value(0);
    QCOMPARE(reply.size(), 264 + 6 - 10);
    QVERIFY(reply.endsWith(FB3));
    QCOMPARE(reply.mid(3, 254), logger.memory().left(254));
    QCOMPARE(logger.handle(Commands::akt(0, 0)).value(0).size(), 270);
}

void TestSimLogger::fault_garbageBlock_notDButFb3Once()
{
    SimLogger logger;
    logger.faults().garbageBlock = 1;
    const QByteArray reply = logger.handle(Commands::akt(0, 264)).value(0);
    QVERIFY(!reply.startsWith('D'));
    QVERIFY(reply.endsWith(FB3));
    QVERIFY(logger.handle(Commands::akt(0, 264)).value(0).startsWith('D'));
}

void TestSimLogger::fault_endAfterBlocks_bittiInEveryTransfer()
{
    SimLogger logger;
    logger.faults().endAfterBlocks = 2;
    for (int transfer = 0; transfer < 2; ++transfer) {
        logger.handle(Commands::ver());
        QVERIFY(logger.handle(Commands::akt(0, 0)).value(0).startsWith('D'));
        QVERIFY(logger.handle(Commands::akt(0, 264)).value(0).startsWith('D'));
        QCOMPARE(logger.handle(Commands::akt(0, 528)).value(0), QByteArray("BITTI\x02"));
    }
}

void TestSimLogger::fault_silent_answersNothing()
{
    SimLogger logger;
    logger.faults().silent = true;
    for (const QByteArray &command : {Commands::oku(), Commands::dku(), Commands::alo(),
                                      Commands::ver(), Commands::akt(0, 0), Commands::sen("1234")})
        QVERIFY(logger.handle(command).isEmpty());
    QCOMPARE(logger.commandsReceived().size(), 6);
    logger.faults().silent = false;
    QCOMPARE(logger.handle(Commands::oku()).size(), 1);
}

void TestSimLogger::fault_closeAfterRequests_asksToCloseAfterTheKthAnswer()
{
    SimLogger logger;
    logger.faults().closeAfterRequests = 2;
    logger.handle(Commands::oku());
    QVERIFY(!logger.takeCloseRequest());
    QCOMPARE(logger.handle(Commands::dku()).size(), 1);
    QVERIFY(logger.takeCloseRequest());
    QVERIFY(!logger.takeCloseRequest());
    logger.resetInput();   // the next connection counts afresh
    logger.handle(Commands::oku());
    QVERIFY(!logger.takeCloseRequest());
}

void TestSimLogger::fault_parameterFields_fewerFields()
{
    SimLogger logger;
    logger.faults().parameterFields = 10;
    const QByteArray reply = logger.handle(Commands::oku()).value(0);
    QVERIFY(reply.startsWith("PAR"));
    QVERIFY(reply.endsWith("\x02\r"));
    QCOMPARE(fieldsOf(reply).size(), 11);
}

QTEST_GUILESS_MAIN(TestSimLogger)
#include "tst_simlogger.moc"
