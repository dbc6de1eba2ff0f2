#include "newestfile.h"
#include "compactdownload.h"
#include "decodedownload.h"
#include "downloadbuilder.h"
#include "loggerbytes.h"
#include "vlxdata.h"
#include "vlxfile.h"

#include <QtTest>

#include <cstdlib>
#include <ctime>

using namespace DownloadBuilder;

namespace {

// One record in a line a test table can state: time|channel|type|value1|value2|marks
// (marks: T after a time stamp, M missing, - neither).
QString describe(const VLXData &d)
{
    QString marks;
    if (d.timeSet())
        marks += QLatin1Char('T');
    if (d.missing())
        marks += QLatin1Char('M');
    if (marks.isEmpty())
        marks = QStringLiteral("-");
    const QString time = d.time().isValid() ? d.time().toString(QStringLiteral("dd.MM.yyyy hh:mm"))
                                            : QStringLiteral("invalid");
    return QStringLiteral("%1|%2|%3|%4|%5|%6")
        .arg(time)
        .arg(d.channel())
        .arg(d.type())
        .arg(QString::number(d.value1()), QString::number(d.value2()), marks);
}

// The compact form of a record, described as its VLXData would be.
QString describe(const DecodedRecord &r)
{
    VLXData d;
    d.setValues(r.msecs == LoggerBytes::NoTime ? QDateTime() : QDateTime::fromMSecsSinceEpoch(r.msecs, Qt::UTC),
                r.channel, r.type, r.value1, r.value2, r.timeSet);
    d.setMissing(r.missing);
    return describe(d);
}

QStringList describe(const VLXFile &file)
{
    QStringList out;
    for (const VLXData *d : file.records())
        out << describe(*d);
    return out;
}

constexpr quint32 ten = 0x41200000;       // 10.0
constexpr quint32 hundred = 0x42C80000;   // 100.0
constexpr quint32 minusThree = 0xC0400000;
constexpr quint32 two = 0x40000000;
constexpr quint32 infinity = 0x7F800000;
constexpr quint32 minusInfinity = 0xFF800000;
constexpr quint32 notANumber = 0xFFC00000;
constexpr quint32 quietNan = 0x7FC00000;

QByteArray dec13(int day, int hour, int minute) { return bcdTime(day, 12, 13, hour, minute); }

} // namespace

class TestDecodeDownload : public QObject
{
    Q_OBJECT
private slots:
    void isValidDownload_data();
    void isValidDownload();

    void decode_records_data();
    void decode_records();

    void decode_workedExample_givesFileFields();
    void decode_workedExample_reportsPositionsAndInstallTime();
    void decode_everyHeader_givesFileInMemoryOrderWithItsRange();
    void decode_cutOrMissingHeader_data();
    void decode_cutOrMissingHeader();
    void exportReplacedLater_sameStationAndDay();
    void decode_headerFields_data();
    void decode_headerFields();

    void bcdTime_readsPackedDigits_data();
    void bcdTime_readsPackedDigits();

    void decode_everyTruncation_endsInRangeWithIncreasingPositions();
    void decode_daylightSavingGapOfComputer_keepsLoggerTimes();
};

void TestDecodeDownload::isValidDownload_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("valid");
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("two bytes FF") << bytes({0xFF, 0xFF}) << false;
    QTest::newRow("exactly FF FF FF") << erased(3) << true;
    QTest::newRow("ends FF FF FB") << bytes({0x00, 0xFF, 0xFF, 0xFB}) << false;
    QTest::newRow("ends FB FB FB") << example().chopped(3) + bytes({0xFB, 0xFB, 0xFB}) << false;
    QTest::newRow("FF FF FF in the middle only") << erased(3) + bytes({0x00}) << false;
    QTest::newRow("worked example") << example() << true;
}

void TestDecodeDownload::isValidDownload()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, valid);
    QCOMPARE(::isValidDownload(data), valid);
}

