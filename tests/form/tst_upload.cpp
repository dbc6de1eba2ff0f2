#include "commands.h"
#include "upload.h"

#include <QtTest>

class TestUpload : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void clockText_isDateTimeAndDayDigit_data();
    void clockText_isDateTimeAndDayDigit();
    void clockText_keepsAsciiDigitsWhateverTheLocale();
    void parseLocaleNumber_userLocaleThenC_data();
    void parseLocaleNumber_userLocaleThenC();
    void traceText_escapesControlBytesAndMasksPassword_data();
    void traceText_escapesControlBytesAndMasksPassword();
    void traceText_ofUploadFrame_holdsNoStxCrOrPassword();
};

void TestUpload::cleanup()
{
    QLocale::setDefault(QLocale::c());
}

void TestUpload::clockText_isDateTimeAndDayDigit_data()
{
    QTest::addColumn<QDateTime>("clock");
    QTest::addColumn<QString>("text");
    QTest::newRow("Monday") << QDateTime(QDate(2024, 3, 4), QTime(9, 5, 7)) << "0403240905071";
    QTest::newRow("Tuesday") << QDateTime(QDate(2024, 3, 5), QTime(0, 0, 0)) << "0503240000002";
    QTest::newRow("Saturday") << QDateTime(QDate(2024, 3, 9), QTime(12, 0, 0)) << "0903241200006";
    QTest::newRow("Sunday") << QDateTime(QDate(2024, 3, 10), QTime(23, 59, 59)) << "1003242359597";
    QTest::newRow("afternoon in 24-hour digits") << QDateTime(QDate(2000, 1, 1), QTime(13, 1, 2))
                                                 << "0101001301026";
    QTest::newRow("invalid clock") << QDateTime() << "";
}

void TestUpload::clockText_isDateTimeAndDayDigit()
{
    QFETCH(QDateTime, clock);
    QFETCH(QString, text);
    const QString result = Upload::clockText(clock);
    QCOMPARE(result, text);
    if (clock.isValid())
        QCOMPARE(result.size(), 13);
}

void TestUpload::clockText_keepsAsciiDigitsWhateverTheLocale()
{
    // Arabic (Egypt) writes its own digits; the logger only reads ASCII.
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    QCOMPARE(Upload::clockText(QDateTime(QDate(2024, 3, 10), QTime(14, 5, 9))), QStringLiteral("1003241405097"));
}

void TestUpload::parseLocaleNumber_userLocaleThenC_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("value");
    const QLocale tr(QLocale::Turkish, QLocale::Turkey);
    const QLocale c = QLocale::c();
    QTest::newRow("Turkish 1,5") << tr << "1,5" << 1.5f;
    QTest::newRow("Turkish whole number") << tr << "2" << 2.0f;
    QTest::newRow("Turkish negative") << tr << "-0,25" << -0.25f;
    QTest::newRow("Turkish falls back to C for 1.5") << tr << "1.5" << 1.5f;
    QTest::newRow("Turkish not a number") << tr << "abc" << 0.0f;
    QTest::newRow("Turkish empty") << tr << "" << 0.0f;
    QTest::newRow("C 1.5") << c << "1.5" << 1.5f;
    QTest::newRow("C 1,5 is accepted by neither") << c << "1,5" << 0.0f;
    QTest::newRow("C not a number") << c << "x" << 0.0f;
    QTest::newRow("Turkish 1.500 is 1.5, not 1500") << tr << "1.500" << 1.5f;
    QTest::newRow("Turkish 1,234.5 is refused") << tr << "1,234.5" << 0.0f;
    QTest::newRow("C 1.500 is 1.5") << c << "1.500" << 1.5f;
    QTest::newRow("C 1,234.5 is refused") << c << "1,234.5" << 0.0f;
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("English 1,234 is refused, not 1234") << en << "1,234" << 0.0f;
    QTest::newRow("English 12.5") << en << "12.5" << 12.5f;
}

void TestUpload::parseLocaleNumber_userLocaleThenC()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(float, value);
    QLocale::setDefault(locale);
    QCOMPARE(Upload::parseLocaleNumber(text), value);
}

void TestUpload::traceText_escapesControlBytesAndMasksPassword_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("trace");
    QTest::newRow("STX and CR escaped")
        << QByteArray("\x02PARpw1SN\x02" "A\x02\r") << "pw" << QByteArray("\\02PAR**1SN\\02A\\02\\0d");
    QTest::newRow("password of blanks masked")
        << QByteArray("\x02PAR  0X\x02\r") << "  " << QByteArray("\\02PAR**0X\\02\\0d");
    QTest::newRow("Turkish password: one star per character")
        << QByteArray("\x02PAR\xC5\x9F" "a1X\r") << QString::fromUtf8("şa") << QByteArray("\\02PAR**1X\\0d");
    QTest::newRow("other Turkish letters keep their first byte")
        << QByteArray("\x02PARp0Kuyu \xC5\x9E\xC4\xB1\x02\r") << "p"
        << QByteArray("\\02PAR*0Kuyu \xC5\xC4\\02\\0d");
    QTest::newRow("password text elsewhere is not touched")
        << QByteArray("\x02PARab1ab\r") << "ab" << QByteArray("\\02PAR**1ab\\0d");
    QTest::newRow("empty password")
        << QByteArray("\x02PAR1X\r") << "" << QByteArray("\\02PAR1X\\0d");
}

void TestUpload::traceText_escapesControlBytesAndMasksPassword()
{
    QFETCH(QByteArray, frame);
    QFETCH(QString, password);
    QFETCH(QByteArray, trace);
    QCOMPARE(Upload::traceText(frame, password), trace);
}

void TestUpload::traceText_ofUploadFrame_holdsNoStxCrOrPassword()
{
    UploadRequest r;
    r.password = QStringLiteral("gizli");
    r.fileAction = 0;
    r.serialNo = QStringLiteral("77");
    r.stationName = QStringLiteral("Kuyu");
    r.clock = QDateTime(QDate(2024, 3, 10), QTime(14, 5, 9));
    r.offset = 1.5f;
    const QByteArray frame = Commands::par(r);
    const QByteArray trace = Upload::traceText(frame, r.password);
    QVERIFY(!trace.contains('\x02'));
    QVERIFY(!trace.contains('\r'));
    QVERIFY(!trace.contains("gizli"));
    QVERIFY(trace.startsWith("\\02PAR*****077\\02Kuyu\\02"));
    QVERIFY(trace.endsWith("\\02\\0d"));
    QCOMPARE(trace.count("\\02"), frame.count('\x02'));
}

QTEST_GUILESS_MAIN(TestUpload)
#include "tst_upload.moc"
