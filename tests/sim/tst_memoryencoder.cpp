#include "newestfile.h"
#include "../data/downloadbuilder.h"
#include "decodedownload.h"
#include "memoryencoder.h"
#include "memorygenerator.h"
#include "simmemory.h"
#include "testenv.h"
#include "vlxdata.h"
#include "vlxfile.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

namespace {

QDateTime utc(int y, int mo, int d, int h, int mi)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC);
}

// One record as a line: time|channel|type|value1|value2|marks (T time set, M missing).
QString line(const QDateTime &time, int channel, int type, float v1, float v2, bool timeSet,
             bool missing)
{
    QString marks = QStringLiteral("%1%2").arg(timeSet ? QStringLiteral("T") : QString(),
                                               missing ? QStringLiteral("M") : QString());
    return QStringLiteral("%1|%2|%3|%4|%5|%6")
        .arg(time.isValid() ? time.toString(QStringLiteral("dd.MM.yyyy hh:mm")) : QStringLiteral("invalid"))
        .arg(channel)
        .arg(type)
        .arg(double(v1), 0, 'f', 2)
        .arg(double(v2), 0, 'f', 2)
        .arg(marks.isEmpty() ? QStringLiteral("-") : marks);
}

QStringList decodedLines(const QByteArray &image, std::unique_ptr<VLXFile> *fileOut = nullptr)
{
    std::unique_ptr<VLXFile> file = newestFile(image);
    QStringList lines;
    for (const VLXData *d : file->records())
        lines << line(d->time(), d->channel(), d->type(), d->value1(), d->value2(), d->timeSet(),
                      d->missing());
    if (fileOut)
        *fileOut = std::move(file);
    return lines;
}

QStringList expectedLines(const QList<SimRecord> &records)
{
    QStringList lines;
    for (const SimRecord &r : records)
        lines << line(r.time, r.channel, r.type, r.value1, r.value2, r.timeSet, r.missing);
    return lines;
}

FileHeader exampleHeader()
{
    FileHeader h;
    h.stationName = QStringLiteral("ST1");
    h.stationNo = QStringLiteral("1234");
    h.installTime = utc(2013, 12, 7, 14, 30);
    h.intervalMinutes = 15;
    h.channel1Name = QStringLiteral("LVL");
    h.channel2Name = QStringLiteral("TMP");
    h.channel1Unit = QStringLiteral("m");
    h.channel2Unit = QStringLiteral("C");
    return h;
}

} // namespace

class TestMemoryEncoder : public QObject
{
    Q_OBJECT
private slots:
    void bcdTime_packsDigits_data();
    void bcdTime_packsDigits();
    void value_bigEndianSinglePrecision_data();
    void value_bigEndianSinglePrecision();
    void header_matchesTheLoggerLayout();
    void recordSizes();
    void encoder_roundTrip_givesBackTheRecordsWritten();
    void encoder_endMark_makesAValidDownload();
    void generator_decodesToItsRecords_data();
    void generator_decodesToItsRecords();
    void generator_filesMatchTheirHeaders_data();
    void generator_filesMatchTheirHeaders();
    void generator_fullMemory_fillsEveryByteAndStaysValid();
    void memory_loadedImage_filesFoundByHeaders();
    void memory_loadedImageWithoutEndMark_getsOne();
    void memory_eraseAndStart_onlyTheNewFile();
    void memory_keepLatestAndStart_latestFileMovedToTheStart();
    void vlxdecode_exportsTheGeneratedImage();
};

void TestMemoryEncoder::bcdTime_packsDigits_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("worked example") << utc(2013, 12, 7, 14, 30) << QByteArray::fromHex("0712131430");
    QTest::newRow("midnight, year 2000") << utc(2000, 1, 1, 0, 0) << QByteArray::fromHex("0101000000");
    QTest::newRow("last minute of 2099") << utc(2099, 12, 31, 23, 59) << QByteArray::fromHex("3112992359");
}

void TestMemoryEncoder::bcdTime_packsDigits()
{
    QFETCH(QDateTime, time);
    QFETCH(QByteArray, bytes);
    QCOMPARE(MemoryEncoder::bcdTime(time), bytes);
}

void TestMemoryEncoder::value_bigEndianSinglePrecision_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("10") << 10.0f << QByteArray::fromHex("41200000");
    QTest::newRow("100") << 100.0f << QByteArray::fromHex("42C80000");
    QTest::newRow("-3") << -3.0f << QByteArray::fromHex("C0400000");
}

