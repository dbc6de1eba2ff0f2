#include "commands.h"
#include "simreplies.h"

#include <QtTest>

using namespace SimReplies;

namespace {

// What the program does with a text reply: the word, then the rest split at
// STX with empty fields kept; the CR closing the message is not a field.
QStringList fieldsAfterWord(const QByteArray &reply, const QByteArray &word)
{
    if (!reply.startsWith(word) || !reply.endsWith('\r'))
        return {QStringLiteral("<not a %1 reply>").arg(QString::fromLatin1(word))};
    return QString::fromUtf8(reply.mid(word.size(), reply.size() - word.size() - 1))
        .split(QChar(0x02));
}

QDateTime local(int y, int mo, int d, int h, int mi, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

} // namespace

class TestSimReplies : public QObject
{
    Q_OBJECT
private slots:
    void parameterRecord_fieldsInProgramOrder();
    void parameterRecord_dayNumber_data();
    void parameterRecord_dayNumber();
    void parameterRecord_optionDigits_inRecordOrder_data();
    void parameterRecord_optionDigits_inRecordOrder();
    void parameterRecord_fewerFields_endsAfterTheLastOne();
    void fileList_fieldsAndEmptySlots();
    void fileList_emptyMemory_countZeroAndNoEndPairs();
    void alarmRecord_fields();
    void alarmRecord_neverAlarmed_zeroDates();
    void shortAnswers_wordStxCr_data();
    void shortAnswers_wordStxCr();
    void blockReply_layout_data();
    void blockReply_layout();
    void blockRequest_parsesProgramFrames_data();
    void blockRequest_parsesProgramFrames();
    void blockRequest_malformed_rejected_data();
    void blockRequest_malformed_rejected();
    void upload_itemsOfTheFrame();
    void upload_malformed_rejected_data();
    void upload_malformed_rejected();
    void uploadClock_data();
    void uploadClock();
    void alarmSet_parsesItems_data();
    void alarmSet_parsesItems();
};

void TestSimReplies::parameterRecord_fieldsInProgramOrder()
{
    SimParameters p;
    p.serialNo = QStringLiteral("S123");
    p.model = QStringLiteral("M7");
    p.stationName = QStringLiteral("Baraj A");
    p.stationNo = QStringLiteral("4711");
    p.offset = -1.5;
    p.battery = QStringLiteral("12.1 V");
    p.channel1Name = QStringLiteral("Seviye");
    p.channel1Unit = QStringLiteral("m");
    p.channel2Name = QStringLiteral("Sicaklik");
    p.channel2Unit = QStringLiteral("C");
    SimLiveValues live;
    live.level = 12.345;
    live.temperature = 7.5;
    live.minLevel = 10;
    live.minLevelTime = local(2024, 3, 4, 5, 6);
    live.minTemperature = 6.25;
    live.minTemperatureTime = local(2024, 3, 4, 7, 8);
    live.maxLevel = 14;
    live.maxLevelTime = local(2024, 3, 5, 1, 2);
    live.maxTemperature = 9;
    live.maxTemperatureTime = local(2024, 3, 5, 3, 4);

    const QByteArray reply = parameterRecord(p, live, local(2024, 3, 5, 14, 30, 59));
    QVERIFY(reply.endsWith(QByteArray("\x02\r")));
    const QStringList f = fieldsAfterWord(reply, "PAR");
    QCOMPARE(f.size(), 19);   // 18 fields and the empty rest after the last STX
    QCOMPARE(f.at(0), QStringLiteral("S123"));
    QCOMPARE(f.at(1), QStringLiteral("M7"));
    QCOMPARE(f.at(2), QStringLiteral("Baraj A"));
    QCOMPARE(f.at(3), QStringLiteral("4711"));
    QCOMPARE(f.at(4), QStringLiteral("-1.50"));
    QCOMPARE(f.at(5), QStringLiteral("05/03/24 14:30:59 2"));   // a Tuesday
    QCOMPARE(f.at(6), QStringLiteral("12.1 V"));
    QCOMPARE(f.at(7), QStringLiteral("Seviye"));
    QCOMPARE(f.at(8), QStringLiteral("12.35"));
    QCOMPARE(f.at(9), QStringLiteral("m"));
    QCOMPARE(f.at(10), QStringLiteral("Sicaklik"));
    QCOMPARE(f.at(11), QStringLiteral("7.50"));
    QCOMPARE(f.at(12), QStringLiteral("C"));
    QCOMPARE(f.at(13), QStringLiteral("04/03/24 05:06 10.00"));
    QCOMPARE(f.at(14), QStringLiteral("04/03/24 07:08 6.25"));
    QCOMPARE(f.at(15), QStringLiteral("05/03/24 01:02 14.00"));
    QCOMPARE(f.at(16), QStringLiteral("05/03/24 03:04 9.00"));
    QCOMPARE(f.at(17), QStringLiteral("000000"));
    QCOMPARE(f.at(18), QString());
}

void TestSimReplies::parameterRecord_dayNumber_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("field5");
    QTest::newRow("Monday") << QDate(2024, 3, 4) << QStringLiteral("04/03/24 00:00:00 1");
    QTest::newRow("Saturday") << QDate(2024, 3, 9) << QStringLiteral("09/03/24 00:00:00 6");
    QTest::newRow("Sunday") << QDate(2024, 3, 10) << QStringLiteral("10/03/24 00:00:00 7");
}

