// The rating curve from a station's table: interpolation, validity periods,
// the reasons a table cannot be used, and a save that keeps what the
// program does not know.
#include "abakreader.h"
#include "paths.h"
#include "ratingtable.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <cmath>

namespace {

const double none = std::numeric_limits<double>::quiet_NaN();

bool writeTable(const QByteArray &content)
{
    QDir().mkpath(Paths::ratingDir());
    QFile file(AbakReader::tablePath(QStringLiteral("1234")));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QByteArray readTable()
{
    QFile file(AbakReader::tablePath(QStringLiteral("1234")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Line 1 the declaration, 2 ROOT, 3 STATION, the periods from line 4 on.
QByteArray table(const QByteArray &periods)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ROOT>\n<STATION CODE=\"1234\"/>\n" + periods + "</ROOT>\n";
}

// The period after the flood stands first: the file's order does not matter.
const QByteArray twoPeriods = table(
    "<VALUES FROM=\"2024-03-10 06:00\" INTERP=\"log\"><VALUE LEVEL=\"90\" FLOW=\"0\"/><VALUE LEVEL=\"100\" FLOW=\"2\"/>"
    "<VALUE LEVEL=\"200\" FLOW=\"8\"/></VALUES>\n"
    "<VALUES><VALUE LEVEL=\"100\" FLOW=\"1\"/><VALUE LEVEL=\"110\" FLOW=\"3\"/><VALUE LEVEL=\"130\" FLOW=\"4\"/></VALUES>\n");

} // namespace

class TestRatingCurve : public QObject
{
    Q_OBJECT
private slots:
    void init() { TestEnv::freshAppDir(QStringLiteral("tst_ratingcurve")); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void flowAt_interpolatesInThePeriodOfTheTime_data();
    void flowAt_interpolatesInThePeriodOfTheTime();
    void load_unusableTable_saysWhy_data();
    void load_unusableTable_saysWhy();
    void save_writesEditsAndKeepsWhatItDoesNotKnow();
};

void TestRatingCurve::flowAt_interpolatesInThePeriodOfTheTime_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<double>("level");
    QTest::addColumn<qint64>("time");
    QTest::addColumn<double>("flow");
    const qint64 flood = QDateTime(QDate(2024, 3, 10), QTime(6, 0), Qt::UTC).toSecsSinceEpoch();
    const qint64 before = flood - 86400;
    const qint64 after = flood + 86400;
    QTest::newRow("at a point") << twoPeriods << 110.0 << before << 3.0;
    QTest::newRow("between points, linearly") << twoPeriods << 105.0 << before << 2.0;
    QTest::newRow("the lowest point") << twoPeriods << 100.0 << before << 1.0;
    QTest::newRow("the highest point") << twoPeriods << 130.0 << before << 4.0;
    QTest::newRow("below the rated range") << twoPeriods << 99.99 << before << none;
    QTest::newRow("above the rated range") << twoPeriods << 130.01 << before << none;
    QTest::newRow("no level") << twoPeriods << none << before << none;
    QTest::newRow("log-log: the geometric mean") << twoPeriods << std::sqrt(100.0 * 200.0) << after << 4.0;
    QTest::newRow("log-log: Q = 2 (h / 100)^2") << twoPeriods << 150.0 << after << 4.5;
    QTest::newRow("log segment from no flow: linearly") << twoPeriods << 95.0 << after << 1.0;
    QTest::newRow("a record exactly at FROM") << twoPeriods << 100.0 << flood << 2.0;
    QTest::newRow("a minute before FROM") << twoPeriods << 100.0 << flood - 60 << 1.0;
    QTest::newRow("before the only period began")
        << table("<VALUES FROM=\"2024-03-10 06:00\"><VALUE LEVEL=\"1\" FLOW=\"1\"/></VALUES>\n") << 1.0 << before << none;
}

void TestRatingCurve::flowAt_interpolatesInThePeriodOfTheTime()
{
    QFETCH(QByteArray, content);
    QFETCH(double, level);
    QFETCH(qint64, time);
    QFETCH(double, flow);
    QVERIFY(writeTable(content));
    RatingCurve curve;
    QString error;
    QVERIFY2(RatingTable::loadCurve(QStringLiteral("1234"), &curve, &error), qPrintable(error));
    const double got = curve.flowAt(level, time);
    if (std::isnan(flow))
        QVERIFY2(std::isnan(got), qPrintable(QString::number(got)));
    else
        QVERIFY2(std::abs(got - flow) < 1e-9, qPrintable(QString::number(got, 'g', 17)));
    QCOMPARE(curve.unit, QStringLiteral("m³/s"));
    QCOMPARE(curve.volumeUnit(), QStringLiteral("m³"));
}

void TestRatingCurve::load_unusableTable_saysWhy_data()
{
    QTest::addColumn<QByteArray>("content");   // empty: no file
    QTest::addColumn<QString>("station");
    QTest::addColumn<QString>("reason");
    auto values = [](const QByteArray &attributes, const QByteArray &entries) {
        return table("<VALUES" + attributes + ">\n" + entries + "</VALUES>\n");
    };
    const QByteArray one = "<VALUE LEVEL=\"50\" FLOW=\"1\"/>\n";
    QTest::newRow("file missing") << QByteArray() << "1234" << "Dosya yok: ";
    QTest::newRow("XML error") << QByteArray("<ROOT>\n<STATION CODE=\"1234\">\n</ROOT>\n") << "1234"
                               << "XML hatası, satır 3: ";
    QTest::newRow("not a rating table") << QByteArray("<TABLE/>") << "1234" << "Debi tablosu değil: belge öğesi <TABLE>";
    QTest::newRow("wrong station code") << values("", one) << "9999"
                                        << "Yanlış istasyon kodu: dosyada \"1234\", beklenen \"9999\"";
    QTest::newRow("duplicate level") << values("", one + "<VALUE LEVEL=\"50.0\" FLOW=\"2\"/>\n") << "1234"
                                     << "Aynı seviye iki kez: 50.0 (satır 6)";
    QTest::newRow("levels out of order") << values("", one + "<VALUE LEVEL=\"40\" FLOW=\"2\"/>\n") << "1234"
                                         << "Seviyeler sırasız: 40, 50 seviyesinden sonra (satır 6)";
    QTest::newRow("bad number") << values("", "<VALUE LEVEL=\"5O\" FLOW=\"1\"/>\n") << "1234"
                                << "Seviye okunamadı: \"5O\" (satır 5)";
    QTest::newRow("thousands separator") << values("", "<VALUE LEVEL=\"50\" FLOW=\"1,234.5\"/>\n") << "1234"
                                         << "Debi okunamadı: \"1,234.5\" (seviye 50) (satır 5)";
    QTest::newRow("negative flow") << values("", "<VALUE LEVEL=\"50\" FLOW=\"-0.5\"/>\n") << "1234"
                                   << "Negatif debi: -0.5 (seviye 50) (satır 5)";
    QTest::newRow("unknown INTERP") << values(" INTERP=\"cubic\"", one) << "1234"
                                    << "Bilinmeyen INTERP \"cubic\" (satır 4)";
    QTest::newRow("FROM does not parse") << values(" FROM=\"10.03.2024\"", one) << "1234"
                                         << "FROM okunamadı: \"10.03.2024\" (satır 4)";
    QTest::newRow("two periods from the beginning") << table("<VALUES>" + one + "</VALUES><VALUES>" + one + "</VALUES>") << "1234"
                                                    << "İki dönem başlangıçtan geçerli";
    QTest::newRow("periods in different units")
        << table("<VALUES UNIT=\"l/s\">" + one + "</VALUES><VALUES FROM=\"2024-01-01 00:00\">" + one + "</VALUES>")
        << "1234" << "Dönemlerin birimleri farklı: l/s ve m³/s";
}

void TestRatingCurve::load_unusableTable_saysWhy()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, station);
    QFETCH(QString, reason);
    if (!content.isEmpty())
        QVERIFY(writeTable(content));
    RatingCurve curve;
    curve.periods.resize(1);
    QString error;
    RatingTable table;
    QVERIFY(!(table.load(AbakReader::tablePath(QStringLiteral("1234")), station, &error) && table.curve(&curve, &error)));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QCOMPARE(curve.periods.size(), std::size_t(1));   // left as it was
}

void TestRatingCurve::save_writesEditsAndKeepsWhatItDoesNotKnow()
{
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    QVERIFY(writeTable("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- Ölçüm: DSİ -->\r\n<ROOT VERSION=\"2\">\r\n"
                       "  <STATION NAME=\"Baraj\" CODE=\"1234\" REGION=\"Ege\"/>\r\n"
                       "  <VALUES UNIT=\"m³/s\" SOURCE=\"2023\">\r\n"
                       "    <VALUE LEVEL=\"100\" FLOW=\"1.5\" NOTE=\"low\"/>\r\n"
                       "    <VALUE LEVEL=\"110\" FLOW=\"3\"/>\r\n"
                       "    <VALUE LEVEL=\"120\" FLOW=\"4\"><CHECKED BY=\"AK\"/></VALUE>\r\n"
                       "  </VALUES>\r\n  <OTHER>kept</OTHER>\r\n</ROOT>\r\n"));
    RatingTable table;
    QString error;
    QVERIFY2(table.load(AbakReader::tablePath(QStringLiteral("1234")), QStringLiteral("1234"), &error),
             qPrintable(error));
    // A flow typed the Turkish way, a row deleted, one added out of order, a period after a flood.
    QList<RatingTable::Period> periods = table.periods();
    periods[0].rows[0].flow = QStringLiteral("1,75");
    periods[0].rows.removeAt(1);
    periods[0].rows.append({QStringLiteral("105"), QStringLiteral("2.25")});
    periods.append({QStringLiteral("2024-03-10 06:00"), QStringLiteral("log"), QStringLiteral("m³/s"),
                    {{QStringLiteral("100"), QStringLiteral("2")}, {QStringLiteral("200"), QStringLiteral("8")}}});
    table.setPeriods(periods);
    QVERIFY2(table.save(&error), qPrintable(error));
    const QByteArray saved = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- Ölçüm: DSİ -->\r\n<ROOT VERSION=\"2\">\r\n"
                             "  <STATION NAME=\"Baraj\" CODE=\"1234\" REGION=\"Ege\"/>\r\n"
                             "  <VALUES UNIT=\"m³/s\" SOURCE=\"2023\">\r\n"
                             "    <VALUE LEVEL=\"100\" FLOW=\"1.75\" NOTE=\"low\"/>\r\n"
                             "    <VALUE LEVEL=\"105\" FLOW=\"2.25\"/>\r\n"
                             "    <VALUE LEVEL=\"120\" FLOW=\"4\"><CHECKED BY=\"AK\"/></VALUE>\r\n"
                             "  </VALUES>\r\n"
                             "  <VALUES FROM=\"2024-03-10 06:00\" INTERP=\"log\" UNIT=\"m³/s\">\r\n"
                             "    <VALUE LEVEL=\"100\" FLOW=\"2\"/>\r\n    <VALUE LEVEL=\"200\" FLOW=\"8\"/>\r\n"
                             "  </VALUES>\r\n  <OTHER>kept</OTHER>\r\n</ROOT>\r\n";
    QCOMPARE(readTable(), saved);
    QCOMPARE(table.periods().size(), 2);   // read back: every row now has its element
    QCOMPARE(table.periods().at(0).rows.at(1).source, 1);
    // The label's reader takes the first period, as before.
    AbakReader label;
    QVERIFY(label.load(QStringLiteral("1234")));
    QCOMPARE(label.flowForLevel(105.5f), 2.25);

    // An edit that does not make a curve writes nothing.
    periods = table.periods();
    periods[1].rows[1].level = QStringLiteral("100");
    table.setPeriods(periods);
    QVERIFY(!table.save(&error));
    QVERIFY2(error.startsWith(QStringLiteral("Aynı seviye iki kez: 100")), qPrintable(error));
    QCOMPARE(readTable(), saved);
}

QTEST_GUILESS_MAIN(TestRatingCurve)
#include "tst_ratingcurve.moc"
