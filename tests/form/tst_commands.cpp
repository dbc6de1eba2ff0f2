#include "commands.h"
#include "records.h"
#include "upload.h"

#include <QtTest>

Q_DECLARE_METATYPE(UploadRequest)
Q_DECLARE_METATYPE(AlarmSettings)

class TestCommands : public QObject
{
    Q_OBJECT
private slots:
    void frame_matchesWireBytes_data();
    void frame_matchesWireBytes();
    void par_matchesWireBytes_data();
    void par_matchesWireBytes();
    void par_offsetUsesPointWhateverTheLocale();
    void par_clockItemHasThirteenCharactersAndDayDigit_data();
    void par_clockItemHasThirteenCharactersAndDayDigit();
    void ayu_matchesWireBytes_data();
    void ayu_matchesWireBytes();
};

namespace {

// A complete upload as the form would read it; 2024-03-10 is a Sunday.
UploadRequest sampleUpload()
{
    UploadRequest r;
    r.password = QStringLiteral("1234");
    r.fileAction = 1;
    r.serialNo = QStringLiteral("SN01");
    r.stationName = QStringLiteral("Baraj A");
    r.stationNo = QStringLiteral("42");
    r.waitFullHour = true;
    r.well = false;
    r.rs485 = true;
    r.clock = QDateTime(QDate(2024, 3, 10), QTime(14, 5, 9));
    r.offset = 2.0f;
    r.channel1Unit = QStringLiteral("cm");
    r.channel1Name = QStringLiteral("Seviye");
    r.recordInterval = QStringLiteral("15");
    r.instantRecord = true;
    r.instantMinMax = false;
    r.recordAverage = true;
    return r;
}

// The expected frame of sampleUpload() with some items replaced.
QByteArray expectedPar(const QByteArray &passwordActionSerial = "12341SN01",
                       const QByteArray &options = "1001",
                       const QByteArray &offset = "2.00",
                       const QByteArray &unit = "cm",
                       const QByteArray &station = "Baraj A")
{
    return QByteArray("\x02PAR") + passwordActionSerial + "\x02" + station + "\x02" "42\x02"
        + options + "\x02" "1003241405097\x02" + offset + "\x02" + unit
        + "\x02" "Seviye\x02" "15\x02" "101\x02\r";
}

} // namespace

void TestCommands::frame_matchesWireBytes_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("OKU") << Commands::oku() << QByteArray("\x02OKU\r");
    QTest::newRow("DKU") << Commands::dku() << QByteArray("\x02" "DKU\r");
    QTest::newRow("ALO") << Commands::alo() << QByteArray("\x02" "ALO\r");
    QTest::newRow("VER") << Commands::ver() << QByteArray("\x02VER\r");
    QTest::newRow("AKT page 12 offset 792")
        << Commands::akt(12, 792) << QByteArray("\x02" "AKT0012\x02" "0792\x02\r");
    QTest::newRow("AKT first block") << Commands::akt(0, 0) << QByteArray("\x02" "AKT0000\x02" "0000\x02\r");
    QTest::newRow("AKT last page") << Commands::akt(9339, 792)
                                   << QByteArray("\x02" "AKT9339\x02" "0792\x02\r");
    QTest::newRow("SIF") << Commands::sif("1234", "9876") << QByteArray("\x02SIF12349876\r");
    QTest::newRow("SIF blanks kept") << Commands::sif(" 12", "a b ") << QByteArray("\x02SIF 12a b \r");
    QTest::newRow("SIF Turkish letters UTF-8")
        << Commands::sif(QString::fromUtf8("ş"), "1") << QByteArray("\x02SIF\xC5\x9F" "1\r");
    QTest::newRow("SEN") << Commands::sen("1234") << QByteArray("\x02SEN1234\r");
    QTest::newRow("SEN empty") << Commands::sen(QString()) << QByteArray("\x02SEN\r");
}

void TestCommands::frame_matchesWireBytes()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, expected);
    QCOMPARE(frame, expected);
    QVERIFY(!frame.contains('\0'));
}

void TestCommands::par_matchesWireBytes_data()
{
    QTest::addColumn<UploadRequest>("request");
    QTest::addColumn<QByteArray>("expected");

    UploadRequest r = sampleUpload();
    QTest::newRow("answer Hayir puts 1 between password and serial") << r << expectedPar();

    r = sampleUpload();
    r.fileAction = 0;
    QTest::newRow("answer Evet puts 0") << r << expectedPar("12340SN01");

    r = sampleUpload();
    r.password = QStringLiteral(" 12 34 ");
    QTest::newRow("password with blanks sent as typed") << r << expectedPar(" 12 34 1SN01");

    r = sampleUpload();
    r.offset = 1.5f;
    QTest::newRow("offset 1.5") << r << expectedPar("12341SN01", "1001", "1.50");

    r = sampleUpload();
    r.offset = -0.25f;
    QTest::newRow("negative offset") << r << expectedPar("12341SN01", "1001", "-0.25");

    r = sampleUpload();
    r.offset = 0.0f;
    QTest::newRow("offset not a number is sent as zero") << r << expectedPar("12341SN01", "1001", "0.00");

    r = sampleUpload();
    r.channel1Unit.clear();
    QTest::newRow("no unit gives two STX in a row") << r << expectedPar("12341SN01", "1001", "2.00", "");

    r = sampleUpload();
    r.waitFullHour = false;
    r.well = true;
    r.rs485 = false;
    QTest::newRow("well without RS485 or full hour") << r << expectedPar("12341SN01", "0100");

    r = sampleUpload();
    r.stationName = QString::fromUtf8("Kuyu Ş");
    QTest::newRow("Turkish letters UTF-8")
        << r << expectedPar("12341SN01", "1001", "2.00", "cm", "Kuyu \xC5\x9E");

    r = sampleUpload();
    r.instantRecord = false;
    r.instantMinMax = true;
    r.recordAverage = false;
    QByteArray swapped = expectedPar();
    swapped.replace("15\x02" "101\x02", "15\x02" "010\x02");
    QTest::newRow("record options in upload order") << r << swapped;
}