void TestSimReplies::parameterRecord_dayNumber()
{
    QFETCH(QDate, date);
    QFETCH(QString, field5);
    const QStringList f = fieldsAfterWord(
        parameterRecord(SimParameters(), SimLiveValues(), QDateTime(date, QTime(0, 0))), "PAR");
    QCOMPARE(f.value(5), field5);
    QCOMPARE(f.value(5).left(17).size(), 17);
    QCOMPARE(f.value(5).at(17), QLatin1Char(' '));
}

void TestSimReplies::parameterRecord_optionDigits_inRecordOrder_data()
{
    QTest::addColumn<QList<int>>("options");
    QTest::addColumn<QString>("digits");
    QTest::newRow("none") << QList<int> {0, 0, 0, 0, 0, 0} << QStringLiteral("000000");
    QTest::newRow("RS485 only") << QList<int> {1, 0, 0, 0, 0, 0} << QStringLiteral("100000");
    QTest::newRow("well only") << QList<int> {0, 0, 0, 0, 0, 1} << QStringLiteral("000001");
    QTest::newRow("alternating") << QList<int> {0, 1, 0, 1, 0, 1} << QStringLiteral("010101");
}

void TestSimReplies::parameterRecord_optionDigits_inRecordOrder()
{
    QFETCH(QList<int>, options);
    QFETCH(QString, digits);
    SimParameters p;
    for (int i = 0; i < 6; ++i)
        p.options[i] = options.at(i);
    const QStringList f = fieldsAfterWord(parameterRecord(p, SimLiveValues(), local(2024, 1, 1, 0, 0)), "PAR");
    QCOMPARE(f.value(17), digits);
}

void TestSimReplies::parameterRecord_fewerFields_endsAfterTheLastOne()
{
    SimParameters p;
    p.serialNo = QStringLiteral("A");
    p.model = QStringLiteral("B");
    const QByteArray reply = parameterRecord(p, SimLiveValues(), local(2024, 1, 1, 0, 0), 2);
    QCOMPARE(reply, QByteArray("PARA\x02" "B\x02\r"));
}

