#include "records.h"
#include "vlxfile.h"

#include <QtTest>

namespace {

QByteArray record(const char *word, const QList<QByteArray> &fields, const QByteArray &end = "\r")
{
    return QByteArray(word) + fields.join('\x02') + end;
}

// A parameter record as the logger sends it, 18 fields.
QList<QByteArray> parameterFields()
{
    return {"12345", "VLX-2", "Baraj A", "D21A001", "0.25", "05/03/24 10:30:15 7", "12.6V",
            "Seviye", "123.45", "cm", "Sicaklik", "12.5", "C", "05/03/24 01:00 100.5",
            "05/03/24 02:00 10.1", "05/03/24 13:00 130.2", "05/03/24 14:00 14.9", "010101"};
}

// A file list with three files; used memory 5 pages and 100 bytes.
QList<QByteArray> fileListFields()
{
    return {"15", "3", "01/02/24 10:00", "15/03/24 08:30", "20/04/24 12:00", "00/00/00 00:00",
            "00/00/00 00:00", "5", "100", "2", "100", "5", "0", "5", "100", "0", "0", "0", "0"};
}

QList<QByteArray> alarmFields()
{
    return {"12.346", "10", "abc", "-5", "XXXXXXXXXXXXXX05/03/24 10:30", "0000000000000000/00/00 00:00",
            "1110"};
}

QDateTime utcDay(int y, int m, int d) { return QDateTime(QDate(y, m, d), QTime(0, 0), Qt::UTC); }

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT
private slots:
    void recordFields_splitsAtStxWithoutClosingCr_data();
    void recordFields_splitsAtStxWithoutClosingCr();

    void parameterRecord_complete_fillsEveryField();
    void parameterRecord_tooShortOrGarbled_isRefusedAndLeavesRecordAlone_data();
    void parameterRecord_tooShortOrGarbled_isRefusedAndLeavesRecordAlone();
    void parameterRecord_dayNumber_readFromCharacter18_data();
    void parameterRecord_dayNumber_readFromCharacter18();
    void parameterRecord_optionDigits_missingOrGarbledCountAsZero_data();
    void parameterRecord_optionDigits_missingOrGarbledCountAsZero();
    void parameterRecord_lastFieldNeverCarriesCr();
    void dayNameSource_namesMondayToSundayOnly_data();
    void dayNameSource_namesMondayToSundayOnly();

    void fileList_threeFiles_givesDatesAndEndPositions();
    void fileList_sizes_followFromConsecutiveEndPositions();
    void fileList_count_isClampedToSlotsFieldsAndEmptySlots_data();
    void fileList_count_isClampedToSlotsFieldsAndEmptySlots();
    void fileList_usedMemory_isClampedToLoggerMemory_data();
    void fileList_usedMemory_isClampedToLoggerMemory();
    void fileList_dates_twoDigitYearsAre2000To2099_data();
    void fileList_dates_twoDigitYearsAre2000To2099();
    void fileList_garbled_givesNoFiles();

    void alarmRecord_complete_givesThresholdsDatesAndSwitches();
    void alarmRecord_shortOrGarbled_isRefused_data();
    void alarmRecord_shortOrGarbled_isRefused();
    void alarmRecord_lastAlarm_exactPatternOnly_data();
    void alarmRecord_lastAlarm_exactPatternOnly();
    void alarmRecord_relayCharacters_takenAsCodeMinusZero_data();
    void alarmRecord_relayCharacters_takenAsCodeMinusZero();
};

void TestRecords::recordFields_splitsAtStxWithoutClosingCr_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("empty fields kept") << QByteArray("PARa\x02\x02" "b\r") << QStringList{"a", "", "b"};
    QTest::newRow("CR LF not in last field") << QByteArray("DOSa\x02" "b\r\n") << QStringList{"a", "b"};
    QTest::newRow("text ends at NUL") << QByteArray("PARa\x02" "b\0c\x02" "d\r", 11) << QStringList{"a", "b"};
    QTest::newRow("trailing STX gives empty last field") << QByteArray("ALRa\x02\r") << QStringList{"a", ""};
    QTest::newRow("UTF-8 text") << QByteArray("PARKuyu \xC5\x9E\r") << QStringList{QString::fromUtf8("Kuyu Ş")};
    QTest::newRow("reply word only") << QByteArray("PAR") << QStringList{""};
    QTest::newRow("shorter than reply word") << QByteArray("PA") << QStringList{""};
}

