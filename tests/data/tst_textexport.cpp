#include "newestfile.h"
#include "decodedownload.h"
#include "downloadbuilder.h"
#include "paths.h"
#include "testenv.h"
#include "compactdownload.h"
#include "desktopfile.h"
#include "textexport.h"
#include "vlxdata.h"
#include "vlxfile.h"

#include <QDesktopServices>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <cstdio>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

using namespace DownloadBuilder;

namespace {

constexpr quint32 ten = 0x41200000;
constexpr quint32 hundred = 0x42C80000;
constexpr quint32 minusThree = 0xC0400000;
constexpr quint32 two = 0x40000000;

const QByteArray exampleHead = "ST1\r\n1234\r\n07/12/2013 14:30\r\n00000000\r\n\r\n"
                               "|||LVL|TMP|\r\n|||m|C|\r\n|||15|15|\r\n\r\n";

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QByteArray dec13(int day, int hour, int minute) { return bcdTime(day, 12, 13, hour, minute); }

} // namespace

// Receives what the desktop service would open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

class TestTextExport : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void document_matchesExportLayout_data();
    void document_matchesExportLayout();
    void valueText_writesAsPrintfDoes_data();
    void valueText_writesAsPrintfDoes();
    void valueText_agreesWithPrintfOverSampledValues();
    void header_listingEntry_writesEndPositionWithFourDigits();
    void recordLine_dateAndTimeAsQtFormatsThem_data();
    void recordLine_dateAndTimeAsQtFormatsThem();

    void exportText_workedExample_writesFileAtExportPath();
    void exportText_twice_leavesOnlySecondExport();
    void exportText_missingFolder_failsWithErrorAndWritesNothing();
    void exportText_writeFailsHalfway_keepsPreviousFileAndReportsError();
    void openExport_handsLocalFileUrlToDesktop();
    void openExport_desktopRefuses_writesDiagnosticLine();

private:
    QString m_dir;
};

void TestTextExport::init()
{
    m_dir = TestEnv::freshAppDir(QStringLiteral("tst_textexport"));
    QVERIFY(QDir().mkpath(Paths::exportDir()));
}