void TestDecodeDownload::decode_records_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QDateTime>("currentTime");

    const QByteArray head = exampleHeader();
    const QDateTime at1430(QDate(2013, 12, 7), QTime(14, 30), Qt::UTC);
    auto at = [](int day, int hour, int minute) {
        return QDateTime(QDate(2013, 12, day), QTime(hour, minute), Qt::UTC);
    };

    QTest::newRow("worked example: one record at the install time")
        << example() << QStringList{"07.12.2013 14:30|0|0|10|100|-"} << at(7, 14, 45);

    QTest::newRow("time stamp sets the clock and marks only the next record")
        << head + timeStamp(dec13(8, 0, 0)) + measurement(ten, hundred)
               + measurement(minusThree, two) + erased()
        << QStringList{"08.12.2013 00:00|0|0|10|100|T", "08.12.2013 00:15|0|0|-3|2|-"}
        << at(8, 0, 30);

    QTest::newRow("infinity as first value: missing record repeating the last values")
        << head + measurement(ten, hundred) + measurement(infinity, two) + erased()
        << QStringList{"07.12.2013 14:30|0|0|10|100|-", "07.12.2013 14:45|0|0|10|100|M"}
        << at(7, 15, 0);
    QTest::newRow("NaN FF C0 00 00 as first value: missing record")
        << head + measurement(ten, hundred) + measurement(notANumber, two) + erased()
        << QStringList{"07.12.2013 14:30|0|0|10|100|-", "07.12.2013 14:45|0|0|10|100|M"}
        << at(7, 15, 0);
    QTest::newRow("NaN as second value: missing record")
        << head + measurement(minusThree, two) + measurement(ten, quietNan) + erased()
        << QStringList{"07.12.2013 14:30|0|0|-3|2|-", "07.12.2013 14:45|0|0|-3|2|M"}
        << at(7, 15, 0);
    QTest::newRow("minus infinity as second value: missing record")
        << head + measurement(ten, minusInfinity) + erased()
        << QStringList{"07.12.2013 14:30|0|0|-1|-1|M"} << at(7, 14, 45);

    QTest::newRow("missing record before any measurement shows -1 and -1")
        << head + missing() + measurement(ten, hundred) + erased()
        << QStringList{"07.12.2013 14:30|0|0|-1|-1|M", "07.12.2013 14:45|0|0|10|100|-"}
        << at(7, 15, 0);

    const QByteArray daySummary = summary({dec13(7, 10, 5), ten, two}, {dec13(7, 11, 6), two, hundred},
                                          {dec13(7, 3, 7), minusThree, two},
                                          {dec13(7, 4, 8), ten, minusThree}, hundred, ten);
    const QStringList summaryRecords{"07.12.2013 10:05|1|1|10|2|-", "07.12.2013 11:06|2|1|2|100|-",
                                     "07.12.2013 03:07|1|2|-3|2|-", "07.12.2013 04:08|2|2|10|-3|-",
                                     "07.12.2013 23:59|0|3|100|10|-"};
    QTest::newRow("summary: two MAX, two MIN, ORT at 23:59 of D's day; clock unchanged")
        << head + measurement(ten, hundred) + daySummary + measurement(two, two) + erased()
        << (QStringList{"07.12.2013 14:30|0|0|10|100|-"} + summaryRecords
            + QStringList{"07.12.2013 14:45|0|0|2|2|-"})
        << at(7, 15, 0);

    QStringList marked;
    for (const QString &line : summaryRecords)
        marked << line.chopped(1) + QLatin1Char('T');
    QTest::newRow("summary after a time stamp: all five marked, next record not")
        << head + timeStamp(dec13(9, 6, 0)) + daySummary + measurement(two, two) + erased()
        << (marked + QStringList{"09.12.2013 06:00|0|0|2|2|-"}) << at(9, 6, 15);

    QTest::newRow("missing record after a summary repeats the average's values")
        << head + daySummary + missing() + erased()
        << (summaryRecords + QStringList{"07.12.2013 14:30|0|0|100|10|M"}) << at(7, 14, 45);

    QTest::newRow("FF FF FF then 00 00 00 is one missing record of 8 bytes")
        << head + measurement(ten, hundred) + missing() + measurement(two, two) + erased()
        << QStringList{"07.12.2013 14:30|0|0|10|100|-", "07.12.2013 14:45|0|0|10|100|M",
                       "07.12.2013 15:00|0|0|2|2|-"}
        << at(7, 15, 15);
    QTest::newRow("FF FF FF then FB FB FB ends the data")
        << head + measurement(ten, hundred) + bytes({0xFF, 0xFF, 0xFF, 0xFB, 0xFB, 0xFB})
               + measurement(two, two) + erased()
        << QStringList{"07.12.2013 14:30|0|0|10|100|-"} << at(7, 14, 45);
    QTest::newRow("FF FF FF with fewer than 6 bytes left ends the data")
        << head + measurement(ten, hundred) + erased(5)
        << QStringList{"07.12.2013 14:30|0|0|10|100|-"} << at(7, 14, 45);
    QTest::newRow("a measurement cut by the end reads the missing bytes as 0")
        << head + bytes({0x41, 0x20, 0x00, 0x00}) + erased(3)   // second value FF FF FF 00: NaN
        << QStringList{"07.12.2013 14:30|0|0|-1|-1|M"} << at(7, 14, 45);

    QTest::newRow("records before the first header are not returned")
        << measurement(two, two) + timeStamp(dec13(1, 0, 0)) + measurement(two, two) + example()
        << QStringList{"07.12.2013 14:30|0|0|10|100|-"} << at(7, 14, 45);
    QTest::newRow("a time stamp before a header marks the header's first record")
        << timeStamp(dec13(1, 0, 0)) + example() << QStringList{"07.12.2013 14:30|0|0|10|100|T"}
        << at(7, 14, 45);
    QTest::newRow("second header: only its file is returned")
        << example().chopped(11)
               + header("ST2", "77", bcdTime(1, 1, 14, 8, 0), bytes({0x00, 0x30}), "A", "B", "x", "y")
               + measurement(two, minusThree) + erased()
        << QStringList{"01.01.2014 08:00|0|0|2|-3|-"}
        << QDateTime(QDate(2014, 1, 1), QTime(8, 30), Qt::UTC);
    QTest::newRow("header not closed by 0x02: decoding stops, earlier records stay")
        << example().chopped(11) + measurement(two, two) + bytes({0xDD, 0xDD, 0xDD}) + "ST9\x02" "99"
               + measurement(ten, ten) + erased(3)
        << QStringList{"07.12.2013 14:30|0|0|10|100|-", "07.12.2013 14:45|0|0|2|2|-"}
        << at(7, 15, 0);
    QTest::newRow("header without any 0x02 after the marker: nothing decoded")
        << bytes({0xDD, 0xDD, 0xDD}) + "ST1" + erased(3) << QStringList{} << QDateTime();

    QTest::newRow("time stamp with non-BCD bytes: records carry an invalid time")
        << head + timeStamp(bytes({0x1A, 0x12, 0x13, 0x00, 0x00})) + measurement(ten, ten)
               + measurement(two, two) + erased()
        << QStringList{"invalid|0|0|10|10|T", "invalid|0|0|2|2|-"} << QDateTime();
    QTest::newRow("time stamp on 29 February 2000 is a valid time")
        << head + timeStamp(bcdTime(29, 2, 0, 23, 45)) + measurement(ten, ten)
               + measurement(two, two) + erased()
        << QStringList{"29.02.2000 23:45|0|0|10|10|T", "01.03.2000 00:00|0|0|2|2|-"}
        << QDateTime(QDate(2000, 3, 1), QTime(0, 15), Qt::UTC);
    QTest::newRow("interval that is not decimal counts as 0 minutes")
        << header("S", "1", dec13(7, 14, 30), bytes({0x00, 0x1A}), "", "", "", "")
               + measurement(ten, ten) + measurement(two, two) + erased()
        << QStringList{"07.12.2013 14:30|0|0|10|10|-", "07.12.2013 14:30|0|0|2|2|-"} << at1430;
    QTest::newRow("interval of four BCD digits 01 20 is 120 minutes")
        << header("S", "1", dec13(7, 14, 30), bytes({0x01, 0x20}), "", "", "", "")
               + measurement(ten, ten) + measurement(two, two) + erased()
        << QStringList{"07.12.2013 14:30|0|0|10|10|-", "07.12.2013 16:30|0|0|2|2|-"}
        << at(7, 18, 30);
}

