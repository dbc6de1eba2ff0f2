#include "paths.h"
#include "testenv.h"
#include "vlxdata.h"
#include "vlxfile.h"

#include <QPointer>
#include <QtTest>

class TestVLXFile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void listingEntry_dateFromFileList_data();
    void listingEntry_dateFromFileList();
    void setEndPosition_sizeIsDistanceFromPreviousEnd_data();
    void setEndPosition_sizeIsDistanceFromPreviousEnd();
    void setStationNo_derivesExportPathFromNumberAndDate_data();
    void setStationNo_derivesExportPathFromNumberAndDate();

    void addRecord_advancesClockAndRemembersValues();
    void addRecordAt_keepsClock();
    void addGap_repeatsLastValuesAndMarksMissing();
    void destructor_deletesRecords();
};

void TestVLXFile::initTestCase() { TestEnv::freshAppDir(QStringLiteral("tst_vlxfile")); }

void TestVLXFile::listingEntry_dateFromFileList_data()
{
    QTest::addColumn<QDateTime>("date");
    QTest::addColumn<QDate>("stored");
    QTest::addColumn<QString>("dateText");
    // The file list carries two-digit years; read with "dd/MM/yy" they land in the 1900s.
    QTest::newRow("year 13 from the file list is 2013")
        << QDateTime(QDate::fromString(QStringLiteral("07/12/13"), QStringLiteral("dd/MM/yy")),
                     QTime(0, 0), Qt::UTC)
        << QDate(2013, 12, 7) << QStringLiteral("07.12.2013");
    QTest::newRow("year 1999 is 2099") << QDateTime(QDate(1999, 1, 31), QTime(0, 0), Qt::UTC)
                                       << QDate(2099, 1, 31) << QStringLiteral("31.01.2099");
    QTest::newRow("year 1900 is 2000") << QDateTime(QDate(1900, 5, 1), QTime(0, 0), Qt::UTC)
                                       << QDate(2000, 5, 1) << QStringLiteral("01.05.2000");
    QTest::newRow("year 2000 stays") << QDateTime(QDate(2000, 5, 1), QTime(0, 0), Qt::UTC)
                                     << QDate(2000, 5, 1) << QStringLiteral("01.05.2000");
    QTest::newRow("year 2013 stays") << QDateTime(QDate(2013, 12, 7), QTime(14, 30), Qt::UTC)
                                     << QDate(2013, 12, 7) << QStringLiteral("07.12.2013");
    QTest::newRow("unparsable date stays invalid")
        << QDateTime(QDate::fromString(QStringLiteral("xx/12/13"), QStringLiteral("dd/MM/yy")),
                     QTime(0, 0), Qt::UTC)
        << QDate() << QString();
}

void TestVLXFile::listingEntry_dateFromFileList()
{
    QFETCH(QDateTime, date);
    QFETCH(QDate, stored);
    QFETCH(QString, dateText);
    VLXFile file;
    file.setFileDate(date);
    QCOMPARE(file.fileDate().date(), stored);
    QCOMPARE(file.dateText(), dateText);
}

void TestVLXFile::setEndPosition_sizeIsDistanceFromPreviousEnd_data()
{
    QTest::addColumn<QList<int>>("ends");   // page, offset pairs in file-list order
    QTest::addColumn<QList<int>>("sizes");
    QTest::newRow("(3,0) after (1,528) is 1584 bytes") << QList<int>{1, 528, 3, 0}
                                                       << QList<int>{1584, 1584};
    QTest::newRow("(2,100) then (5,0) are 2212 and 3068 bytes") << QList<int>{2, 100, 5, 0}
                                                                << QList<int>{2212, 3068};
    QTest::newRow("whole memory in one file") << QList<int>{9340, 0} << QList<int>{9863040};
    QTest::newRow("empty file at the start") << QList<int>{0, 0} << QList<int>{0};
}

void TestVLXFile::setEndPosition_sizeIsDistanceFromPreviousEnd()
{
    QFETCH(QList<int>, ends);
    QFETCH(QList<int>, sizes);
    int previousPage = 0;
    int previousOffset = 0;
    QList<int> got;
    for (int i = 0; i + 1 < ends.size(); i += 2) {
        VLXFile file;
        file.setEndPosition(ends.at(i), ends.at(i + 1), previousPage, previousOffset);
        QCOMPARE(file.endPage(), ends.at(i));
        QCOMPARE(file.endOffset(), ends.at(i + 1));
        got << file.sizeBytes();
        previousPage = ends.at(i);
        previousOffset = ends.at(i + 1);
    }
    QCOMPARE(got, sizes);
}