void TestTextExport::document_matchesExportLayout_data()
{
    QTest::addColumn<QByteArray>("download");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray head = exampleHeader();

    QTest::newRow("worked example")
        << example() << exampleHead + "07/12/2013|14:30|ANL|10.00|100.00| \r\nSSS";
    QTest::newRow("no records: nine lines and SSS, empty names")
        << header("", "", dec13(7, 14, 30), bytes({0x00, 0x15}), "", "", "", "") + erased(3)
        << QByteArray("\r\n\r\n07/12/2013 14:30\r\n00000000\r\n\r\n|||||\r\n|||||\r\n"
                      "|||15|15|\r\n\r\nSSS");
    QTest::newRow("no header at all: empty date line")
        << erased(3) << QByteArray("\r\n\r\n\r\n00000000\r\n\r\n|||||\r\n|||||\r\n|||0|0|\r\n\r\nSSS");
    QTest::newRow("missing record before any measurement: -1.00 and H")
        << head + missing() + erased()
        << exampleHead + "07/12/2013|14:30|ANL|-1.00|-1.00|H\r\nSSS";
    QTest::newRow("missing record after a time stamp: asterisk wins over H")
        << head + measurement(ten, hundred) + timeStamp(dec13(8, 0, 0)) + missing() + erased()
        << exampleHead + "07/12/2013|14:30|ANL|10.00|100.00| \r\n"
                         "08/12/2013|00:00|ANL|10.00|100.00|*\r\nSSS";
    QTest::newRow("summary without time stamp: four # lines MAX MIN, ORT at 23:59 with #")
        << head
            + summary({dec13(7, 10, 5), ten, two}, {dec13(7, 11, 6), two, hundred},
                      {dec13(7, 3, 7), minusThree, two}, {dec13(7, 4, 8), ten, minusThree},
                      hundred, ten)
            + erased()
        << exampleHead + "07/12/2013|10:05|MAX|10.00|2.00|#\r\n"
                         "07/12/2013|11:06|MAX|2.00|100.00|#\r\n"
                         "07/12/2013|03:07|MIN|-3.00|2.00|#\r\n"
                         "07/12/2013|04:08|MIN|10.00|-3.00|#\r\n"
                         "07/12/2013|23:59|ORT|100.00|10.00|#\r\nSSS";
    QTest::newRow("summary values NaN and infinity as the stream writes them")
        << head
            + summary({dec13(7, 1, 0), 0x7FC00000, 0x7F800000}, {dec13(7, 2, 0), 0xFF800000, two},
                      {dec13(7, 3, 0), two, two}, {dec13(7, 4, 0), two, two}, two, two)
            + missing() + erased()
        << exampleHead + "07/12/2013|01:00|MAX|nan|inf|#\r\n"
                         "07/12/2013|02:00|MAX|-inf|2.00|#\r\n"
                         "07/12/2013|03:00|MIN|2.00|2.00|#\r\n"
                         "07/12/2013|04:00|MIN|2.00|2.00|#\r\n"
                         "07/12/2013|23:59|ORT|2.00|2.00|#\r\n"
                         "07/12/2013|14:30|ANL|2.00|2.00|H\r\nSSS";
    QTest::newRow("records across midnight and a month end")
        << header("S", "1", bcdTime(31, 12, 13, 23, 30), bytes({0x00, 0x15}), "", "", "", "")
            + measurement(ten, ten) + measurement(ten, ten) + measurement(ten, ten) + erased()
        << QByteArray("S\r\n1\r\n31/12/2013 23:30\r\n00000000\r\n\r\n|||||\r\n|||||\r\n"
                      "|||15|15|\r\n\r\n31/12/2013|23:30|ANL|10.00|10.00| \r\n"
                      "31/12/2013|23:45|ANL|10.00|10.00| \r\n01/01/2014|00:00|ANL|10.00|10.00| \r\nSSS");
    QTest::newRow("invalid record time: empty date and time")
        << head + timeStamp(bytes({0x99, 0x99, 0x13, 0x00, 0x00})) + measurement(ten, two) + erased()
        << exampleHead + "||ANL|10.00|2.00|*\r\nSSS";
    QTest::newRow("values rounded to two decimals")
        << head + measurement(0x3DCCCCCD /*0.1*/, 0x4479FFFF /*999.99994*/) + measurement(0xBC23D70A /*-0.01*/, 0x00000001)
               + erased()
        << exampleHead + "07/12/2013|14:30|ANL|0.10|1000.00| \r\n"
                         "07/12/2013|14:45|ANL|-0.01|0.00| \r\nSSS";
    QTest::newRow("control characters and | in logger texts: blanks and /")
        << header("ST\r\n1|2", "12|3\t", dec13(7, 14, 30), bytes({0x00, 0x15}), "LV|L", "T\x01MP",
                  "m|", "\x1F" "C")
            + erased(3)
        << QByteArray("ST  1/2\r\n12/3 \r\n07/12/2013 14:30\r\n00000000\r\n\r\n|||LV/L|T MP|\r\n"
                      "|||m/| C|\r\n|||15|15|\r\n\r\nSSS");
    {
        // Long enough to be formatted in pieces by several threads: the lines
        // must come out whole and in order, each piece's first date included.
        QByteArray records;
        QByteArray lines;
        const QDateTime start(QDate(2013, 12, 7), QTime(14, 30), Qt::UTC);
        char text[64];
        for (int i = 0; i < 100000; ++i) {
            const float level = 100.0f + float(i % 1000) / 100.0f;
            const float temperature = -5.0f + float(i % 377) / 8.0f;
            quint32 a;
            quint32 b;
            std::memcpy(&a, &level, 4);
            std::memcpy(&b, &temperature, 4);
            records += measurement(a, b);
            std::snprintf(text, sizeof text, "ANL|%.2f|%.2f| \r\n", double(level), double(temperature));
            lines += start.addSecs(900LL * i).toString(QStringLiteral("dd/MM/yyyy|hh:mm|")).toLatin1() + text;
        }
        const QByteArray download = head + records + erased();
        QTest::newRow("a hundred thousand records, lines whole and in order")
            << download << TextExport::header(*newestFile(download)) + lines + "SSS";
    }
    QTest::newRow("UTF-8 names and units")
        << header("Barajı", "9", dec13(7, 14, 30), bytes({0x00, 0x05}), "Seviye", "Sıcaklık", "m",
                  "°C")
            + erased(3)
        << QByteArray("Barajı\r\n9\r\n07/12/2013 14:30\r\n00000000\r\n\r\n|||Seviye|Sıcaklık|\r\n"
                      "|||m|°C|\r\n|||5|5|\r\n\r\nSSS");
}

void TestTextExport::document_matchesExportLayout()
{
    QFETCH(QByteArray, download);
    QFETCH(QByteArray, expected);
    const std::unique_ptr<VLXFile> file = newestFile(download);
    QCOMPARE(TextExport::document(*file), expected);
    // The compact consumer writes the same bytes.
    const CompactDownload compact = decodeCompact(download);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (compact.newest())
        QVERIFY(TextExport::write(*compact.newest(), buffer));
    QCOMPARE(bytes, compact.newest() ? expected : QByteArray());
}

