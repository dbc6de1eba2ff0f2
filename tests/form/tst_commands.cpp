#include "commands.h"

#include <QtTest>

class TestCommands : public QObject
{
    Q_OBJECT
private slots:
    void frame_matchesWireBytes_data();
    void frame_matchesWireBytes();
};

void TestCommands::frame_matchesWireBytes_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("OKU") << Commands::oku() << QByteArray("\x02OKU\r");
    QTest::newRow("DKU") << Commands::dku() << QByteArray("\x02" "DKU\r");
    QTest::newRow("ALO") << Commands::alo() << QByteArray("\x02" "ALO\r");
    QTest::newRow("VER") << Commands::ver() << QByteArray("\x02VER\r");
    QTest::newRow("AKT page 12 offset 792")
        << Commands::akt(12, 792) << QByteArray("\x02" "AKT0012\x02" "0792\x02\r");
    QTest::newRow("AKT first block") << Commands::akt(0, 0) << QByteArray("\x02" "AKT0000\x02" "0000\x02\r");
    QTest::newRow("AKT last page") << Commands::akt(9339, 792)
                                   << QByteArray("\x02" "AKT9339\x02" "0792\x02\r");
    QTest::newRow("SIF") << Commands::sif("1234", "9876") << QByteArray("\x02SIF12349876\r");
    QTest::newRow("SIF blanks kept") << Commands::sif(" 12", "a b ") << QByteArray("\x02SIF 12a b \r");
    QTest::newRow("SIF Turkish letters UTF-8")
        << Commands::sif(QString::fromUtf8("ş"), "1") << QByteArray("\x02SIF\xC5\x9F" "1\r");
    QTest::newRow("SEN") << Commands::sen("1234") << QByteArray("\x02SEN1234\r");
    QTest::newRow("SEN empty") << Commands::sen(QString()) << QByteArray("\x02SEN\r");
}

void TestCommands::frame_matchesWireBytes()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, expected);
    QCOMPARE(frame, expected);
    QVERIFY(!frame.contains('\0'));
}

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"
