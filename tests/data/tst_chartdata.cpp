// What the chart page computes without widgets: the reduction of a span to
// a few points per column, the summary markers, the time axis labels, the
// CSV of a span read back with a CSV reader, and the series cache's form.
#include "archiveseries.h"
#include "chartreduction.h"
#include "csvexport.h"
#include "stationarchive.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <cmath>

namespace {

const float noValue = std::numeric_limits<float>::quiet_NaN();

QString describe(const QList<QList<QPointF>> &lines)
{
    QStringList pieces;
    for (const QList<QPointF> &line : lines) {
        QStringList points;
        for (const QPointF &p : line)
            points << QStringLiteral("%1:%2").arg(p.x()).arg(p.y());
        pieces << points.join(QLatin1Char(' '));
    }
    return pieces.join(QLatin1String(" | "));
}

// An ordinary RFC 4180 reader: quoted fields may hold commas, doubled quotes
// and line ends; records end in CR LF.
QList<QStringList> readCsv(const QByteArray &bytes)
{
    QList<QStringList> records;
    QStringList record;
    QByteArray field;
    bool quoted = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (quoted) {
            if (c == '"' && i + 1 < bytes.size() && bytes.at(i + 1) == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record << QString::fromUtf8(field);
            field.clear();
        } else if (c == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n') {
            record << QString::fromUtf8(field);
            records << record;
            record.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return records;
}

ArchiveSeries smallSeries()
{
    ArchiveSeries s;
    s.stationName = QStringLiteral("Baraj");
    s.stationNo = QStringLiteral("12/3");
    s.installTime = QDateTime(QDate(2013, 12, 7), QTime(14, 30), Qt::UTC);
    s.channelName[0] = QStringLiteral("Seviye, ham");
    s.channelName[1] = QString::fromUtf8("Sıcaklık \"iç\"");
    s.channelUnit[0] = QStringLiteral("m");
    s.channelUnit[1] = QString::fromUtf8("°C");
    const qint64 t0 = s.installTime.toSecsSinceEpoch();
    // 15:00 is missing, and after 15:15 the logger was off until 16:05.
    s.times = {t0, t0 + 900, t0 + 2700, t0 + 5700};
    s.values[0] = {10.0f, 16.625f, -0.001f, 3.0f};
    s.values[1] = {100.0f, noValue, 21.125f, 4.0f};
    s.summaries = {{t0 + 60, 11.0f, 1, 1}, {t0 + 120, 99.0f, 2, 2}};
    s.intervalSeconds = 900;
    return s;
}

} // namespace

class TestChartData : public QObject
{
    Q_OBJECT
private slots:
    void reduceSpan_keepsShapeAndGaps_data();
    void reduceSpan_keepsShapeAndGaps();
    void reduceSpan_fullMemory_atMostFourPointsAColumn();
    void reduceMarkers_keepsTheValueThatMattersPerColumn();
    void gapBands_everyHoleSeenAtEveryZoom_data();
    void gapBands_everyHoleSeenAtEveryZoom();
    void recordAt_nearestRecordOrHole_data();
    void recordAt_nearestRecordOrHole();
    void timeTicks_roundTimesWithFittingLabels_data();
    void timeTicks_roundTimesWithFittingLabels();
    void valueScale_roundStepsCoverTheRange_data();
    void valueScale_roundStepsCoverTheRange();
    void spanSummaryAndVolume_ofTheRecordsInTheSpan();
    void csv_shownSpan_exactBytesAndReadBack();
    void series_fromRows_pairsChannelsAndSortsTime();
    void series_bytes_roundTripAndDamageRefused();
};

void TestChartData::reduceSpan_keepsShapeAndGaps_data()
{
    QTest::addColumn<QList<qint64>>("times");
    QTest::addColumn<QList<float>>("values");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("columns");
    QTest::addColumn<qint64>("gap");
    QTest::addColumn<QString>("expected");
    const QList<qint64> six{0, 60, 120, 180, 240, 300};
    QTest::newRow("one column: first, lowest, highest, last, in time order")
        << six << QList<float>{3, 1, 5, 2, 4, 3} << 0.0 << 360.0 << 1 << qint64(90)
        << "0:3 60:1 120:5 300:3";
    QTest::newRow("a record at the end of the span opens the next column")
        << six << QList<float>{3, 1, 5, 2, 4, 3} << 0.0 << 300.0 << 1 << qint64(90)
        << "0:3 60:1 120:5 240:4 300:3";
    QTest::newRow("two columns, each reduced; the highest is also the last")
        << six << QList<float>{3, 1, 5, 2, 4, 9} << 0.0 << 360.0 << 2 << qint64(90)
        << "0:3 60:1 120:5 180:2 300:9";
    QTest::newRow("equal values: first and last once each")
        << six << QList<float>{7, 7, 7, 7, 7, 7} << 0.0 << 360.0 << 1 << qint64(90) << "0:7 300:7";
    QTest::newRow("a gap reaching past the next column breaks the line")
        << QList<qint64>{0, 60, 120, 600, 660} << QList<float>{1, 2, 3, 4, 5} << 0.0 << 660.0 << 11
        << qint64(90) << "0:1 60:2 120:3 | 600:4 660:5";
    QTest::newRow("the same gap inside one column is no break")
        << QList<qint64>{0, 60, 120, 600, 660} << QList<float>{1, 2, 3, 4, 5} << 0.0 << 700.0 << 1
        << qint64(90) << "0:1 660:5";
    QTest::newRow("a record without a value leaves a hole between its neighbours")
        << QList<qint64>{0, 60, 120, 180} << QList<float>{1, noValue, 3, 4} << 0.0 << 240.0 << 4
        << qint64(90) << "0:1 | 120:3 180:4";
    QTest::newRow("no gap rule: nothing breaks")
        << QList<qint64>{0, 60, 120, 600, 660} << QList<float>{1, 2, 3, 4, 5} << 0.0 << 660.0 << 11
        << qint64(0) << "0:1 60:2 120:3 600:4 660:5";
    QTest::newRow("a span shorter than one record interval: the records around it")
        << QList<qint64>{0, 900, 1800} << QList<float>{1, 2, 3} << 100.0 << 200.0 << 10
        << qint64(1350) << "0:1 900:2";
    QTest::newRow("one record before and after the span are kept")
        << QList<qint64>{0, 60, 120, 180, 240, 300, 360, 420} << QList<float>{0, 1, 2, 3, 4, 5, 6, 7}
        << 120.0 << 300.0 << 3 << qint64(90) << "60:1 120:2 180:3 240:4 300:5 360:6";
    QTest::newRow("the neighbour before the span skips a missing value")
        << QList<qint64>{0, 60, 120, 180} << QList<float>{1, noValue, 3, 4} << 100.0 << 200.0 << 100
        << qint64(1000) << "0:1 120:3 180:4";
    QTest::newRow("no records") << QList<qint64>{} << QList<float>{} << 0.0 << 10.0 << 5 << qint64(90)
                                << "";
    QTest::newRow("an empty span") << six << QList<float>{1, 2, 3, 4, 5, 6} << 60.0 << 60.0 << 5
                                   << qint64(90) << "";
}

void TestChartData::reduceSpan_keepsShapeAndGaps()
{
    QFETCH(QList<qint64>, times);
    QFETCH(QList<float>, values);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, columns);
    QFETCH(qint64, gap);
    QFETCH(QString, expected);
    const std::vector<qint64> t(times.begin(), times.end());
    const std::vector<float> v(values.begin(), values.end());
    QCOMPARE(describe(reduceSpan(t, v, from, to, columns, gap)), expected);
}

void TestChartData::reduceSpan_fullMemory_atMostFourPointsAColumn()
{
    // A year of minute records with a missing one now and then: every
    // column's extremes are the true extremes of its records.
    std::vector<qint64> times;
    std::vector<float> values;
    for (qint64 i = 0; i < 525600; ++i) {
        if (i % 977 == 500)
            continue;
        times.push_back(i * 60);
        values.push_back(float(std::sin(double(i) / 5000.0) * 100.0 + double(i % 13)));
    }
    const int columns = 400;
    const double from = 86400.0 * 30;
    const double to = 86400.0 * 300;
    const QList<QList<QPointF>> lines = reduceSpan(times, values, from, to, columns, 90);
    qsizetype points = 0;
    for (const QList<QPointF> &line : lines)
        points += line.size();
    QVERIFY2(points <= 4 * (columns + 2), qPrintable(QString::number(points)));
    QCOMPARE(lines.size(), 1);   // every hole is narrower than a column
    const double width = (to - from) / columns;
    const int column = 123;
    float low = 1e9f, high = -1e9f;
    for (std::size_t i = 0; i < times.size(); ++i) {
        if (std::floor((double(times[i]) - from) / width) == column) {
            low = qMin(low, values[i]);
            high = qMax(high, values[i]);
        }
    }
    float seenLow = 1e9f, seenHigh = -1e9f;
    for (const QPointF &p : lines.first()) {
        if (std::floor((p.x() - from) / width) == column) {
            seenLow = qMin(seenLow, float(p.y()));
            seenHigh = qMax(seenHigh, float(p.y()));
        }
    }
    QCOMPARE(seenLow, low);
    QCOMPARE(seenHigh, high);
}

void TestChartData::reduceMarkers_keepsTheValueThatMattersPerColumn()
{
    // Stamped 23:59 of days 0, 1, 2 and 9, drawn at noon; a column is two days.
    const qint64 d = 86400, late = 86340;
    const std::vector<ArchiveSeries::Summary> s{
        {late, 5, 1, 1}, {late, 1, 2, 1}, {late, 7, 3, 1}, {late, 4, 1, 2}, {d + late, 9, 1, 1},
        {d + late, 0, 2, 1}, {d + late, 8, 3, 1}, {2 * d + late, 6, 1, 1}, {9 * d + late, 99, 1, 1}};
    QCOMPARE(reduceMarkers(s, 1, 1, 0, 4 * d, 2), (QList<QPointF>{{1.5 * d, 9}, {2.5 * d, 6}}));
    QCOMPARE(reduceMarkers(s, 2, 1, 0, 4 * d, 2), (QList<QPointF>{{1.5 * d, 0}}));
    QCOMPARE(reduceMarkers(s, 3, 1, 0, 4 * d, 2), (QList<QPointF>{{0.5 * d, 7}}));
    QCOMPARE(reduceMarkers(s, 1, 2, 0, 4 * d, 2), (QList<QPointF>{{0.5 * d, 4}}));
}

void TestChartData::gapBands_everyHoleSeenAtEveryZoom_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("columns");
    QTest::addColumn<qint64>("gap");
    QTest::addColumn<QString>("expected");
    QTest::newRow("holes wider than a column") << 0.0 << 1060.0 << 106 << qint64(90) << "120-300 360-1000";
    QTest::newRow("narrower: a column wide, merged") << 0.0 << 1060.0 << 2 << qint64(90) << "-55-1000";
    QTest::newRow("a span inside a hole") << 130.0 << 200.0 << 10 << qint64(90) << "120-300";
}