void TestRecords::recordFields_splitsAtStxWithoutClosingCr()
{
    QFETCH(QByteArray, message);
    QFETCH(QStringList, fields);
    QCOMPARE(recordFields(message), fields);
}

void TestRecords::parameterRecord_complete_fillsEveryField()
{
    ParameterRecord r;
    QVERIFY(parseParameterRecord(record("PAR", parameterFields()), &r));
    QCOMPARE(r.serialNo, QStringLiteral("12345"));
    QCOMPARE(r.model, QStringLiteral("VLX-2"));
    QCOMPARE(r.stationName, QStringLiteral("Baraj A"));
    QCOMPARE(r.stationNo, QStringLiteral("D21A001"));
    QCOMPARE(r.offset, QStringLiteral("0.25"));
    QCOMPARE(r.deviceTime, QStringLiteral("05/03/24 10:30:15"));
    QCOMPARE(r.dayNumber, 7);
    QCOMPARE(r.battery, QStringLiteral("12.6V"));
    QCOMPARE(r.channel1Name, QStringLiteral("Seviye"));
    QCOMPARE(r.level, QStringLiteral("123.45"));
    QCOMPARE(r.channel1Unit, QStringLiteral("cm"));
    QCOMPARE(r.channel2Name, QStringLiteral("Sicaklik"));
    QCOMPARE(r.temperature, QStringLiteral("12.5"));
    QCOMPARE(r.channel2Unit, QStringLiteral("C"));
    QCOMPARE(r.minLevel, QStringLiteral("05/03/24 01:00 100.5"));
    QCOMPARE(r.minTemperature, QStringLiteral("05/03/24 02:00 10.1"));
    QCOMPARE(r.maxLevel, QStringLiteral("05/03/24 13:00 130.2"));
    QCOMPARE(r.maxTemperature, QStringLiteral("05/03/24 14:00 14.9"));
    const int expected[6] = {0, 1, 0, 1, 0, 1};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(r.options[i], expected[i]);
}

void TestRecords::parameterRecord_tooShortOrGarbled_isRefusedAndLeavesRecordAlone_data()
{
    QTest::addColumn<QByteArray>("message");
    QList<QByteArray> seventeen = parameterFields();
    seventeen.removeLast();
    QTest::newRow("17 fields") << record("PAR", seventeen);
    QTest::newRow("reply word only") << QByteArray("PAR\r");
    QTest::newRow("no STX at all") << QByteArray("PAR\xFF\xFE garbage\r");
    QTest::newRow("empty") << QByteArray();
    QList<QByteArray> cut = parameterFields();
    QTest::newRow("NUL inside cuts the record") << QByteArray(record("PAR", cut).replace("Seviye", QByteArray("Sev\0ye", 6)));
}

void TestRecords::parameterRecord_tooShortOrGarbled_isRefusedAndLeavesRecordAlone()
{
    QFETCH(QByteArray, message);
    ParameterRecord r;
    r.serialNo = QStringLiteral("untouched");
    r.dayNumber = 3;
    QVERIFY(!parseParameterRecord(message, &r));
    QCOMPARE(r.serialNo, QStringLiteral("untouched"));
    QCOMPARE(r.dayNumber, 3);
}

void TestRecords::parameterRecord_dayNumber_readFromCharacter18_data()
{
    QTest::addColumn<QByteArray>("field5");
    QTest::addColumn<int>("dayNumber");
    QTest::addColumn<QString>("deviceTime");
    QTest::newRow("Sunday 7") << QByteArray("05/03/24 10:30:15 7") << 7 << "05/03/24 10:30:15";
    QTest::newRow("0") << QByteArray("05/03/24 10:30:15 0") << 0 << "05/03/24 10:30:15";
    QTest::newRow("8") << QByteArray("05/03/24 10:30:15 8") << 8 << "05/03/24 10:30:15";
    QTest::newRow("absent") << QByteArray("05/03/24 10:30:15") << 0 << "05/03/24 10:30:15";
    QTest::newRow("not a number") << QByteArray("05/03/24 10:30:15 x") << 0 << "05/03/24 10:30:15";
    QTest::newRow("character 17 skipped whatever it is") << QByteArray("05/03/24 10:30:15-1") << 1
                                                          << "05/03/24 10:30:15";
    QTest::newRow("short field") << QByteArray("05/03") << 0 << "05/03";
}