void TestDecodeDownload::decode_records()
{
    QFETCH(QByteArray, data);
    QFETCH(QStringList, records);
    QFETCH(QDateTime, currentTime);
    const std::unique_ptr<VLXFile> file = newestFile(data);
    QVERIFY(file);
    QCOMPARE(describe(*file), records);
    QCOMPARE(file->currentTime(), currentTime);
    // The compact consumer of the same parse holds the same records.
    const CompactDownload compact = decodeCompact(data);
    QStringList compactRecords;
    if (compact.newest()) {
        for (const DecodedRecord &r : compact.newest()->records)
            compactRecords << describe(r);
    }
    QCOMPARE(compactRecords, records);
}

void TestDecodeDownload::decode_workedExample_givesFileFields()
{
    const std::unique_ptr<VLXFile> file = newestFile(example());
    QCOMPARE(file->stationName(), QStringLiteral("ST1"));
    QCOMPARE(file->stationNo(), QStringLiteral("1234"));
    QCOMPARE(file->fileDate(), QDateTime(QDate(2013, 12, 7), QTime(14, 30), Qt::UTC));
    QCOMPARE(file->recordInterval(), 15);
    QCOMPARE(file->channel1Name(), QStringLiteral("LVL"));
    QCOMPARE(file->channel2Name(), QStringLiteral("TMP"));
    QCOMPARE(file->channel1Unit(), QStringLiteral("m"));
    QCOMPARE(file->channel2Unit(), QStringLiteral("C"));
    QCOMPARE(file->lastValue1(), 10.0f);
    QCOMPARE(file->lastValue2(), 100.0f);
    QCOMPARE(file->currentTime(), QDateTime(QDate(2013, 12, 7), QTime(14, 45), Qt::UTC));
    QVERIFY2(file->exportPath().endsWith(QStringLiteral("/VLXLogger/1234_071213.txt")),
             qPrintable(file->exportPath()));
    QCOMPARE(file->endPage(), 0);
    QCOMPARE(file->endOffset(), 0);
    QCOMPARE(file->records().size(), 1);
    QCOMPARE(file->records().first()->dateText(), QStringLiteral("07/12/2013"));
    QCOMPARE(file->records().first()->timeText(), QStringLiteral("14:30"));
}