void TestChartData::gapBands_everyHoleSeenAtEveryZoom()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, columns);
    QFETCH(qint64, gap);
    QFETCH(QString, expected);
    QStringList got;
    for (const TimeBand &band : gapBands({0, 60, 120, 300, 360, 1000, 1060}, gap, from, to, columns))
        got << QStringLiteral("%1-%2").arg(band.from).arg(band.to);
    QCOMPARE(got.join(QLatin1Char(' ')), expected);
}

void TestChartData::recordAt_nearestRecordOrHole_data()
{
    QTest::addColumn<double>("time");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("nearest of two") << 50.0 << qint64(1);
    QTest::newRow("half an interval into a hole") << 130.0 << qint64(2);
    QTest::newRow("inside a hole") << 200.0 << qint64(-1);
    QTest::newRow("after the last") << 1000.0 << qint64(4);
}

void TestChartData::recordAt_nearestRecordOrHole()
{
    QFETCH(double, time);
    QFETCH(qint64, expected);
    QCOMPARE(recordAt({0, 60, 120, 300, 360}, time, 60, 90), expected);
}

void TestChartData::timeTicks_roundTimesWithFittingLabels_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("maxTicks");
    QTest::addColumn<QStringList>("labels");
    const double d = QDateTime(QDate(2013, 12, 7), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    QTest::newRow("an hour in minutes, dated, the year first") << d + 3600 * 10 + 100 << d + 3600 * 11 << 4
        << QStringList{"07.12.2013 10:15", "07.12 10:30", "07.12 10:45", "07.12 11:00"};
    QTest::newRow("across midnight") << d - 3600 * 3 << d + 3600 * 3 << 3
                                     << QStringList{"06.12.2013 22:00", "07.12 00:00", "07.12 02:00"};
    QTest::newRow("a week in days") << d << d + 86400 * 6 << 4
                                    << QStringList{"07.12.2013", "09.12", "11.12", "13.12"};
    QTest::newRow("across a new year in weeks, on Mondays") << d + 86400 * 20 << d + 86400 * 30 << 3
                                                            << QStringList{"30.12.2013", "06.01.2014"};
    QTest::newRow("two years in months") << d << d + 86400 * 700 << 4
                                         << QStringList{"01.2014", "07.2014", "01.2015", "07.2015"};
}