void TestRecords::parameterRecord_dayNumber_readFromCharacter18()
{
    QFETCH(QByteArray, field5);
    QFETCH(int, dayNumber);
    QFETCH(QString, deviceTime);
    QList<QByteArray> fields = parameterFields();
    fields[5] = field5;
    ParameterRecord r;
    QVERIFY(parseParameterRecord(record("PAR", fields), &r));
    QCOMPARE(r.dayNumber, dayNumber);
    QCOMPARE(r.deviceTime, deviceTime);
}

void TestRecords::parameterRecord_optionDigits_missingOrGarbledCountAsZero_data()
{
    QTest::addColumn<QByteArray>("field17");
    QTest::addColumn<QList<int>>("options");
    QTest::newRow("010101") << QByteArray("010101") << QList<int>{0, 1, 0, 1, 0, 1};
    QTest::newRow("101010") << QByteArray("101010") << QList<int>{1, 0, 1, 0, 1, 0};
    QTest::newRow("digits other than 1") << QByteArray("290000") << QList<int>{2, 9, 0, 0, 0, 0};
    QTest::newRow("short") << QByteArray("11") << QList<int>{1, 1, 0, 0, 0, 0};
    QTest::newRow("empty") << QByteArray() << QList<int>{0, 0, 0, 0, 0, 0};
    QTest::newRow("garbled characters") << QByteArray("1x1 -1") << QList<int>{1, 0, 1, 0, 0, 1};
    QTest::newRow("only six used") << QByteArray("1111111111") << QList<int>{1, 1, 1, 1, 1, 1};
}

void TestRecords::parameterRecord_optionDigits_missingOrGarbledCountAsZero()
{
    QFETCH(QByteArray, field17);
    QFETCH(QList<int>, options);
    QList<QByteArray> fields = parameterFields();
    fields[17] = field17;
    ParameterRecord r;
    QVERIFY(parseParameterRecord(record("PAR", fields), &r));
    for (int i = 0; i < 6; ++i)
        QCOMPARE(r.options[i], options.at(i));
}

void TestRecords::parameterRecord_lastFieldNeverCarriesCr()
{
    ParameterRecord r;
    QList<QByteArray> fields = parameterFields();
    fields[17] = "01";
    QVERIFY(parseParameterRecord(record("PAR", fields), &r));
    // With a CR left in the field its third character would be read as 0 anyway;
    // check the field text through the splitter as well.
    QCOMPARE(recordFields(record("PAR", fields)).last(), QStringLiteral("01"));
    QCOMPARE(r.options[1], 1);

    fields = parameterFields();
    fields[16] = "14.9";
    fields.removeLast();
    fields.append("010101");
    fields.append("extra");
    QVERIFY(parseParameterRecord(record("PAR", fields), &r));
    QCOMPARE(recordFields(record("PAR", fields)).last(), QStringLiteral("extra"));
    QCOMPARE(r.maxTemperature, QStringLiteral("14.9"));
}

void TestRecords::dayNameSource_namesMondayToSundayOnly_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("name");
    QTest::newRow("1") << 1 << "Pazartesi";
    QTest::newRow("2") << 2 << QString::fromUtf8("Salı");
    QTest::newRow("3") << 3 << QString::fromUtf8("Çarşamba");
    QTest::newRow("4") << 4 << QString::fromUtf8("Perşembe");
    QTest::newRow("5") << 5 << "Cuma";
    QTest::newRow("6") << 6 << "Cumartesi";
    QTest::newRow("7") << 7 << "Pazar";
    QTest::newRow("0") << 0 << "";
    QTest::newRow("8") << 8 << "";
    QTest::newRow("-1") << -1 << "";
}

void TestRecords::dayNameSource_namesMondayToSundayOnly()
{
    QFETCH(int, day);
    QFETCH(QString, name);
    QCOMPARE(QString::fromUtf8(dayNameSource(day)), name);
}