void TestDecodeDownload::decode_workedExample_reportsPositionsAndInstallTime()
{
    QList<qsizetype> positions;
    QList<QDateTime> installTimes;
    DecodeCallbacks report;
    report.positionReached = [&](qsizetype p) { positions << p; };
    report.headerFound = [&](const QDateTime &t) { installTimes << t; };
    decodeDownload(example(), report);
    // header of 32 bytes, a measurement of 8, then the erased space
    QCOMPARE(positions, (QList<qsizetype>{0, 32, 40}));
    QCOMPARE(installTimes, QList<QDateTime>{QDateTime(QDate(2013, 12, 7), QTime(14, 30), Qt::UTC)});
}

void TestDecodeDownload::decode_everyHeader_givesFileInMemoryOrderWithItsRange()
{
    const QByteArray first = example().chopped(11);   // 32 bytes of header, one record
    const QByteArray second =
        header("ST2", "77", bcdTime(1, 1, 14, 8, 0), bytes({0x00, 0x30}), "A", "B", "x", "y");
    const QByteArray third = header("ST3", "78", bcdTime(2, 1, 14, 9, 0), bytes({0x00, 0x10}), "C",
                                    "D", "u", "v")
        + measurement(two, minusThree) + missing() + measurement(ten, ten);
    const QByteArray data = bytes({0xFA, 0xFA, 0xFA}) + dec13(1, 0, 0) + first + second + third
        + erased();
    QList<QDateTime> installTimes;
    DecodeCallbacks report;
    report.headerFound = [&](const QDateTime &t) { installTimes << t; };
    const DecodedDownload decoded = decodeDownload(data, report);
    QCOMPARE(installTimes.size(), 3);
    QCOMPARE(decoded.files.size(), std::size_t(3));
    QVERIFY(!decoded.headerCut);

    QStringList seen;
    for (const auto &file : decoded.files)
        seen << QStringLiteral("%1 %2 %3 %4..%5 %6 records")
                    .arg(file->stationName(), file->fileDate().toString(QStringLiteral("dd.MM.yy hh:mm")))
                    .arg(file->recordInterval())
                    .arg(file->startAddress())
                    .arg(file->endAddress())
                    .arg(file->records().size());
    const qsizetype a = 8, b = a + first.size(), c = b + second.size(), end = c + third.size();
    QCOMPARE(seen, (QStringList{QStringLiteral("ST1 07.12.13 14:30 15 %1..%2 1 records").arg(a).arg(b),
                                QStringLiteral("ST2 01.01.14 08:00 30 %1..%2 0 records").arg(b).arg(c),
                                QStringLiteral("ST3 02.01.14 09:00 10 %1..%2 3 records").arg(c).arg(end)}));
    QCOMPARE(decoded.end, end);
    QCOMPARE(decoded.newest(), decoded.files.back().get());
    QCOMPARE(describe(*decoded.files[2]),
             (QStringList{"02.01.2014 09:00|0|0|2|-3|-", "02.01.2014 09:10|0|0|2|-3|M",
                          "02.01.2014 09:20|0|0|10|10|-"}));
    QVERIFY(decoded.files[1]->exportPath().endsWith(QStringLiteral("/77_010114.txt")));
    // the time stamp before the first header marks that file's first record
    QVERIFY(decoded.files[0]->records().first()->timeSet());
    // the listing fields stay those of a decoded file
    QCOMPARE(decoded.files[1]->endPage(), 0);
    QCOMPARE(decoded.files[1]->endOffset(), 0);
}