void TestTextExport::valueText_writesAsPrintfDoes_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("ten") << 10.0f << QByteArray("10.00");
    QTest::newRow("minus one") << -1.0f << QByteArray("-1.00");
    QTest::newRow("half 16.625 to even") << 16.625f << QByteArray("16.62");
    QTest::newRow("half 21.125 to even") << 21.125f << QByteArray("21.12");
    QTest::newRow("half 8.875 to even") << 8.875f << QByteArray("8.88");
    QTest::newRow("half 0.125 to even") << 0.125f << QByteArray("0.12");
    QTest::newRow("half -2.625 to even") << -2.625f << QByteArray("-2.62");
    QTest::newRow("half 2.375 to even") << 2.375f << QByteArray("2.38");
    QTest::newRow("2.675f lies below the half") << 2.675f << QByteArray("2.67");
    QTest::newRow("tiny negative") << -0.001f << QByteArray("-0.00");
    QTest::newRow("negative zero") << -0.0f << QByteArray("0.00");
    QTest::newRow("smallest subnormal") << std::numeric_limits<float>::denorm_min() << QByteArray("0.00");
    QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN() << QByteArray("nan");
    QTest::newRow("infinity") << std::numeric_limits<float>::infinity() << QByteArray("inf");
    QTest::newRow("minus infinity") << -std::numeric_limits<float>::infinity() << QByteArray("-inf");
    QTest::newRow("1e15 boundary") << 1e15f << QByteArray("999999986991104.00");
    QTest::newRow("largest float") << std::numeric_limits<float>::max()
                                   << QByteArray("340282346638528859811704183484516925440.00");
}

void TestTextExport::valueText_writesAsPrintfDoes()
{
    QFETCH(float, value);
    QFETCH(QByteArray, expected);
    QCOMPARE(TextExport::valueText(value), expected);
}

void TestTextExport::valueText_agreesWithPrintfOverSampledValues()
{
    QList<float> values;
    // spread over the whole 32-bit space
    for (quint64 bits = 0; bits <= 0xFFFFFFFFull; bits += 65537) {
        float f;
        const quint32 b = quint32(bits);
        std::memcpy(&f, &b, sizeof f);
        values << f;
    }
    // every eighth between -10000 and 10000: all exact halves of a hundredth
    // there, and their neighbours
    for (int k = -80000; k <= 80000; ++k) {
        const float tie = float(k) / 8.0f;
        values << tie << std::nextafter(tie, 1e9f) << std::nextafter(tie, -1e9f);
    }
    // every x.xx5 of a logger's usual range, as the nearest float
    for (int k = -200000; k <= 200000; ++k)
        values << float(double(k * 10 + 5) / 1000.0);
    // random bit patterns
    QRandomGenerator random(20261208);
    for (int i = 0; i < 200000; ++i) {
        const quint32 b = random.generate();
        float f;
        std::memcpy(&f, &b, sizeof f);
        values << f;
    }
    for (float v : values) {
        // The export writes NaN without a sign and a negative zero as 0.00.
        char expected[64];
        if (std::isnan(v))
            std::strcpy(expected, "nan");
        else
            std::snprintf(expected, sizeof expected, "%.2f", v == 0.0f ? 0.0 : double(v));
        const QByteArray mine = TextExport::valueText(v);
        if (mine != QByteArray(expected))
            QFAIL(qPrintable(QStringLiteral("%1: %2 instead of %3")
                                 .arg(double(v), 0, 'g', 9)
                                 .arg(QString::fromLatin1(mine), QString::fromLatin1(expected))));
    }
}

void TestTextExport::header_listingEntry_writesEndPositionWithFourDigits()
{
    VLXFile file;
    file.setEndPosition(12, 792, 0, 0);
    file.setRecordInterval(60);
    const QList<QByteArray> lines = TextExport::header(file).split('\n');
    QCOMPARE(lines.value(3), QByteArray("00120792\r"));
    QCOMPARE(lines.value(7), QByteArray("|||60|60|\r"));
}

void TestTextExport::recordLine_dateAndTimeAsQtFormatsThem_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::newRow("UTC 2013") << QDateTime(QDate(2013, 12, 7), QTime(14, 30), Qt::UTC);
    QTest::newRow("UTC midnight") << QDateTime(QDate(2013, 12, 8), QTime(0, 0), Qt::UTC);
    QTest::newRow("UTC 23:59 with seconds") << QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59), Qt::UTC);
    QTest::newRow("UTC before 1970") << QDateTime(QDate(1969, 12, 31), QTime(23, 59), Qt::UTC);
    QTest::newRow("UTC year 999") << QDateTime(QDate(999, 1, 2), QTime(3, 4), Qt::UTC);
    QTest::newRow("UTC year 12345") << QDateTime(QDate(12345, 6, 7), QTime(8, 9), Qt::UTC);
    QTest::newRow("local time") << QDateTime(QDate(2013, 7, 1), QTime(10, 20), Qt::LocalTime);
    QTest::newRow("offset from UTC") << QDateTime(QDate(2013, 7, 1), QTime(1, 20), Qt::OffsetFromUTC, 7200);
}

