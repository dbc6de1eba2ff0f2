#include "rawdump.h"
#include "testenv.h"

#include <QFile>
#include <QtTest>

namespace {
QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}
} // namespace

class TestRawDump : public QObject
{
    Q_OBJECT
private slots:
    void toText_listsEveryByte_data();
    void toText_listsEveryByte();
    void write_replacesFileWithDump();
    void parse_readsBackWhatWasWritten_data();
    void parse_readsBackWhatWasWritten();
    void parse_acceptsLineFeedOnlyCopy();
    void parse_rejectsDamagedDump_data();
    void parse_rejectsDamagedDump();
};

void TestRawDump::toText_listsEveryByte_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("44 02: D and the control character")
        << bytes({0x44, 0x02})
        << QByteArray("68\t44\tD\r\n02\t02\t\x02\r\n\r\n2 bytes data received.\r\n");
    QTest::newRow("empty download") << QByteArray() << QByteArray("\r\n0 bytes data received.\r\n");
    QTest::newRow("zero byte") << bytes({0x00})
                               << QByteArray("00\t00\t\0\r\n\r\n1 bytes data received.\r\n", 35);
    QTest::newRow("line feed as a text-mode file writes it") << bytes({0x0A})
        << QByteArray("10\t0A\t\r\n\r\n\r\n1 bytes data received.\r\n");
    QTest::newRow("carriage return") << bytes({0x0D})
                                     << QByteArray("13\t0D\t\r\r\n\r\n1 bytes data received.\r\n");
    QTest::newRow("99 and 100: two and three digits") << bytes({0x63, 0x64})
        << QByteArray("99\t63\tc\r\n100\t64\td\r\n\r\n2 bytes data received.\r\n");
    QTest::newRow("bytes above 127 as their Latin-1 character in UTF-8") << bytes({0x80, 0xDD, 0xFF})
        << QByteArray("128\t80\t\xC2\x80\r\n221\tDD\t\xC3\x9D\r\n255\tFF\t\xC3\xBF\r\n\r\n"
                      "3 bytes data received.\r\n");
}

void TestRawDump::toText_listsEveryByte()
{
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, text);
    QCOMPARE(RawDump::toText(data), text);
}

void TestRawDump::write_replacesFileWithDump()
{
    const QString dir = TestEnv::freshAppDir(QStringLiteral("tst_rawdump"));
    const QString path = dir + QStringLiteral("/raw_data.txt");
    QVERIFY(RawDump::write(path, bytes({0x01, 0x02, 0x03, 0x04})));
    QString error;
    QVERIFY(RawDump::write(path, bytes({0xFF, 0xFF, 0xFB}), &error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("255\tFF\t\xC3\xBF\r\n255\tFF\t\xC3\xBF\r\n251\tFB\t\xC3\xBB\r\n"
                                        "\r\n3 bytes data received.\r\n"));
    QVERIFY(!RawDump::write(dir + QStringLiteral("/no/such/folder/raw_data.txt"), "x", &error));
    QVERIFY(!error.isEmpty());
}

void TestRawDump::parse_readsBackWhatWasWritten_data()
{
    QTest::addColumn<QByteArray>("data");
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    QTest::newRow("every byte value") << all;
    QByteArray backwards;
    for (int i = 255; i >= 0; --i)
        backwards.append(char(i));
    QTest::newRow("every byte value backwards") << backwards;
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("line feeds and returns in a row") << bytes({0x0A, 0x0A, 0x0D, 0x0D, 0x0A, 0x0D});
    QTest::newRow("download end") << bytes({0xDD, 0xDD, 0xDD, 0x00, 0xFF, 0xFF, 0xFF});
}

void TestRawDump::parse_readsBackWhatWasWritten()
{
    QFETCH(QByteArray, data);
    QByteArray back("not touched");
    QVERIFY(RawDump::parse(RawDump::toText(data), &back));
    QCOMPARE(back, data);
}

void TestRawDump::parse_acceptsLineFeedOnlyCopy()
{
    const QByteArray data = bytes({0x44, 0x0A, 0x0D, 0xFF});
    QByteArray text = RawDump::toText(data);
    text.replace("\r\n", "\n");
    QByteArray back;
    QVERIFY(RawDump::parse(text, &back));
    QCOMPARE(back, data);
}

void TestRawDump::parse_rejectsDamagedDump_data()
{
    QTest::addColumn<QByteArray>("text");
    const QByteArray good = RawDump::toText(bytes({0x44, 0x02, 0xFF}));
    QTest::newRow("count line missing") << good.left(good.indexOf("\r\n\r\n") + 4);
    QTest::newRow("wrong byte count") << QByteArray(good).replace("3 bytes", "4 bytes");
    QTest::newRow("decimal and hex disagree") << QByteArray(good).replace("68\t44", "68\t45");
    QTest::newRow("lower-case hex") << QByteArray(good).replace("255\tFF", "255\tff");
    QTest::newRow("one-digit decimal") << QByteArray(good).replace("02\t02", "2\t02");
    QTest::newRow("character column not the byte's") << QByteArray(good).replace("\tD\r", "\tE\r");
    QTest::newRow("no empty line before the count")
        << QByteArray(good).replace("\r\n\r\n3 bytes", "\r\n3 bytes");
    QTest::newRow("text after the count line") << good + "x";
    QTest::newRow("download bytes") << bytes({0xDD, 0xDD, 0xDD, 0xFF, 0xFF, 0xFF});
    QTest::newRow("empty file") << QByteArray();
}

void TestRawDump::parse_rejectsDamagedDump()
{
    QFETCH(QByteArray, text);
    QByteArray back("not touched");
    QVERIFY(!RawDump::parse(text, &back));
    QCOMPARE(back, QByteArray("not touched"));
}

QTEST_GUILESS_MAIN(TestRawDump)
#include "tst_rawdump.moc"