void TestDecodeDownload::decode_cutOrMissingHeader_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("files");
    QTest::addColumn<bool>("headerCut");
    QTest::addColumn<qsizetype>("end");
    const QByteArray cut = bytes({0xDD, 0xDD, 0xDD}) + "ST9\x02" "99";
    QTest::newRow("no header") << measurement(ten, ten) + erased() << 0 << false << qsizetype(8);
    QTest::newRow("only a cut header") << cut + erased(3) << 0 << true << qsizetype(0);
    QTest::newRow("a file, then a cut header")
        << example().chopped(11) + cut + erased(3) << 1 << true << qsizetype(40);
    QTest::newRow("erased memory") << erased(20) << 0 << false << qsizetype(0);
}

void TestDecodeDownload::decode_cutOrMissingHeader()
{
    QFETCH(QByteArray, data);
    QFETCH(int, files);
    QFETCH(bool, headerCut);
    QFETCH(qsizetype, end);
    const DecodedDownload decoded = decodeDownload(data);
    QCOMPARE(int(decoded.files.size()), files);
    QCOMPARE(decoded.headerCut, headerCut);
    QCOMPARE(decoded.end, end);
    if (files > 0)
        QCOMPARE(decoded.newest()->endAddress(), end);
}

void TestDecodeDownload::exportReplacedLater_sameStationAndDay()
{
    const QByteArray morning = header("S", "5", bcdTime(3, 3, 24, 8, 0), bytes({0, 1}), "", "", "", "");
    const QByteArray evening = header("S", "5", bcdTime(3, 3, 24, 20, 0), bytes({0, 1}), "", "", "", "");
    const QByteArray other = header("S", "6", bcdTime(3, 3, 24, 21, 0), bytes({0, 1}), "", "", "", "");
    const DecodedDownload decoded = decodeDownload(morning + evening + other + erased(3));
    QCOMPARE(decoded.files.size(), std::size_t(3));
    QVERIFY(decoded.exportReplacedLater(0));
    QVERIFY(!decoded.exportReplacedLater(1));
    QVERIFY(!decoded.exportReplacedLater(2));
    QVERIFY(!decoded.exportReplacedLater(3));
}