void TestMemoryEncoder::value_bigEndianSinglePrecision()
{
    QFETCH(float, value);
    QFETCH(QByteArray, bytes);
    QCOMPARE(MemoryEncoder::value(value), bytes);
}

void TestMemoryEncoder::header_matchesTheLoggerLayout()
{
    MemoryEncoder enc;
    enc.appendHeader(exampleHeader());
    QCOMPARE(enc.bytes(), DownloadBuilder::exampleHeader());
    QCOMPARE(MemoryEncoder::headerSize(exampleHeader()), DownloadBuilder::exampleHeader().size());
}

void TestMemoryEncoder::recordSizes()
{
    MemoryEncoder enc;
    enc.appendTimeStamp(utc(2020, 1, 1, 0, 0));
    QCOMPARE(enc.bytes(), QByteArray::fromHex("FAFAFA0101200000"));
    enc.clear();
    enc.appendMissing();
    QCOMPARE(enc.bytes(), QByteArray::fromHex("FFFFFF0000000000"));
    enc.clear();
    enc.appendMeasurement(10.0f, 100.0f);
    QCOMPARE(enc.bytes(), QByteArray::fromHex("4120000042C80000"));
    enc.clear();
    enc.appendSummary(DailySummary());
    QCOMPARE(enc.size(), 63);
    QCOMPARE(enc.bytes().left(3), QByteArray::fromHex("F1F1F1"));
}

void TestMemoryEncoder::encoder_roundTrip_givesBackTheRecordsWritten()
{
    MemoryEncoder enc;
    enc.appendHeader(exampleHeader());
    enc.appendTimeStamp(utc(2013, 12, 7, 23, 30));
    enc.appendMeasurement(10.0f, 100.0f);
    enc.appendMeasurement(11.5f, 99.25f);
    enc.appendMissing();
    DailySummary s;
    s.maxTime1 = utc(2013, 12, 7, 23, 45);
    s.max1Value1 = 12.0f; s.max1Value2 = 98.0f;
    s.maxTime2 = utc(2013, 12, 7, 23, 30);
    s.max2Value1 = 10.0f; s.max2Value2 = 100.0f;
    s.minTime1 = utc(2013, 12, 7, 23, 30);
    s.min1Value1 = 10.0f; s.min1Value2 = 100.0f;
    s.minTime2 = utc(2013, 12, 7, 23, 45);
    s.min2Value1 = 11.5f; s.min2Value2 = 99.25f;
    s.average1 = 10.75f; s.average2 = 99.5f;
    enc.appendSummary(s);
    enc.appendMeasurement(-3.0f, 0.5f);
    // the logger was off for an hour
    enc.appendTimeStamp(utc(2013, 12, 8, 1, 15));
    enc.appendMissing();
    enc.appendMeasurement(1.0f, 2.0f);
    enc.appendEndMark();

    const QStringList expected {
        QStringLiteral("07.12.2013 23:30|0|0|10.00|100.00|T"),
        QStringLiteral("07.12.2013 23:45|0|0|11.50|99.25|-"),
        QStringLiteral("08.12.2013 00:00|0|0|11.50|99.25|M"),
        QStringLiteral("07.12.2013 23:45|1|1|12.00|98.00|-"),
        QStringLiteral("07.12.2013 23:30|2|1|10.00|100.00|-"),
        QStringLiteral("07.12.2013 23:30|1|2|10.00|100.00|-"),
        QStringLiteral("07.12.2013 23:45|2|2|11.50|99.25|-"),
        QStringLiteral("07.12.2013 23:59|0|3|10.75|99.50|-"),
        QStringLiteral("08.12.2013 00:15|0|0|-3.00|0.50|-"),
        QStringLiteral("08.12.2013 01:15|0|0|-3.00|0.50|TM"),
        QStringLiteral("08.12.2013 01:30|0|0|1.00|2.00|-"),
    };
    std::unique_ptr<VLXFile> file;
    QCOMPARE(decodedLines(enc.bytes(), &file), expected);
    QCOMPARE(file->stationName(), QStringLiteral("ST1"));
    QCOMPARE(file->stationNo(), QStringLiteral("1234"));
    QCOMPARE(file->fileDate(), utc(2013, 12, 7, 14, 30));
    QCOMPARE(file->recordInterval(), 15);
    QCOMPARE(file->channel1Name(), QStringLiteral("LVL"));
    QCOMPARE(file->channel2Name(), QStringLiteral("TMP"));
    QCOMPARE(file->channel1Unit(), QStringLiteral("m"));
    QCOMPARE(file->channel2Unit(), QStringLiteral("C"));
}