void TestChartData::timeTicks_roundTimesWithFittingLabels()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, maxTicks);
    QFETCH(QStringList, labels);
    QStringList got;
    for (const TimeTick &tick : timeTicks(from, to, maxTicks)) {
        QVERIFY(tick.time >= from && tick.time <= to);
        got << tick.label;
    }
    QCOMPARE(got, labels);
}

void TestChartData::valueScale_roundStepsCoverTheRange_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<int>("maxTicks");
    QTest::addColumn<QString>("expected");   // min max step decimals
    QTest::newRow("a level in tens") << 101.4 << 138.7 << 6 << "100 140 10 0";
    QTest::newRow("fewer ticks: twenties") << 101.4 << 138.7 << 3 << "100 140 20 0";
    QTest::newRow("a flow in halves") << 1.0958 << 2.7071 << 6 << "1 3 0.5 1";
    QTest::newRow("small flows in hundredths") << 0.012 << 0.047 << 5 << "0.01 0.05 0.01 2";
    QTest::newRow("across zero in fives") << -7.0 << 12.0 << 6 << "-10 15 5 0";
    QTest::newRow("a round low stays the bottom") << 100.0 << 120.0 << 5 << "100 120 5 0";
    QTest::newRow("one value: a range around it") << 12.0 << 12.0 << 5 << "11 13 0.5 1";
}