void TestDecodeDownload::decode_headerFields_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("fields");   // name, number, ch1, ch2, unit1, unit2
    QTest::newRow("fields padded with 0 bytes keep the part before the first 0")
        << header(QByteArray("ST1\0\0\0", 6), QByteArray("12\0" "9", 4), dec13(7, 1, 1),
                  bytes({0, 1}), QByteArray("L\0x", 3), "T", QByteArray("\0m", 2), "C")
               + erased(3)
        << QStringList{"ST1", "12", "L", "T", "", "C"};
    QTest::newRow("empty fields")
        << header("", "", dec13(7, 1, 1), bytes({0, 1}), "", "", "", "") + erased(3)
        << QStringList{"", "", "", "", "", ""};
    QTest::newRow("UTF-8 texts")
        << header("Barajı", "İ1", dec13(7, 1, 1), bytes({0, 1}), "Seviye", "Sıcaklık", "m", "°C")
               + erased(3)
        << QStringList{"Barajı", "İ1", "Seviye", "Sıcaklık", "m", "°C"};
    QTest::newRow("time and interval bytes equal to 0x02 are not separators")
        << header("A", "B", bcdTime(2, 2, 2, 2, 2), bytes({0x02, 0x02}), "c", "d", "e", "f")
               + erased(3)
        << QStringList{"A", "B", "c", "d", "e", "f"};
}

void TestDecodeDownload::decode_headerFields()
{
    QFETCH(QByteArray, data);
    QFETCH(QStringList, fields);
    const std::unique_ptr<VLXFile> file = newestFile(data);
    QCOMPARE((QStringList{file->stationName(), file->stationNo(), file->channel1Name(),
                          file->channel2Name(), file->channel1Unit(), file->channel2Unit()}),
             fields);
}

void TestDecodeDownload::bcdTime_readsPackedDigits_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QDateTime>("time");
    QTest::newRow("07 12 13 14 30") << bytes({0x07, 0x12, 0x13, 0x14, 0x30})
                                    << QDateTime(QDate(2013, 12, 7), QTime(14, 30), Qt::UTC);
    QTest::newRow("year 00 is 2000") << bytes({0x01, 0x01, 0x00, 0x00, 0x00})
                                     << QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
    QTest::newRow("year 99 is 2099") << bytes({0x31, 0x12, 0x99, 0x23, 0x59})
                                     << QDateTime(QDate(2099, 12, 31), QTime(23, 59), Qt::UTC);
    QTest::newRow("hex digit in minute") << bytes({0x07, 0x12, 0x13, 0x14, 0x3A}) << QDateTime();
    QTest::newRow("hour 24") << bytes({0x07, 0x12, 0x13, 0x24, 0x00}) << QDateTime();
    QTest::newRow("minute 60") << bytes({0x07, 0x12, 0x13, 0x10, 0x60}) << QDateTime();
    QTest::newRow("month 13") << bytes({0x07, 0x13, 0x13, 0x10, 0x00}) << QDateTime();
    QTest::newRow("day 00") << bytes({0x00, 0x12, 0x13, 0x10, 0x00}) << QDateTime();
    QTest::newRow("31 April") << bytes({0x31, 0x04, 0x13, 0x10, 0x00}) << QDateTime();
    QTest::newRow("29 February 2013") << bytes({0x29, 0x02, 0x13, 0x10, 0x00}) << QDateTime();
    QTest::newRow("29 February 2012") << bytes({0x29, 0x02, 0x12, 0x10, 0x00})
                                      << QDateTime(QDate(2012, 2, 29), QTime(10, 0), Qt::UTC);
    QTest::newRow("erased bytes") << bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) << QDateTime();
    QTest::newRow("cut by the end of the data: missing bytes read as 0")
        << bytes({0x07, 0x12}) << QDateTime(QDate(2000, 12, 7), QTime(0, 0), Qt::UTC);
}