void TestVLXFile::setStationNo_derivesExportPathFromNumberAndDate_data()
{
    QTest::addColumn<bool>("dateFirst");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("1234 on 7 December 2013") << true << "1234" << "1234_071213.txt";
    QTest::newRow("number set before the date has no date part") << false << "1234" << "1234_.txt";
    QTest::newRow("empty number") << true << "" << "_071213.txt";
    QTest::newRow("number with folder separators stays in the export folder")
        << true << "../x/y\\z" << ".._x_y_z_071213.txt";
    QTest::newRow("number with drive colon and wildcards") << true << "C:*?" << "C____071213.txt";
    QTest::newRow("Turkish letters kept") << true << "Ş1" << "Ş1_071213.txt";
}

void TestVLXFile::setStationNo_derivesExportPathFromNumberAndDate()
{
    QFETCH(bool, dateFirst);
    QFETCH(QString, number);
    QFETCH(QString, fileName);
    VLXFile file;
    const QDateTime date(QDate(2013, 12, 7), QTime(14, 30), Qt::UTC);
    if (dateFirst)
        file.setFileDate(date);
    file.setStationNo(number);
    if (!dateFirst)
        file.setFileDate(date);
    QCOMPARE(file.stationNo(), number);
    QCOMPARE(file.exportPath(), Paths::exportDir() + QLatin1Char('/') + fileName);
    QVERIFY(file.exportPath().startsWith(QStringLiteral(VLX_TEST_SCRATCH)));
}

void TestVLXFile::addRecord_advancesClockAndRemembersValues()
{
    VLXFile file;
    const QDateTime start(QDate(2013, 12, 31), QTime(23, 50), Qt::UTC);
    file.setCurrentTime(start);
    file.setRecordInterval(15);
    file.addRecord(0, VLXData::Instant, 1.5f, -2.5f, true);
    file.addRecord(0, VLXData::Instant, 3.0f, 4.0f, false);
    QCOMPARE(file.records().size(), 2);
    QCOMPARE(file.records().at(0)->time(), start);
    QVERIFY(file.records().at(0)->timeSet());
    QCOMPARE(file.records().at(1)->time(), QDateTime(QDate(2014, 1, 1), QTime(0, 5), Qt::UTC));
    QVERIFY(!file.records().at(1)->timeSet());
    QVERIFY(!file.records().at(1)->missing());
    QCOMPARE(file.currentTime(), QDateTime(QDate(2014, 1, 1), QTime(0, 20), Qt::UTC));
    QCOMPARE(file.lastValue1(), 3.0f);
    QCOMPARE(file.lastValue2(), 4.0f);
}

void TestVLXFile::addRecordAt_keepsClock()
{
    VLXFile file;
    const QDateTime clock(QDate(2013, 12, 7), QTime(14, 30), Qt::UTC);
    const QDateTime other(QDate(2013, 12, 7), QTime(23, 59), Qt::UTC);
    file.setCurrentTime(clock);
    file.setRecordInterval(15);
    file.addRecordAt(other, 2, VLXData::Min, 7.0f, 8.0f, true);
    QCOMPARE(file.currentTime(), clock);
    QCOMPARE(file.records().at(0)->time(), other);
    QCOMPARE(file.records().at(0)->channel(), 2);
    QCOMPARE(file.records().at(0)->type(), int(VLXData::Min));
    QCOMPARE(file.lastValue1(), 7.0f);
    QCOMPARE(file.lastValue2(), 8.0f);
}

void TestVLXFile::addGap_repeatsLastValuesAndMarksMissing()
{
    VLXFile file;
    const QDateTime clock(QDate(2013, 12, 7), QTime(14, 30), Qt::UTC);
    file.setCurrentTime(clock);
    file.setRecordInterval(10);
    file.addGap(true);
    file.addRecordAt(clock, 1, VLXData::Max, 5.0f, 6.0f, false);
    file.addGap(false);
    const QList<VLXData *> &r = file.records();
    QCOMPARE(r.size(), 3);
    QCOMPARE(r.at(0)->value1(), -1.0f);
    QCOMPARE(r.at(0)->value2(), -1.0f);
    QVERIFY(r.at(0)->missing());
    QVERIFY(r.at(0)->timeSet());
    QCOMPARE(r.at(2)->value1(), 5.0f);
    QCOMPARE(r.at(2)->value2(), 6.0f);
    QCOMPARE(r.at(2)->channel(), 0);
    QCOMPARE(r.at(2)->type(), int(VLXData::Instant));
    QCOMPARE(r.at(2)->time(), clock.addSecs(600));
    QCOMPARE(file.currentTime(), clock.addSecs(1200));
    // a gap does not change what the next gap repeats
    QCOMPARE(file.lastValue1(), 5.0f);
}

void TestVLXFile::destructor_deletesRecords()
{
    auto *file = new VLXFile;
    file->addGap(false);
    file->addRecord(0, 0, 1.0f, 2.0f, false);
    const QPointer<VLXData> first = file->records().at(0);
    const QPointer<VLXData> second = file->records().at(1);
    QVERIFY(first && second);
    delete file;
    QVERIFY(first.isNull());
    QVERIFY(second.isNull());
}

QTEST_GUILESS_MAIN(TestVLXFile)
#include "tst_vlxfile.moc"