void TestChartData::valueScale_roundStepsCoverTheRange()
{
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(int, maxTicks);
    QFETCH(QString, expected);
    const ValueScale s = valueScale(low, high, maxTicks);
    QCOMPARE(QStringLiteral("%1 %2 %3 %4").arg(s.min).arg(s.max).arg(s.step).arg(s.decimals), expected);
    QVERIFY(s.ticks() <= maxTicks);
}

void TestChartData::spanSummaryAndVolume_ofTheRecordsInTheSpan()
{
    // 1 m³/s for 10 minutes, then 3 m³/s; a hole of an hour; a record without a value.
    const std::vector<qint64> t{0, 600, 1200, 4800, 5400, 6000};
    const std::vector<float> q{1, 1, 3, 3, noValue, 5};
    const SpanSummary s = summarizeSpan(t, q, 300, 6000);
    QCOMPARE(s.count, qint64(4));
    QCOMPARE(s.min, 1.0);
    QCOMPARE(s.max, 5.0);
    QCOMPARE(s.mean, 3.0);
    // 300..600 at 1, 600..1200 from 1 to 3; nothing across the hole or next to the NaN.
    QCOMPARE(integrateSpan(t, q, 300, 6000, 900), 300.0 + 1200.0);
    QCOMPARE(integrateSpan(t, q, 0, 6000, 0), 600.0 + 1200.0 + 3600.0 * 3);
}

void TestChartData::csv_shownSpan_exactBytesAndReadBack()
{
    const ArchiveSeries s = smallSeries();
    const double t0 = double(s.times.front());
    // Slots for the missing 15:00 and the off time; 16:05, off the beat, on a line of its own.
    const QByteArray csv = CsvExport::document(s, t0 + 1, t0 + 7200);
    QCOMPARE(csv, QByteArray("time,\"Seviye, ham [m]\",\"S\xC4\xB1" "cakl\xC4\xB1k \"\"i\xC3\xA7\"\" [\xC2\xB0" "C]\"\r\n"
                             "2013-12-07T14:45,16.62,\r\n"
                             "2013-12-07T15:00,,\r\n"
                             "2013-12-07T15:15,-0.00,21.12\r\n"
                             "2013-12-07T15:30,,\r\n"
                             "2013-12-07T15:45,,\r\n"
                             "2013-12-07T16:05,3.00,4.00\r\n"));
    // For a spreadsheet: ";" and decimal commas; a span from and to holes.
    QCOMPARE(CsvExport::document(s, t0 + 1000, t0 + 4000, CsvExport::spreadsheetFormat()),
             QByteArray("time;Seviye, ham [m];\"S\xC4\xB1" "cakl\xC4\xB1k \"\"i\xC3\xA7\"\" [\xC2\xB0" "C]\"\r\n"
                        "2013-12-07T15:00;;\r\n"
                        "2013-12-07T15:15;-0,00;21,12\r\n"
                        "2013-12-07T15:30;;\r\n"));
    // The flow column, with three decimals and the spreadsheet's comma.
    const CsvExport::FlowColumn flow{QStringLiteral("m³/s"), {1.5f, noValue, 0.125f, 2.0f}};
    QCOMPARE(CsvExport::document(s, t0 + 1000, t0 + 2700, CsvExport::spreadsheetFormat(), &flow),
             QByteArray("time;Seviye, ham [m];\"S\xC4\xB1" "cakl\xC4\xB1k \"\"i\xC3\xA7\"\" [\xC2\xB0" "C]\";Debi [m\xC2\xB3/s]\r\n"
                        "2013-12-07T15:00;;;\r\n"
                        "2013-12-07T15:15;-0,00;21,12;0,125\r\n"));
    const QList<QStringList> read = readCsv(csv);
    QCOMPARE(read.size(), 7);
    QCOMPARE(read.at(0), (QStringList{"time", "Seviye, ham [m]", QString::fromUtf8("Sıcaklık \"iç\" [°C]")}));
    QCOMPARE(read.at(1), (QStringList{"2013-12-07T14:45", "16.62", ""}));
    for (const QStringList &record : read)
        QCOMPARE(record.size(), 3);
    QCOMPARE(CsvExport::defaultFileName(s, t0 + 1, t0 + 7200), QStringLiteral("12_3_0712131445_0712131605.csv"));

    const QString dir = TestEnv::freshAppDir(QStringLiteral("tst_chartdata"));
    QString error;
    QVERIFY(CsvExport::write(dir + QStringLiteral("/out.csv"), csv, &error));
    QFile written(dir + QStringLiteral("/out.csv"));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), csv);
    QVERIFY(!CsvExport::write(dir + QStringLiteral("/no/such/out.csv"), csv, &error));
    QVERIFY(!error.isEmpty());
}