void TestDecodeDownload::bcdTime_readsPackedDigits()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QDateTime, time);
    const QDateTime got = LoggerBytes::bcdTime(bytes, 0);
    QCOMPARE(got.isValid(), time.isValid());
    if (time.isValid()) {
        QCOMPARE(got, time);
        QCOMPARE(got.timeSpec(), Qt::UTC);
    }
}

void TestDecodeDownload::decode_everyTruncation_endsInRangeWithIncreasingPositions()
{
    const QByteArray full = exampleHeader() + timeStamp(dec13(8, 0, 0)) + measurement(ten, notANumber)
        + summary({dec13(7, 10, 5), ten, two}, {dec13(7, 11, 6), two, hundred},
                  {dec13(7, 3, 7), minusThree, two}, {dec13(7, 4, 8), ten, minusThree}, hundred, ten)
        + missing() + exampleHeader() + measurement(two, two) + erased();
    int headersSeen = 0;
    for (qsizetype length = 0; length <= full.size(); ++length) {
        const QByteArray data = full.left(length);
        QList<qsizetype> positions;
        DecodeCallbacks report;
        report.positionReached = [&](qsizetype p) { positions << p; };
        report.headerFound = [&](const QDateTime &) { ++headersSeen; };
        const std::unique_ptr<VLXFile> file = newestFile(data, report);
        QVERIFY(file);
        QVERIFY(!positions.isEmpty());
        QCOMPARE(positions.first(), qsizetype(0));
        for (int i = 1; i < positions.size(); ++i)
            QVERIFY2(positions.at(i) > positions.at(i - 1), qPrintable(QString::number(length)));
        // every record costs at least 8 bytes of the data
        QVERIFY(file->records().size() <= 5 * (length / 8 + 1));
    }
    QVERIFY(headersSeen > 0);
}

void TestDecodeDownload::decode_daylightSavingGapOfComputer_keepsLoggerTimes()
{
    // The computer's clock springs forward from 02:00 to 03:00 on 31 March
    // 2013 in this zone; the logger knows nothing of that.
    const QByteArray oldTz = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const bool gap = !QDateTime(QDate(2013, 3, 31), QTime(2, 30), Qt::LocalTime).isValid()
        || QDateTime(QDate(2013, 3, 31), QTime(2, 30), Qt::LocalTime).time() != QTime(2, 30);
    const QByteArray data = header("S", "5", bcdTime(31, 3, 13, 1, 45), bytes({0x00, 0x15}), "", "",
                                   "", "")
        + measurement(ten, ten) + measurement(ten, ten) + measurement(ten, ten)
        + measurement(ten, ten) + measurement(ten, ten) + erased();
    const std::unique_ptr<VLXFile> file = newestFile(data);
    QStringList times;
    for (const VLXData *d : file->records())
        times << d->timeText();
    if (oldTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldTz);
    tzset();
    if (!gap)
        QSKIP("the system has no time-zone data for Europe/Berlin");
    QCOMPARE(times, (QStringList{"01:45", "02:00", "02:15", "02:30", "02:45"}));
    QCOMPARE(file->currentTime().time(), QTime(3, 0));
}

QTEST_GUILESS_MAIN(TestDecodeDownload)
#include "tst_decodedownload.moc"
