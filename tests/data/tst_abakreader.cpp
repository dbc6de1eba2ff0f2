#include "abakreader.h"
#include "paths.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <cmath>

namespace {

bool writeTable(const QString &stationNumber, const QByteArray &content)
{
    QDir().mkpath(Paths::ratingDir());
    QFile file(Paths::ratingDir() + QLatin1Char('/') + stationNumber + QStringLiteral(".abk"));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QByteArray table(const QByteArray &station, const QByteArray &values)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ROOT>\n" + station + "\n<VALUES>\n" + values
        + "\n</VALUES>\n</ROOT>\n";
}

QByteArray entry(const QByteArray &level, const QByteArray &flow)
{
    return "<VALUE LEVEL=\"" + level + "\" FLOW=\"" + flow + "\"/>";
}

// Levels 0 .. 100 with a duplicate 50 and a fractional 99.5.
QByteArray standardTable()
{
    return table("<STATION NAME=\"Baraj\" CODE=\"1234\"/>",
                 entry("0", "5") + entry("1", "7") + entry("50", "20") + entry("50", "21")
                     + entry("99", "30") + entry("99.5", "33") + entry("100", "40"));
}

} // namespace

class TestAbakReader : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void load_readsTable_data();
    void load_readsTable();
    void load_isoDeclaredFileWithTurkishLetters_readsName();
    void load_numbersInUsersLocaleFirstThenC();
    void load_readsDiskAgainEachTime();
    void flowForLevel_exactMatchOnWholePart_data();
    void flowForLevel_exactMatchOnWholePart();
    void flowForLevel_emptyOrClearedReader_givesMinusOne();
};

void TestAbakReader::init() { TestEnv::freshAppDir(QStringLiteral("tst_abakreader")); }

void TestAbakReader::cleanup() { QLocale::setDefault(QLocale::c()); }

void TestAbakReader::load_readsTable_data()
{
    QTest::addColumn<QString>("fileStation");   // empty: no file
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("station");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QList<float>>("levels");
    QTest::addColumn<float>("minLevel");
    QTest::addColumn<float>("maxLevel");

    const QList<float> none;
    QTest::newRow("standard table")
        << "1234" << standardTable() << "1234" << true << "Baraj" << "1234"
        << QList<float>{0, 1, 50, 50, 99, 99.5f, 100} << 0.0f << 100.0f;
    QTest::newRow("no file") << QString() << QByteArray() << "1234" << false << "" << "" << none
                             << 0.0f << 0.0f;
    QTest::newRow("file of another station only") << "9999" << standardTable() << "1234" << false
                                                  << "" << "" << none << 0.0f << 0.0f;
    QTest::newRow("not XML") << "1234" << QByteArray("<ROOT><STATION") << "1234" << false << ""
                             << "" << none << 0.0f << 0.0f;
    QTest::newRow("document element root in lower case")
        << "1234" << QByteArray(standardTable()).replace("ROOT>", "root>") << "1234" << false << ""
        << "" << none << 0.0f << 0.0f;
    QTest::newRow("code mismatch keeps name and code, empty table")
        << "1234" << QByteArray(standardTable()).replace("CODE=\"1234\"", "CODE=\"1235\"") << "1234"
        << false << "Baraj" << "1235" << none << 0.0f << 0.0f;
    QTest::newRow("code with blanks around it matches")
        << "1234"
        << QByteArray(standardTable()).replace("CODE=\"1234\"", "CODE=\"  1234 \"").replace("\"Baraj\"", "\" Baraj  \"")
        << "1234" << true << "Baraj" << "1234" << QList<float>{0, 1, 50, 50, 99, 99.5f, 100} << 0.0f
        << 100.0f;
    QTest::newRow("station number with blanks does not match")
        << " 1234" << QByteArray(standardTable()).replace("CODE=\"1234\"", "CODE=\" 1234\"")
        << " 1234" << false << "Baraj" << "1234" << none << 0.0f << 0.0f;
    QTest::newRow("code compared case-sensitively")
        << "ab1" << table("<STATION NAME=\"x\" CODE=\"AB1\"/>", entry("1", "1")) << "ab1" << false
        << "x" << "AB1" << none << 0.0f << 0.0f;
    QTest::newRow("no STATION element: empty code matches only an empty number")
        << "1234" << table("", entry("1", "1")) << "1234" << false << "" << "" << none << 0.0f
        << 0.0f;
    QTest::newRow("element names are case-sensitive")
        << "1234" << table("<station NAME=\"x\" CODE=\"1234\"/>", entry("1", "1")) << "1234"
        << false << "" << "" << none << 0.0f << 0.0f;
    QTest::newRow("no VALUES element: loaded, empty, bounds 0")
        << "1234" << QByteArray("<ROOT><STATION NAME=\"B\" CODE=\"1234\"/></ROOT>") << "1234"
        << true << "B" << "1234" << none << 0.0f << 0.0f;
    QTest::newRow("first STATION and first VALUES anywhere below ROOT; nested VALUE counted")
        << "1234"
        << QByteArray("<ROOT><A><STATION NAME=\"first\" CODE=\"1234\"/></A>"
                      "<STATION NAME=\"second\" CODE=\"1\"/>"
                      "<VALUE LEVEL=\"7\" FLOW=\"7\"/>"
                      "<B><VALUES><VALUE LEVEL=\"2\" FLOW=\"3\"/><G><VALUE LEVEL=\"4\" FLOW=\"5\"/></G>"
                      "<value LEVEL=\"8\" FLOW=\"8\"/></VALUES></B>"
                      "<VALUES><VALUE LEVEL=\"9\" FLOW=\"9\"/></VALUES></ROOT>")
        << "1234" << true << "first" << "1234" << QList<float>{2, 4} << 0.0f << 4.0f;
    QTest::newRow("missing or unreadable numbers are 0")
        << "1234"
        << table("<STATION NAME=\"B\" CODE=\"1234\"/>",
                 "<VALUE FLOW=\"3\"/>" + entry("abc", "1") + entry("5", ""))
        << "1234" << true << "B" << "1234" << QList<float>{0, 0, 5} << 0.0f << 5.0f;
    QTest::newRow("negative levels widen the lower bound")
        << "1234"
        << table("<STATION NAME=\"B\" CODE=\"1234\"/>", entry("-2", "1") + entry("-1", "2") + entry("3", "3"))
        << "1234" << true << "B" << "1234" << QList<float>{-2, -1, 3} << -2.0f << 3.0f;
    QTest::newRow("all levels negative: upper bound stays 0")
        << "1234" << table("<STATION NAME=\"B\" CODE=\"1234\"/>", entry("-5", "1") + entry("-3", "2"))
        << "1234" << true << "B" << "1234" << QList<float>{-5, -3} << -5.0f << 0.0f;
}