void TestTextExport::recordLine_dateAndTimeAsQtFormatsThem()
{
    QFETCH(QDateTime, time);
    VLXData record;
    record.setValues(time, 1, VLXData::Max, 1.0f, 2.0f, false);
    const QByteArray expected = time.toString(QStringLiteral("dd/MM/yyyy|hh:mm")).toUtf8()
        + "|MAX|1.00|2.00|#\r\n";
    QCOMPARE(TextExport::recordLine(record), expected);
    QCOMPARE(record.dateText() + QLatin1Char('|') + record.timeText(),
             time.toString(QStringLiteral("dd/MM/yyyy|hh:mm")));
}

void TestTextExport::exportText_workedExample_writesFileAtExportPath()
{
    const std::unique_ptr<VLXFile> file = newestFile(example());
    const QString path = Paths::exportDir() + QStringLiteral("/1234_071213.txt");
    QCOMPARE(file->exportPath(), path);
    QString error = QStringLiteral("untouched");
    QVERIFY(file->exportText(&error));
    QCOMPARE(readFile(path), exampleHead + "07/12/2013|14:30|ANL|10.00|100.00| \r\nSSS");
    QCOMPARE(QDir(Paths::exportDir()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"1234_071213.txt"});
}

void TestTextExport::exportText_twice_leavesOnlySecondExport()
{
    const std::unique_ptr<VLXFile> first =
        newestFile(exampleHeader() + measurement(ten, ten) + measurement(two, two) + erased());
    const std::unique_ptr<VLXFile> second = newestFile(exampleHeader() + erased(3));
    QCOMPARE(first->exportPath(), second->exportPath());
    QVERIFY(first->exportText());
    QVERIFY(readFile(first->exportPath()).contains("ANL"));
    QVERIFY(second->exportText());
    QCOMPARE(readFile(second->exportPath()), exampleHead + "SSS");
}

void TestTextExport::exportText_missingFolder_failsWithErrorAndWritesNothing()
{
    QVERIFY(QDir(Paths::exportDir()).removeRecursively());
    const std::unique_ptr<VLXFile> file = newestFile(example());
    QString error;
    QVERIFY(!file->exportText(&error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(file->exportPath()));
    QVERIFY(!QDir(Paths::exportDir()).exists());
}

void TestTextExport::exportText_writeFailsHalfway_keepsPreviousFileAndReportsError()
{
    const std::unique_ptr<VLXFile> small = newestFile(example());
    QVERIFY(small->exportText());
    const QByteArray previous = readFile(small->exportPath());

    // about 60 000 records: some 2 MB of export
    QByteArray many = exampleHeader();
    for (int i = 0; i < 60000; ++i)
        many += measurement(ten, two);
    const std::unique_ptr<VLXFile> big = newestFile(many + erased());
    QCOMPARE(big->exportPath(), small->exportPath());

    // The file system refuses anything past 64 KiB while the export runs.
    rlimit old;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit limited = old;
    limited.rlim_cur = 64 * 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    QString error;
    const bool written = big->exportText(&error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written);
    QVERIFY(!error.isEmpty());
    QCOMPARE(readFile(small->exportPath()), previous);
    QCOMPARE(QDir(Paths::exportDir()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"1234_071213.txt"});
}

void TestTextExport::openExport_handsLocalFileUrlToDesktop()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    const std::unique_ptr<VLXFile> file = newestFile(example());
    QVERIFY(file->exportText());
    const bool opened = DesktopFile::open(file->exportPath());
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QVERIFY(opened);
    QCOMPARE(catcher.urls.size(), 1);
    QVERIFY(catcher.urls.first().isLocalFile());
    QCOMPARE(catcher.urls.first().toLocalFile(), file->exportPath());
}

void TestTextExport::openExport_desktopRefuses_writesDiagnosticLine()
{
    // A handler without the named slot makes the desktop service report failure.
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "noSuchSlot");
    const std::unique_ptr<VLXFile> file = newestFile(example());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("noSuchSlot")));
    QTest::ignoreMessage(QtDebugMsg, qPrintable(QLatin1Char('"') + file->exportPath()
                                                + QStringLiteral("\" acilamadi.")));
    const bool opened = DesktopFile::open(file->exportPath());
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QVERIFY(!opened);
    QVERIFY(catcher.urls.isEmpty());
}

QTEST_MAIN(TestTextExport)
#include "tst_textexport.moc"