void TestChartData::series_fromRows_pairsChannelsAndSortsTime()
{
    // A measurement, one whose second value was not stored, a summary, then
    // a clock set back by the logger: sorted by time, the pairs kept.
    const std::vector<ArchiveRow> rows{
        {600000, 1.0, 0, 1, false}, {600000, 2.0, 0, 2, false}, {1500000, 3.0, 0, 1, false},
        {60000, 9.0, 1, 2, false},  {300000, 4.0, 0, 1, true},  {300000, 5.0, 0, 2, true},
        {1200000, 6.0, 0, 1, false}, {1200000, 7.0, 0, 2, false}};
    const ArchiveSeries s = ArchiveSeries::fromRows(rows);
    QCOMPARE(QList<qint64>(s.times.begin(), s.times.end()), (QList<qint64>{300, 600, 1200, 1500}));
    QCOMPARE(QList<float>(s.values[0].begin(), s.values[0].end()), (QList<float>{4, 1, 6, 3}));
    QCOMPARE(s.values[1][0], 5.0f);
    QVERIFY(std::isnan(s.values[1][3]));
    QCOMPARE(s.summaries.size(), std::size_t(1));
    QCOMPARE(s.summaries.front().channel, qint8(2));
    QCOMPARE(s.intervalSeconds, qint64(300));
    QCOMPARE(s.gapSeconds(), qint64(450));
    QCOMPARE(s.recordCount(), qint64(5));
}

void TestChartData::series_bytes_roundTripAndDamageRefused()
{
    const ArchiveSeries s = smallSeries();
    const QByteArray bytes = s.toBytes();
    ArchiveSeries back;
    QVERIFY(ArchiveSeries::fromBytes(bytes, &back));
    QCOMPARE(back.channelName[1], s.channelName[1]);
    QCOMPARE(back.channelUnit[1], s.channelUnit[1]);
    QCOMPARE(back.installTime, s.installTime);
    QCOMPARE(QList<qint64>(back.times.begin(), back.times.end()), QList<qint64>(s.times.begin(), s.times.end()));
    QCOMPARE(back.values[0][1], 16.625f);
    QVERIFY(std::isnan(back.values[1][1]));
    QCOMPARE(back.summaries.size(), std::size_t(2));
    QCOMPARE(back.intervalSeconds, qint64(900));
    for (qsizetype at : {qsizetype(0), bytes.size() / 2, bytes.size() - 20}) {
        QByteArray damaged = bytes;
        damaged[at] = char(damaged.at(at) ^ 0x10);
        QVERIFY2(!ArchiveSeries::fromBytes(damaged, &back), qPrintable(QString::number(at)));
    }
    QVERIFY(!ArchiveSeries::fromBytes(bytes.chopped(1), &back));
    QVERIFY(!ArchiveSeries::fromBytes(bytes + "x", &back));
    QVERIFY(!ArchiveSeries::fromBytes(QByteArray(), &back));
}

QTEST_GUILESS_MAIN(TestChartData)
#include "tst_chartdata.moc"