void TestSimReplies::fileList_fieldsAndEmptySlots()
{
    QList<SimMemory::File> files;
    SimMemory::File a;
    a.installTime = local(2013, 12, 7, 14, 30);
    a.end = 2 * 1056 + 100;
    SimMemory::File b;
    b.installTime = local(2014, 1, 2, 3, 4);
    b.start = a.end;
    b.end = 5 * 1056;
    files << a << b;
    const QStringList f = fieldsAfterWord(fileListRecord(15, files, 5 * 1056 + 8), "DOS");
    const QStringList expected {
        QStringLiteral("15"), QStringLiteral("2"),
        QStringLiteral("07/12/13 14:30"), QStringLiteral("02/01/14 03:04"),
        QStringLiteral("00/00/00 00:00"), QStringLiteral("00/00/00 00:00"), QStringLiteral("00/00/00 00:00"),
        QStringLiteral("5"), QStringLiteral("8"),
        QStringLiteral("2"), QStringLiteral("100"),
        QStringLiteral("5"), QStringLiteral("0"),
        QString()};
    QCOMPARE(f, expected);
}

void TestSimReplies::fileList_emptyMemory_countZeroAndNoEndPairs()
{
    const QStringList f = fieldsAfterWord(fileListRecord(60, {}, 8), "DOS");
    QCOMPARE(f.size(), 10);
    QCOMPARE(f.at(0), QStringLiteral("60"));
    QCOMPARE(f.at(1), QStringLiteral("0"));
    for (int i = 2; i < 7; ++i)
        QCOMPARE(f.at(i), QStringLiteral("00/00/00 00:00"));
    QCOMPARE(f.at(7), QStringLiteral("0"));
    QCOMPARE(f.at(8), QStringLiteral("8"));
}

void TestSimReplies::alarmRecord_fields()
{
    SimAlarms a;
    a.thresholds[0] = 12.346;
    a.thresholds[1] = 10;
    a.thresholds[2] = 30.5;
    a.thresholds[3] = 0;
    a.relay1 = 1;
    a.relay2 = 2;
    a.channel1On = true;
    a.channel2On = false;
    a.lastAlarm[0] = local(2024, 3, 5, 10, 30);
    a.lastAlarmValue[0] = 152.3;
    const QStringList f = fieldsAfterWord(alarmRecord(a), "ALR");
    QCOMPARE(f.size(), 8);
    QCOMPARE(f.at(0), QStringLiteral("12.35"));
    QCOMPARE(f.at(1), QStringLiteral("10.00"));
    QCOMPARE(f.at(2), QStringLiteral("30.50"));
    QCOMPARE(f.at(3), QStringLiteral("0.00"));
    QCOMPARE(f.at(4).size(), 14 + 14);
    QCOMPARE(f.at(4).mid(14), QStringLiteral("05/03/24 10:30"));
    QVERIFY(f.at(4).left(14).contains(QStringLiteral("152.30")));
    QCOMPARE(f.at(6), QStringLiteral("1210"));
    QCOMPARE(f.at(7), QString());
}

void TestSimReplies::alarmRecord_neverAlarmed_zeroDates()
{
    const QStringList f = fieldsAfterWord(alarmRecord(SimAlarms()), "ALR");
    QCOMPARE(f.value(4).mid(14), QStringLiteral("00/00/00 00:00"));
    QCOMPARE(f.value(5).mid(14), QStringLiteral("00/00/00 00:00"));
    QCOMPARE(f.value(6), QStringLiteral("0000"));
}

void TestSimReplies::shortAnswers_wordStxCr_data()
{
    QTest::addColumn<QByteArray>("word");
    for (const char *w : {"DEG", "SIFIR", "UKLEND", "SYANLIS", "AYUOK"})
        QTest::newRow(w) << QByteArray(w);
}

void TestSimReplies::shortAnswers_wordStxCr()
{
    QFETCH(QByteArray, word);
    QCOMPARE(shortAnswer(word.constData()), word + "\x02\r");
}