void TestMemoryEncoder::encoder_endMark_makesAValidDownload()
{
    MemoryEncoder enc;
    enc.appendHeader(exampleHeader());
    enc.appendMeasurement(10.0f, 100.0f);
    QVERIFY(!isValidDownload(enc.bytes()));
    enc.appendEndMark();
    QVERIFY(isValidDownload(enc.bytes()));
    QCOMPARE(enc.bytes().right(8), QByteArray(8, char(0xFF)));
}

void TestMemoryEncoder::generator_decodesToItsRecords_data()
{
    QTest::addColumn<int>("files");
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("interval");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<int>("missingEvery");
    QTest::addColumn<int>("gapMinutes");
    QTest::newRow("one file, two days") << 1 << 2 << 15 << utc(2024, 2, 28, 0, 0) << 0 << 0;
    QTest::newRow("three files, missing and gaps") << 3 << 3 << 15 << utc(2023, 12, 30, 0, 0) << 7 << 150;
    QTest::newRow("hourly, starting mid-day") << 2 << 4 << 60 << utc(2022, 6, 1, 13, 20) << 0 << 0;
    QTest::newRow("every minute with a gap") << 1 << 2 << 1 << utc(2021, 1, 1, 12, 0) << 100 << 120;
}

void TestMemoryEncoder::generator_decodesToItsRecords()
{
    QFETCH(int, files);
    QFETCH(int, days);
    QFETCH(int, interval);
    QFETCH(QDateTime, start);
    QFETCH(int, missingEvery);
    QFETCH(int, gapMinutes);
    GeneratorOptions o;
    o.files = files;
    o.daysPerFile = days;
    o.intervalMinutes = interval;
    o.start = start;
    o.missingEvery = missingEvery;
    o.gapMinutes = gapMinutes;
    o.header.stationName = QStringLiteral("Kuyu 3");
    o.header.stationNo = QStringLiteral("303");
    const GeneratedMemory g = generateMemory(o);
    QVERIFY(isValidDownload(g.image));
    QCOMPARE(g.files.size(), files);

    std::unique_ptr<VLXFile> file;
    const QStringList decoded = decodedLines(g.image, &file);
    const QStringList expected = expectedLines(g.lastFileRecords);
    QCOMPARE(decoded.size(), expected.size());
    QCOMPARE(decoded, expected);
    QCOMPARE(file->stationName(), QStringLiteral("Kuyu 3"));
    QCOMPARE(file->recordInterval(), interval);
    QCOMPARE(file->fileDate(), start.addDays(qint64(files - 1) * days));

    // Every slot of the last file is there: measurements and missing records
    // at the interval, except inside the gap.
    int slotCount = 0, summaries = 0, missingCount = 0;
    for (const SimRecord &r : g.lastFileRecords) {
        slotCount += r.type == 0 ? 1 : 0;
        summaries += r.type == 3 ? 1 : 0;
        missingCount += r.missing ? 1 : 0;
    }
    const int all = days * 1440 / interval;
    const int inGap = gapMinutes > 0 ? (gapMinutes + interval - 1) / interval : 0;
    QCOMPARE(slotCount, all - inGap);
    QCOMPARE(summaries, days);   // one per midnight the file has seen
    QCOMPARE(missingCount > 0, missingEvery > 0);
}

void TestMemoryEncoder::generator_filesMatchTheirHeaders_data()
{
    QTest::addColumn<int>("files");
    for (int n = 1; n <= 5; ++n)
        QTest::newRow(qPrintable(QStringLiteral("%1 files").arg(n))) << n;
}