void TestRecords::fileList_threeFiles_givesDatesAndEndPositions()
{
    const FileListRecord list = parseFileList(record("DOS", fileListFields()));
    QCOMPARE(list.interval, QStringLiteral("15"));
    QCOMPARE(list.countText, QStringLiteral("3"));
    QCOMPARE(list.usedBytes, qint64(5 * 1056 + 100));
    QCOMPARE(list.files.size(), 3);
    QCOMPARE(list.files.at(0).date, utcDay(2024, 2, 1));
    QCOMPARE(list.files.at(1).date, utcDay(2024, 3, 15));
    QCOMPARE(list.files.at(2).date, utcDay(2024, 4, 20));
    QCOMPARE(list.files.at(0).date.timeSpec(), Qt::UTC);
    QCOMPARE(list.files.at(0).endPage, 2);
    QCOMPARE(list.files.at(0).endOffset, 100);
    QCOMPARE(list.files.at(1).endPage, 5);
    QCOMPARE(list.files.at(1).endOffset, 0);
    QCOMPARE(list.files.at(2).endPage, 5);
    QCOMPARE(list.files.at(2).endOffset, 100);
}

void TestRecords::fileList_sizes_followFromConsecutiveEndPositions()
{
    const FileListRecord list = parseFileList(record("DOS", fileListFields()));
    QCOMPARE(list.files.size(), 3);
    const int expected[3] = {2212, 3068, 100};
    int previousPage = 0;
    int previousOffset = 0;
    for (int i = 0; i < 3; ++i) {
        VLXFile file;
        file.setEndPosition(list.files.at(i).endPage, list.files.at(i).endOffset, previousPage, previousOffset);
        QCOMPARE(file.sizeBytes(), expected[i]);
        previousPage = list.files.at(i).endPage;
        previousOffset = list.files.at(i).endOffset;
    }
}

void TestRecords::fileList_count_isClampedToSlotsFieldsAndEmptySlots_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("files");

    QList<QByteArray> f = fileListFields();
    f[3] = "00/00/00 00:00";
    QTest::newRow("00 at index 3 stops after the first file") << record("DOS", f) << 1;

    f = fileListFields();
    f[2] = "00/01/24 10:00";
    QTest::newRow("00 in the first slot gives none") << record("DOS", f) << 0;

    f = fileListFields();
    f[1] = "9";
    f[5] = "21/04/24 00:00";
    f[6] = "22/04/24 00:00";
    QTest::newRow("count beyond five slots") << record("DOS", f) << 5;

    f = fileListFields();
    f[1] = "2";
    QTest::newRow("count below the dates present") << record("DOS", f) << 2;

    f = fileListFields();
    f[1] = "4";
    f[5] = "21/04/24 00:00";
    f = f.mid(0, 15);  // end positions of files 0..2 only
    QTest::newRow("count beyond the fields present") << record("DOS", f) << 3;

    f = fileListFields().mid(0, 4);
    QTest::newRow("record cut inside the dates") << record("DOS", f) << 0;

    f = fileListFields();
    f[1] = "-3";
    QTest::newRow("negative count") << record("DOS", f) << 0;

    f = fileListFields();
    f[1] = "drei";
    QTest::newRow("count not a number") << record("DOS", f) << 0;
}

void TestRecords::fileList_count_isClampedToSlotsFieldsAndEmptySlots()
{
    QFETCH(QByteArray, message);
    QFETCH(int, files);
    QCOMPARE(parseFileList(message).files.size(), files);
}

void TestRecords::fileList_usedMemory_isClampedToLoggerMemory_data()
{
    QTest::addColumn<QByteArray>("pages");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("used");
    QTest::newRow("one page") << QByteArray("1") << QByteArray("0") << qint64(1056);
    QTest::newRow("exactly the memory") << QByteArray("9340") << QByteArray("128") << qint64(9863168);
    QTest::newRow("one byte beyond") << QByteArray("9340") << QByteArray("129") << qint64(9863168);
    QTest::newRow("pages overflowing int arithmetic") << QByteArray("2147483647") << QByteArray("0")
                                                     << qint64(9863168);
    QTest::newRow("digits beyond 64 bits") << QByteArray("99999999999999999999999") << QByteArray("5")
                                           << qint64(9863168);
    QTest::newRow("bytes alone beyond") << QByteArray("0") << QByteArray("99999999999") << qint64(9863168);
    QTest::newRow("not numbers") << QByteArray("x") << QByteArray("y") << qint64(0);
    QTest::newRow("pages not a number") << QByteArray("x") << QByteArray("7") << qint64(7);
    QTest::newRow("negative") << QByteArray("-5") << QByteArray("0") << qint64(0);
    QTest::newRow("empty") << QByteArray() << QByteArray() << qint64(0);
}