void TestSimReplies::blockReply_layout_data()
{
    QTest::addColumn<int>("used");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("blockNo");
    QTest::addColumn<int>("payload");
    QTest::newRow("first block") << 1000 << 0 << 0 << 264;
    QTest::newRow("second block") << 1000 << 264 << 1 << 264;
    QTest::newRow("last, shorter block") << 1000 << 792 << 3 << 208;
    QTest::newRow("block 300: number over one byte") << 300 * 264 + 1 << 300 * 264 << 300 << 1;
    QTest::newRow("page 12 offset 792") << 20000 << 12 * 1056 + 792 << 51 << 264;
}

void TestSimReplies::blockReply_layout()
{
    QFETCH(int, used);
    QFETCH(int, address);
    QFETCH(int, blockNo);
    QFETCH(int, payload);
    QByteArray image(used, '\0');
    for (int i = 0; i < used; ++i)
        image[i] = char((i * 7 + 1) & 0x7F);
    const QByteArray reply = blockReply(image, address);
    QCOMPARE(reply.at(0), 'D');
    QCOMPARE((quint8(reply.at(1)) << 8) | quint8(reply.at(2)), blockNo);
    QCOMPARE(reply.size(), payload + 6);
    QCOMPARE(reply.mid(3, payload), image.mid(address, payload));
    QCOMPARE(reply.right(3), QByteArray(3, char(0xFB)));
}

void TestSimReplies::blockRequest_parsesProgramFrames_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("offset");
    QTest::newRow("origin") << 0 << 0;
    QTest::newRow("page 12 offset 792") << 12 << 792;
    QTest::newRow("last page") << 9339 << 792;
}

void TestSimReplies::blockRequest_parsesProgramFrames()
{
    QFETCH(int, page);
    QFETCH(int, offset);
    const std::optional<BlockRequest> r = parseBlockRequest(Commands::akt(page, offset));
    QVERIFY(r.has_value());
    QCOMPARE(r->page, page);
    QCOMPARE(r->offset, offset);
    QCOMPARE(r->address(), qint64(page) * 1056 + offset);
}

void TestSimReplies::blockRequest_malformed_rejected_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("three digits") << QByteArray("\x02" "AKT012\x02" "0792\x02\r");
    QTest::newRow("no closing STX") << QByteArray("\x02" "AKT0012\x02" "0792\r");
    QTest::newRow("offset past the page") << QByteArray("\x02" "AKT0012\x02" "1056\x02\r");
    QTest::newRow("letters") << QByteArray("\x02" "AKT00x2\x02" "0792\x02\r");
}

void TestSimReplies::blockRequest_malformed_rejected()
{
    QFETCH(QByteArray, frame);
    QVERIFY(!parseBlockRequest(frame).has_value());
}

void TestSimReplies::upload_itemsOfTheFrame()
{
    // Built item by item as the program builds it.
    const QByteArray frame = QByteArray("\x02PAR") + "1234" + "1" + "SER9" + '\x02' + "Baraj" + '\x02'
                             + "77" + '\x02' + "1" + "1" + "0" + "0" + '\x02' + "0503241430597"
                             + '\x02' + "2.50" + '\x02' + "cm" + '\x02' + "Seviye" + '\x02' + "15"
                             + '\x02' + "101" + '\x02' + '\r';
    const std::optional<UploadFrame> u = parseUpload(frame);
    QVERIFY(u.has_value());
    QCOMPARE(u->passwordAndRest, QByteArray("12341SER9"));
    QCOMPARE(u->stationName, QStringLiteral("Baraj"));
    QCOMPARE(u->stationNo, QStringLiteral("77"));
    QCOMPARE(u->flags, QByteArray("1100"));
    QCOMPARE(u->clock, QByteArray("0503241430597"));
    QCOMPARE(u->offset, QByteArray("2.50"));
    QCOMPARE(u->unit, QStringLiteral("cm"));
    QCOMPARE(u->channel1Name, QStringLiteral("Seviye"));
    QCOMPARE(u->interval, QStringLiteral("15"));
    QCOMPARE(u->recordFlags, QByteArray("101"));
}