void TestMemoryEncoder::generator_filesMatchTheirHeaders()
{
    QFETCH(int, files);
    GeneratorOptions o;
    o.files = files;
    o.daysPerFile = 1;
    o.start = utc(2024, 5, 1, 0, 0);
    const GeneratedMemory g = generateMemory(o);
    const SimMemory::Scan scan = SimMemory::scan(g.image);
    QCOMPARE(scan.headers.size(), files);
    QCOMPARE(g.files.size(), files);
    for (int i = 0; i < files; ++i) {
        QCOMPARE(g.files.at(i).start, scan.headers.at(i).start);
        QCOMPARE(g.files.at(i).installTime.date(), QDate(2024, 5, 1 + i));
        QCOMPARE(scan.headers.at(i).installTime.date(), QDate(2024, 5, 1 + i));
        QCOMPARE(g.files.at(i).end, i + 1 < files ? g.files.at(i + 1).start : scan.dataEnd);
    }
    QCOMPARE(g.image.size(), scan.dataEnd + MemoryEncoder::EndMarkBytes);
    // the same image loaded from a file gives the same file list
    SimMemory memory;
    memory.setImage(g.image);
    QCOMPARE(memory.usedBytes(), g.image.size());
    QCOMPARE(memory.files().size(), files);
    for (int i = 0; i < files; ++i)
        QCOMPARE(memory.files().at(i).end, g.files.at(i).end);
}

void TestMemoryEncoder::generator_fullMemory_fillsEveryByteAndStaysValid()
{
    GeneratorOptions o;
    o.files = 5;
    o.fullMemory = true;
    o.intervalMinutes = 15;
    const GeneratedMemory g = generateMemory(o);
    QCOMPARE(g.image.size(), 9863168);
    QVERIFY(isValidDownload(g.image));
    QCOMPARE(g.files.size(), 5);
    // nearly all of it is data: less than two days' records of erased space are left over
    QVERIFY(g.files.last().end > 9863168 - 2 * (96 * 8 + 63));
    const SimMemory::Scan scan = SimMemory::scan(g.image);
    QCOMPARE(scan.headers.size(), 5);
    QCOMPARE(scan.dataEnd, g.files.last().end);
    const std::unique_ptr<VLXFile> file = newestFile(g.image);
    QCOMPARE(file->records().size(), g.lastFileRecords.size());
}

void TestMemoryEncoder::memory_loadedImage_filesFoundByHeaders()
{
    MemoryEncoder enc;
    FileHeader a = exampleHeader();
    enc.appendHeader(a);
    enc.appendMeasurement(1, 2);
    const qint64 second = enc.size();
    FileHeader b = exampleHeader();
    b.installTime = utc(2014, 2, 2, 2, 2);   // BCD bytes 02 in the header's fixed part
    b.intervalMinutes = 2;
    enc.appendHeader(b);
    enc.appendMeasurement(3, 4);
    enc.appendMissing();
    const qint64 end = enc.size();
    enc.appendEndMark();
    SimMemory memory;
    memory.setImage(enc.bytes());
    QCOMPARE(memory.image(), enc.bytes());
    QCOMPARE(memory.files().size(), 2);
    QCOMPARE(memory.files().at(0).start, 0);
    QCOMPARE(memory.files().at(0).end, second);
    QCOMPARE(memory.files().at(0).installTime.date(), QDate(2013, 12, 7));
    QCOMPARE(memory.files().at(1).start, second);
    QCOMPARE(memory.files().at(1).end, end);
    QCOMPARE(memory.files().at(1).installTime.time(), QTime(2, 2));
}

void TestMemoryEncoder::memory_loadedImageWithoutEndMark_getsOne()
{
    MemoryEncoder enc;
    enc.appendHeader(exampleHeader());
    enc.appendMeasurement(1, 2);
    SimMemory memory;
    memory.setImage(enc.bytes());
    QCOMPARE(memory.usedBytes(), enc.size() + 8);
    QVERIFY(isValidDownload(memory.image()));
    QCOMPARE(memory.files().size(), 1);

    // a whole flash dump: erased space after the data is not used memory
    memory.setImage(enc.bytes() + QByteArray(8, char(0xFF)) + QByteArray(3, '\x11'));
    QCOMPARE(memory.usedBytes(), enc.size() + 8);
}