void TestAbakReader::load_readsTable()
{
    QFETCH(QString, fileStation);
    QFETCH(QByteArray, content);
    QFETCH(QString, station);
    QFETCH(bool, loaded);
    QFETCH(QString, name);
    QFETCH(QString, code);
    QFETCH(QList<float>, levels);
    QFETCH(float, minLevel);
    QFETCH(float, maxLevel);
    if (!fileStation.isNull())
        QVERIFY(writeTable(fileStation, content));

    AbakReader reader;
    QVERIFY(writeTable(QStringLiteral("0"), standardTable()));
    reader.load(QStringLiteral("0"));   // leftovers of an earlier load must not survive
    QCOMPARE(reader.load(station), loaded);
    QCOMPARE(reader.name(), name);
    QCOMPARE(reader.code(), code);
    QList<float> got;
    for (const AbakValue &v : reader.values())
        got << v.level;
    QCOMPARE(got, levels);
    QCOMPARE(reader.minLevel(), minLevel);
    QCOMPARE(reader.maxLevel(), maxLevel);
}

void TestAbakReader::load_isoDeclaredFileWithTurkishLetters_readsName()
{
    // "Şırnak Ğölü İç" in ISO-8859-9: Ş DE, ı FD, Ğ D0, ö F6, ü FC, İ DD, ç E7
    const QByteArray content = "<?xml version=\"1.0\" encoding=\"ISO-8859-9\"?>\n"
                               "<ROOT><STATION NAME=\"\xDE\xFDrnak \xD0\xF6l\xFC \xDD\xE7\" CODE=\"42\"/>"
                               "<VALUES><VALUE LEVEL=\"1\" FLOW=\"2.5\"/><VALUE LEVEL=\"3\" FLOW=\"4\"/>"
                               "</VALUES></ROOT>\n";
    QVERIFY(writeTable(QStringLiteral("42"), content));
    AbakReader reader;
    QVERIFY(reader.load(QStringLiteral("42")));
    QCOMPARE(reader.name(), QString::fromUtf8("Şırnak Ğölü İç"));
    QCOMPARE(reader.values().size(), 2);
    QCOMPARE(reader.flowForLevel(1.9f), 2.5);
}

void TestAbakReader::load_numbersInUsersLocaleFirstThenC()
{
    QVERIFY(writeTable(QStringLiteral("7"),
                       table("<STATION NAME=\"B\" CODE=\"7\"/>",
                             entry("12,5", "1") + entry("12.5", "2") + entry("1.500", "3")
                                 + entry("100.000", "4") + entry("1,234.5", "5"))));
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    AbakReader reader;
    QVERIFY(reader.load(QStringLiteral("7")));
    QList<float> got;
    for (const AbakValue &v : reader.values())
        got << v.level;
    // Turkish reads "12,5"; "12.5", "1.500" and "100.000" fall back to C, as
    // neither takes a thousands separator; "1,234.5" is refused by both.
    QCOMPARE(got, (QList<float>{12.5f, 12.5f, 1.5f, 100.0f, 0.0f}));
}