void TestRecords::fileList_usedMemory_isClampedToLoggerMemory()
{
    QFETCH(QByteArray, pages);
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, used);
    QList<QByteArray> f = fileListFields();
    f[7] = pages;
    f[8] = bytes;
    QCOMPARE(parseFileList(record("DOS", f)).usedBytes, used);
}

void TestRecords::fileList_dates_twoDigitYearsAre2000To2099_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QDateTime>("date");
    QTest::newRow("year 00") << QByteArray("01/01/00 00:00") << utcDay(2000, 1, 1);
    QTest::newRow("year 99") << QByteArray("31/12/99 23:59") << utcDay(2099, 12, 31);
    QTest::newRow("time part ignored") << QByteArray("29/02/24 99:99") << utcDay(2024, 2, 29);
    QTest::newRow("date alone") << QByteArray("07/12/13") << utcDay(2013, 12, 7);
    QTest::newRow("29/02/00 is a day of 2000") << QByteArray("29/02/00 10:30") << utcDay(2000, 2, 29);
    QTest::newRow("29/02/01 does not exist") << QByteArray("29/02/01 10:30") << QDateTime();
    QTest::newRow("impossible date") << QByteArray("31/02/24 10:00") << QDateTime();
    QTest::newRow("garbled") << QByteArray("ab/cd/ef gh:ij") << QDateTime();
}

void TestRecords::fileList_dates_twoDigitYearsAre2000To2099()
{
    QFETCH(QByteArray, field);
    QFETCH(QDateTime, date);
    QList<QByteArray> f = fileListFields();
    f[1] = "1";
    f[2] = field;
    const FileListRecord list = parseFileList(record("DOS", f));
    QCOMPARE(list.files.size(), 1);
    QCOMPARE(list.files.at(0).date, date);
    QCOMPARE(list.files.at(0).date.isValid(), date.isValid());
    if (date.isValid())
        QCOMPARE(list.files.at(0).date.time(), QTime(0, 0));
}

void TestRecords::fileList_garbled_givesNoFiles()
{
    const FileListRecord list = parseFileList(QByteArray("DOS\xFF\xFF\xFF"));
    QVERIFY(list.files.isEmpty());
    QCOMPARE(list.usedBytes, qint64(0));
    QVERIFY(list.countText.isEmpty());

    const FileListRecord empty = parseFileList(QByteArray());
    QVERIFY(empty.files.isEmpty());
    QVERIFY(empty.interval.isEmpty());
}

void TestRecords::alarmRecord_complete_givesThresholdsDatesAndSwitches()
{
    AlarmRecord r;
    QVERIFY(parseAlarmRecord(record("ALR", alarmFields()), &r));
    QCOMPARE(r.thresholds[0], 12.346);
    QCOMPARE(r.thresholds[1], 10.0);
    QCOMPARE(r.thresholds[2], 0.0);   // "abc"
    QCOMPARE(r.thresholds[3], -5.0);  // the tab clamps, the record does not
    QCOMPARE(r.lastAlarm[0], QDateTime(QDate(2024, 3, 5), QTime(10, 30), Qt::UTC));
    QCOMPARE(r.lastAlarm[0].timeSpec(), Qt::UTC);
    QVERIFY(!r.lastAlarm[1].isValid());  // all zeros
    QCOMPARE(r.relay1, 1);
    QCOMPARE(r.relay2, 1);
    QCOMPARE(r.channel1On, true);
    QCOMPARE(r.channel2On, false);
}

void TestRecords::alarmRecord_shortOrGarbled_isRefused_data()
{
    QTest::addColumn<QByteArray>("message");
    QList<QByteArray> f = alarmFields();
    f.removeLast();
    QTest::newRow("six fields") << record("ALR", f);
    f = alarmFields();
    f[6] = "111";
    QTest::newRow("field 6 of three characters") << record("ALR", f);
    f[6] = "11\r";
    QTest::newRow("CR does not make up the fourth character") << record("ALR", f, QByteArray());
    QTest::newRow("reply word only") << QByteArray("ALR\r");
    QTest::newRow("garbage") << QByteArray("ALR\x01\x03\xFF\r");
}