void TestMemoryEncoder::memory_eraseAndStart_onlyTheNewFile()
{
    GeneratorOptions o;
    o.files = 3;
    const GeneratedMemory g = generateMemory(o);
    SimMemory memory;
    memory.setImage(g.image, g.files);
    FileHeader h = exampleHeader();
    h.stationName = QStringLiteral("Yeni Baraj");
    h.installTime = utc(2025, 1, 2, 3, 4);
    memory.eraseAndStart(h);
    QCOMPARE(memory.files().size(), 1);
    QCOMPARE(memory.files().first().start, 0);
    QCOMPARE(memory.files().first().installTime, h.installTime);
    QCOMPARE(memory.usedBytes(), MemoryEncoder::headerSize(h) + 8 + 8);
    QVERIFY(isValidDownload(memory.image()));
    const std::unique_ptr<VLXFile> file = newestFile(memory.image());
    QCOMPARE(file->stationName(), QStringLiteral("Yeni Baraj"));
    QCOMPARE(file->fileDate(), h.installTime);
    QVERIFY(file->records().isEmpty());
}

void TestMemoryEncoder::memory_keepLatestAndStart_latestFileMovedToTheStart()
{
    GeneratorOptions o;
    o.files = 3;
    o.start = utc(2024, 1, 1, 0, 0);
    const GeneratedMemory g = generateMemory(o);
    SimMemory memory;
    memory.setImage(g.image, g.files);
    const SimMemory::File latest = g.files.last();
    const QByteArray latestBytes = g.image.mid(latest.start, latest.end - latest.start);
    FileHeader h = exampleHeader();
    h.installTime = utc(2025, 1, 2, 3, 4);
    memory.keepLatestAndStart(h);
    QCOMPARE(memory.files().size(), 2);
    QCOMPARE(memory.files().at(0).installTime, latest.installTime);
    QCOMPARE(memory.files().at(0).end, latestBytes.size());
    QCOMPARE(memory.image().left(latestBytes.size()), latestBytes);
    QCOMPARE(memory.files().at(1).installTime, h.installTime);
    QCOMPARE(memory.files().at(1).start, latestBytes.size());
    QVERIFY(isValidDownload(memory.image()));
    const std::unique_ptr<VLXFile> file = newestFile(memory.image());
    QCOMPARE(file->fileDate(), h.installTime);
}

void TestMemoryEncoder::vlxdecode_exportsTheGeneratedImage()
{
    const QString dir = TestEnv::freshAppDir(QStringLiteral("tst_memoryencoder"));
    GeneratorOptions o;
    o.files = 2;
    o.daysPerFile = 1;
    o.start = utc(2024, 7, 1, 0, 0);
    o.missingEvery = 10;
    o.header.stationName = QStringLiteral("ST9");
    o.header.stationNo = QStringLiteral("909");
    const GeneratedMemory g = generateMemory(o);
    const QString in = dir + QStringLiteral("/image.bin");
    const QString out = dir + QStringLiteral("/export.txt");
    QFile file(in);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(g.image);
    file.close();

    QProcess tool;
    tool.start(TestEnv::binDir() + QStringLiteral("/vlxdecode"), {in, QStringLiteral("-o"), out});
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(tool.exitCode(), 0);
    QFile exported(out);
    QVERIFY(exported.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = exported.readAll().split('\n');
    QCOMPARE(lines.value(0).trimmed(), QByteArray("ST9"));
    QCOMPARE(lines.value(1).trimmed(), QByteArray("909"));
    QCOMPARE(lines.value(2).trimmed(), QByteArray("02/07/2024 00:00"));
    QList<QByteArray> recordLines;
    for (const QByteArray &l : lines) {
        if (l.size() > 10 && l.at(2) == '/' && l.at(10) == '|')
            recordLines << l.trimmed();
    }
    QCOMPARE(recordLines.size(), g.lastFileRecords.size());
    static const char *const typeNames[] = {"ANL", "MAX", "MIN", "ORT"};
    for (int i = 0; i < recordLines.size(); ++i) {
        const SimRecord &r = g.lastFileRecords.at(i);
        const QByteArray start = r.time.toString(QStringLiteral("dd/MM/yyyy|hh:mm|")).toLatin1()
                                 + typeNames[r.type] + '|' + QByteArray::number(r.value1, 'f', 2)
                                 + '|' + QByteArray::number(r.value2, 'f', 2) + '|';
        QVERIFY2(recordLines.at(i).startsWith(start),
                 qPrintable(QStringLiteral("line %1: %2, expected %3").arg(i)
                                .arg(QString::fromLatin1(recordLines.at(i)), QString::fromLatin1(start))));
    }
}

QTEST_GUILESS_MAIN(TestMemoryEncoder)
#include "tst_memoryencoder.moc"
