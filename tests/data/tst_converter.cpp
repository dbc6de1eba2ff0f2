#include "converter.h"

#include <QtTest>

#include <cmath>
#include <cstring>

class TestConverter : public QObject
{
    Q_OBJECT
private slots:
    void hexToFloat_data();
    void hexToFloat();
    void hexToFloat_specialValues_data();
    void hexToFloat_specialValues();
    void hexToFloat_agreesWithBitPatternOverSampledRange();
};

namespace {
quint32 bitsOf(float f)
{
    quint32 bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}
} // namespace

void TestConverter::hexToFloat_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<float>("value");
    QTest::newRow("41200000 is 10") << "41200000" << 10.0f;
    QTest::newRow("42C80000 is 100") << "42C80000" << 100.0f;
    QTest::newRow("42c80000 lower case is 100") << "42c80000" << 100.0f;
    QTest::newRow("C0400000 is -3") << "C0400000" << -3.0f;
    QTest::newRow("c0400000 lower case is -3") << "c0400000" << -3.0f;
    QTest::newRow("3F800000 is 1") << "3F800000" << 1.0f;
    QTest::newRow("BF000000 is -0.5") << "BF000000" << -0.5f;
    QTest::newRow("00000001 smallest subnormal") << "00000001" << std::numeric_limits<float>::denorm_min();
    QTest::newRow("7F7FFFFF largest") << "7F7FFFFF" << std::numeric_limits<float>::max();
    QTest::newRow("FF7FFFFF lowest") << "ff7fffff" << std::numeric_limits<float>::lowest();
    QTest::newRow("3DCCCCCD is 0.1f") << "3DCCCCCD" << 0.1f;
}

void TestConverter::hexToFloat()
{
    QFETCH(QString, hex);
    QFETCH(float, value);
    const Converter converter;
    QCOMPARE(bitsOf(converter.hexToFloat(hex)), bitsOf(value));
}

void TestConverter::hexToFloat_specialValues_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QString>("kind");
    QTest::newRow("80000000 negative zero gives plus zero") << "80000000" << "+0";
    QTest::newRow("00000000 plus zero") << "00000000" << "+0";
    QTest::newRow("7F800000 infinity") << "7F800000" << "+inf";
    QTest::newRow("ff800000 minus infinity") << "ff800000" << "-inf";
    QTest::newRow("FFC00000 NaN") << "FFC00000" << "nan";
    QTest::newRow("7fc00000 NaN") << "7fc00000" << "nan";
}

void TestConverter::hexToFloat_specialValues()
{
    QFETCH(QString, hex);
    QFETCH(QString, kind);
    const float v = Converter().hexToFloat(hex);
    if (kind == QLatin1String("+0"))
        QCOMPARE(bitsOf(v), 0u);
    else if (kind == QLatin1String("nan"))
        QVERIFY(std::isnan(v));
    else {
        QVERIFY(std::isinf(v));
        QCOMPARE(std::signbit(v), kind.startsWith(QLatin1Char('-')));
    }
}

void TestConverter::hexToFloat_agreesWithBitPatternOverSampledRange()
{
    // Every 65521st pattern of the 32-bit space, both digit cases.
    const Converter converter;
    for (quint64 bits = 0; bits <= 0xFFFFFFFFull; bits += 65521) {
        float expected;
        const quint32 b = quint32(bits);
        std::memcpy(&expected, &b, sizeof expected);
        const QString upper = QStringLiteral("%1").arg(b, 8, 16, QLatin1Char('0')).toUpper();
        const float got = converter.hexToFloat(upper);
        QCOMPARE(bitsOf(converter.hexToFloat(upper.toLower())), bitsOf(got));
        if (std::isnan(expected))
            QVERIFY(std::isnan(got));
        else if (b == 0x80000000u)
            QCOMPARE(bitsOf(got), 0u);
        else
            QCOMPARE(bitsOf(got), b);
    }
}

QTEST_GUILESS_MAIN(TestConverter)
#include "tst_converter.moc"