void TestRecords::alarmRecord_shortOrGarbled_isRefused()
{
    QFETCH(QByteArray, message);
    AlarmRecord r;
    r.relay1 = 42;
    QVERIFY(!parseAlarmRecord(message, &r));
    QCOMPARE(r.relay1, 42);
}

void TestRecords::alarmRecord_lastAlarm_exactPatternOnly_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QDateTime>("time");
    const QByteArray head = "XXXXXXXXXXXXXX";
    QTest::newRow("05/03/24 10:30") << head + "05/03/24 10:30" << QDateTime(QDate(2024, 3, 5), QTime(10, 30), Qt::UTC);
    QTest::newRow("year 99 is 2099") << head + "31/12/99 23:59" << QDateTime(QDate(2099, 12, 31), QTime(23, 59), Qt::UTC);
    QTest::newRow("year 00 is 2000") << head + "01/01/00 00:00" << QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
    QTest::newRow("29/02/00 is a day of 2000") << head + "29/02/00 10:30" << QDateTime(QDate(2000, 2, 29), QTime(10, 30), Qt::UTC);
    QTest::newRow("all zeros") << head + "00/00/00 00:00" << QDateTime();
    QTest::newRow("trailing text") << head + "05/03/24 10:30 x" << QDateTime();
    QTest::newRow("seconds") << head + "05/03/24 10:30:00" << QDateTime();
    QTest::newRow("one digit day") << head + "5/03/24 10:30" << QDateTime();
    QTest::newRow("no blank") << head + "05/03/24-10:30" << QDateTime();
    QTest::newRow("hour 24") << head + "05/03/24 24:00" << QDateTime();
    QTest::newRow("short field") << QByteArray("05/03/24 10:30") << QDateTime();
    QTest::newRow("empty") << QByteArray() << QDateTime();
}

void TestRecords::alarmRecord_lastAlarm_exactPatternOnly()
{
    QFETCH(QByteArray, field);
    QFETCH(QDateTime, time);
    QList<QByteArray> f = alarmFields();
    f[4] = field;
    f[5] = field;
    AlarmRecord r;
    QVERIFY(parseAlarmRecord(record("ALR", f), &r));
    QCOMPARE(r.lastAlarm[0], time);
    QCOMPARE(r.lastAlarm[1], time);
    QCOMPARE(r.lastAlarm[0].isValid(), time.isValid());
}

void TestRecords::alarmRecord_relayCharacters_takenAsCodeMinusZero_data()
{
    QTest::addColumn<QByteArray>("switches");
    QTest::addColumn<int>("relay1");
    QTest::addColumn<int>("relay2");
    QTest::addColumn<bool>("channel1On");
    QTest::addColumn<bool>("channel2On");
    QTest::newRow("1110") << QByteArray("1110") << 1 << 1 << true << false;
    QTest::newRow("0000") << QByteArray("0000") << 0 << 0 << false << false;
    QTest::newRow("2101") << QByteArray("2101") << 2 << 1 << false << true;
    QTest::newRow("any non-zero switch is on") << QByteArray("00x9") << 0 << 0 << true << true;
    QTest::newRow("relay outside the list") << QByteArray("3/00") << 3 << -1 << false << false;
    QTest::newRow("longer field, first four used") << QByteArray("12110000") << 1 << 2 << true << true;
}

void TestRecords::alarmRecord_relayCharacters_takenAsCodeMinusZero()
{
    QFETCH(QByteArray, switches);
    QFETCH(int, relay1);
    QFETCH(int, relay2);
    QFETCH(bool, channel1On);
    QFETCH(bool, channel2On);
    QList<QByteArray> f = alarmFields();
    f[6] = switches;
    AlarmRecord r;
    QVERIFY(parseAlarmRecord(record("ALR", f), &r));
    QCOMPARE(r.relay1, relay1);
    QCOMPARE(r.relay2, relay2);
    QCOMPARE(r.channel1On, channel1On);
    QCOMPARE(r.channel2On, channel2On);
}

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