void TestCommands::par_matchesWireBytes()
{
    QFETCH(UploadRequest, request);
    QFETCH(QByteArray, expected);
    const QByteArray frame = Commands::par(request);
    QCOMPARE(frame, expected);
    QVERIFY(!frame.contains('\0'));
}

void TestCommands::par_offsetUsesPointWhateverTheLocale()
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    UploadRequest r = sampleUpload();
    r.offset = Upload::parseLocaleNumber(QStringLiteral("1,5"));
    const QByteArray frame = Commands::par(r);
    QLocale::setDefault(saved);
    QCOMPARE(frame, expectedPar("12341SN01", "1001", "1.50"));
}

void TestCommands::par_clockItemHasThirteenCharactersAndDayDigit_data()
{
    QTest::addColumn<QDateTime>("clock");
    QTest::addColumn<QByteArray>("item");
    QTest::newRow("Monday") << QDateTime(QDate(2024, 3, 4), QTime(0, 0, 0)) << QByteArray("0403240000001");
    QTest::newRow("Wednesday") << QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59))
                               << QByteArray("3112252359593");
    QTest::newRow("Sunday") << QDateTime(QDate(2024, 3, 10), QTime(7, 8, 9)) << QByteArray("1003240708097");
}

void TestCommands::par_clockItemHasThirteenCharactersAndDayDigit()
{
    QFETCH(QDateTime, clock);
    QFETCH(QByteArray, item);
    UploadRequest r = sampleUpload();
    r.clock = clock;
    const QList<QByteArray> items = Commands::par(r).split('\x02');
    // STX, PAR..serial, name, number, options, clock, ...
    QVERIFY(items.size() > 5);
    QCOMPARE(items.at(5).size(), 13);
    QCOMPARE(items.at(5), item);
}

void TestCommands::ayu_matchesWireBytes_data()
{
    QTest::addColumn<AlarmSettings>("settings");
    QTest::addColumn<QByteArray>("expected");

    AlarmSettings a;
    a.thresholds[0] = 12.346f;
    a.thresholds[1] = 1.5f;
    a.thresholds[2] = 0.0f;
    a.thresholds[3] = 1000000.0f;
    a.relay1 = 1;
    a.relay2 = 2;
    a.channel1On = true;
    a.channel2On = false;
    QTest::newRow("thresholds rounded to two decimals")
        << a << QByteArray("\x02" "AYU12.35\x02" "1.50\x02" "0.00\x02" "1000000.00\x02" "1210\r");

    AlarmSettings b = a;
    b.channel1On = false;
    b.channel2On = true;
    QTest::newRow("channel 2 on only")
        << b << QByteArray("\x02" "AYU12.35\x02" "1.50\x02" "0.00\x02" "1000000.00\x02" "1201\r");

    AlarmSettings c;
    c.relay1 = -1;
    c.relay2 = 0;
    QTest::newRow("relay without selection prints -1")
        << c << QByteArray("\x02" "AYU0.00\x02" "0.00\x02" "0.00\x02" "0.00\x02" "-1000\r");

    AlarmSettings d;
    d.thresholds[0] = 0.125f;  // exactly representable: printf rounds half to even
    d.relay1 = 2;
    d.relay2 = 1;
    d.channel1On = true;
    d.channel2On = true;
    AlarmSettings e;
    e.thresholds[0] = 0.375f;   // exact half: rounds to the even digit, up here
    e.thresholds[1] = -0.001f;  // printf keeps the sign of a value that rounds to zero
    e.thresholds[2] = 2.675f;   // a float just below 2.675
    e.thresholds[3] = 99999.99f;
    QTest::newRow("rounding as printf does")
        << e << QByteArray("\x02" "AYU0.38\x02" "-0.00\x02" "2.67\x02" "99999.99\x02" "0000\r");

    QTest::newRow("both on, relays crossed")
        << d << QByteArray("\x02" "AYU0.12\x02" "0.00\x02" "0.00\x02" "0.00\x02" "2111\r");
}

void TestCommands::ayu_matchesWireBytes()
{
    QFETCH(AlarmSettings, settings);
    QFETCH(QByteArray, expected);
    QCOMPARE(Commands::ayu(settings), expected);
}

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"