void TestSimReplies::upload_malformed_rejected_data()
{
    QTest::addColumn<QByteArray>("frame");
    const QByteArray good = QByteArray("\x02PAR12341SER9\x02N\x02" "1\x02" "0000\x02" "0503241430597\x02"
                                       "0.00\x02" "cm\x02" "C1\x02" "15\x02" "000\x02\r");
    QVERIFY(parseUpload(good).has_value());
    QTest::newRow("one item missing") << QByteArray(good).replace("cm\x02", "");
    QTest::newRow("third flag digit not 0") << QByteArray(good).replace("\x02" "0000\x02", "\x02" "0010\x02");
    QTest::newRow("record flags too short") << QByteArray(good).replace("\x02" "000\x02", "\x02" "00\x02");
    QTest::newRow("not closed by STX") << QByteArray(good).replace("000\x02\r", "000\r");
    QTest::newRow("another word") << QByteArray(good).replace("PAR", "PAX");
}

void TestSimReplies::upload_malformed_rejected()
{
    QFETCH(QByteArray, frame);
    QVERIFY(!parseUpload(frame).has_value());
}

void TestSimReplies::uploadClock_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow("Tuesday afternoon") << QByteArray("0503241430597")
                                       << local(2024, 3, 5, 14, 30, 59);
    QTest::newRow("leap day of 2000") << QByteArray("2902000000002") << local(2000, 2, 29, 0, 0);
    QTest::newRow("month 13") << QByteArray("0513241430597") << QDateTime();
    QTest::newRow("letters") << QByteArray("05ab241430597") << QDateTime();
    QTest::newRow("too short") << QByteArray("05032414") << QDateTime();
}

void TestSimReplies::uploadClock()
{
    QFETCH(QByteArray, text);
    QFETCH(QDateTime, expected);
    QCOMPARE(parseUploadClock(text), expected);
}

void TestSimReplies::alarmSet_parsesItems_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("firstThreshold");
    QTest::addColumn<int>("relay1");
    QTest::addColumn<int>("relay2");
    QTest::addColumn<bool>("on1");
    QTest::addColumn<bool>("on2");
    QTest::newRow("all set") << QByteArray("\x02" "AYU12.35\x02" "10.00\x02" "30.00\x02" "25.00\x02" "1210\r")
                             << true << 12.35 << 1 << 2 << true << false;
    QTest::newRow("relay not shown: -1 kept as none")
        << QByteArray("\x02" "AYU1.00\x02" "0.00\x02" "0.00\x02" "0.00\x02" "-1001\r")
        << true << 1.0 << 0 << 0 << false << true;
    QTest::newRow("three thresholds") << QByteArray("\x02" "AYU1.00\x02" "0.00\x02" "0.00\x02" "1210\r")
                                      << false << 0.0 << 0 << 0 << false << false;
    QTest::newRow("threshold not a number") << QByteArray("\x02" "AYUx\x02" "0.00\x02" "0.00\x02" "0.00\x02" "1210\r")
                                            << false << 0.0 << 0 << 0 << false << false;
}

void TestSimReplies::alarmSet_parsesItems()
{
    QFETCH(QByteArray, frame);
    QFETCH(bool, valid);
    const std::optional<SimAlarms> a = parseAlarmSet(frame);
    QCOMPARE(a.has_value(), valid);
    if (!valid)
        return;
    QFETCH(double, firstThreshold);
    QFETCH(int, relay1);
    QFETCH(int, relay2);
    QFETCH(bool, on1);
    QFETCH(bool, on2);
    QCOMPARE(a->thresholds[0], firstThreshold);
    QCOMPARE(a->relay1, relay1);
    QCOMPARE(a->relay2, relay2);
    QCOMPARE(a->channel1On, on1);
    QCOMPARE(a->channel2On, on2);
}

QTEST_GUILESS_MAIN(TestSimReplies)
#include "tst_simreplies.moc"