void TestAbakReader::load_readsDiskAgainEachTime()
{
    QVERIFY(writeTable(QStringLiteral("1234"), standardTable()));
    AbakReader reader;
    QVERIFY(reader.load(QStringLiteral("1234")));
    QCOMPARE(reader.flowForLevel(50.5f), 20.0);
    QVERIFY(writeTable(QStringLiteral("1234"),
                       table("<STATION NAME=\"B\" CODE=\"1234\"/>", entry("50", "77") + entry("60", "1"))));
    QVERIFY(reader.load(QStringLiteral("1234")));
    QCOMPARE(reader.flowForLevel(50.5f), 77.0);
    QVERIFY(QFile::remove(Paths::ratingDir() + QStringLiteral("/1234.abk")));
    QVERIFY(!reader.load(QStringLiteral("1234")));
    QCOMPARE(reader.flowForLevel(50.5f), -1.0);
}

void TestAbakReader::flowForLevel_exactMatchOnWholePart_data()
{
    QTest::addColumn<QByteArray>("values");
    QTest::addColumn<float>("level");
    QTest::addColumn<double>("flow");
    const QByteArray standard = entry("0", "5") + entry("1", "7") + entry("50", "20") + entry("50", "21")
        + entry("99", "30") + entry("99.5", "33") + entry("100", "40");
    QTest::newRow("highest level itself is outside") << standard << 100.0f << -1.0;
    QTest::newRow("just below the highest: entry 99") << standard << 99.7f << 30.0;
    QTest::newRow("fractional table level never matches") << standard << 99.5f << 30.0;
    QTest::newRow("level 0 with lower bound 0 is outside") << standard << 0.0f << -1.0;
    QTest::newRow("level 0.5 finds entry 0") << standard << 0.5f << 5.0;
    QTest::newRow("level 0.5 without entry 0 gives 0") << entry("3", "9") + entry("10", "1")
                                                       << 0.5f << 0.0;
    QTest::newRow("two entries of one level: the first wins") << standard << 50.9f << 20.0;
    QTest::newRow("no entry of that whole number gives 0") << standard << 75.2f << 0.0;
    QTest::newRow("above the highest") << standard << 150.0f << -1.0;
    QTest::newRow("below the lowest") << standard << -0.1f << -1.0;
    QTest::newRow("NaN is outside") << standard << std::numeric_limits<float>::quiet_NaN() << -1.0;
    QTest::newRow("infinity is outside") << standard << std::numeric_limits<float>::infinity() << -1.0;
    QTest::newRow("negative level truncates toward zero: -1.5 finds -1")
        << entry("-2", "1") + entry("-1", "2") + entry("3", "3") << -1.5f << 2.0;
    QTest::newRow("only fractional levels: nothing matches") << entry("0.5", "1") + entry("2.5", "2")
                                                             << 2.4f << 0.0;
    QTest::newRow("flow with decimals") << entry("5", "12.25") + entry("6", "1") << 5.5f << 12.25;
}

void TestAbakReader::flowForLevel_exactMatchOnWholePart()
{
    QFETCH(QByteArray, values);
    QFETCH(float, level);
    QFETCH(double, flow);
    QVERIFY(writeTable(QStringLiteral("55"), table("<STATION NAME=\"S\" CODE=\"55\"/>", values)));
    AbakReader reader;
    QVERIFY(reader.load(QStringLiteral("55")));
    QCOMPARE(reader.flowForLevel(level), flow);
}

void TestAbakReader::flowForLevel_emptyOrClearedReader_givesMinusOne()
{
    AbakReader reader;
    QCOMPARE(reader.flowForLevel(1.0f), -1.0);
    QVERIFY(writeTable(QStringLiteral("1234"), standardTable()));
    QVERIFY(reader.load(QStringLiteral("1234")));
    QCOMPARE(reader.flowForLevel(1.0f), 7.0);
    reader.clear();
    QCOMPARE(reader.flowForLevel(1.0f), -1.0);
    QVERIFY(reader.name().isEmpty());
    QVERIFY(reader.code().isEmpty());
    QVERIFY(reader.values().isEmpty());
    QCOMPARE(reader.minLevel(), 0.0f);
    QCOMPARE(reader.maxLevel(), 0.0f);
    QVERIFY(writeTable(QStringLiteral("1"), "<ROOT><STATION CODE=\"1\"/></ROOT>"));
    QVERIFY(reader.load(QStringLiteral("1")));
    QCOMPARE(reader.flowForLevel(0.0f), -1.0);
    QCOMPARE(AbakReader::tablePath(QStringLiteral("1")), Paths::dataRoot() + QStringLiteral("/Debi/1.abk"));
}

QTEST_GUILESS_MAIN(TestAbakReader)
#include "tst_abakreader.moc"
