#include "dispatch.h"

#include <QtTest>

Q_DECLARE_METATYPE(ReplyAction)

class TestDispatch : public QObject
{
    Q_OBJECT
private slots:
    void dispatchAction_routesByPendingCodeAndReply_data();
    void dispatchAction_routesByPendingCodeAndReply();
};

void TestDispatch::dispatchAction_routesByPendingCodeAndReply_data()
{
    QTest::addColumn<int>("pending");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<ReplyAction>("action");

    QTest::newRow("0 nothing pending") << 0 << QByteArray("PAR1\x02" "2\r") << ReplyAction::Ignore;
    QTest::newRow("1 PAR") << 1 << QByteArray("PAR1\x02" "2\r") << ReplyAction::ShowParameters;
    QTest::newRow("1 wrong kind") << 1 << QByteArray("DOS15\r") << ReplyAction::Ignore;
    QTest::newRow("1 PAR not at the start") << 1 << QByteArray("xPAR\r") << ReplyAction::Ignore;
    QTest::newRow("2 DOS") << 2 << QByteArray("DOS15\x02" "1\r") << ReplyAction::ShowFileList;
    QTest::newRow("2 wrong kind") << 2 << QByteArray("PAR1\r") << ReplyAction::Ignore;
    QTest::newRow("3 ALR") << 3 << QByteArray("ALR1\x02" "2\r") << ReplyAction::ShowAlarms;
    QTest::newRow("3 wrong kind") << 3 << QByteArray("DOS1\r") << ReplyAction::Ignore;
    QTest::newRow("4 unused code") << 4 << QByteArray("PAR\r") << ReplyAction::Ignore;
    QTest::newRow("5 any answer") << 5 << QByteArray("OK\r") << ReplyAction::AlarmsSetAnswer;
    QTest::newRow("5 even empty") << 5 << QByteArray() << ReplyAction::AlarmsSetAnswer;
    QTest::newRow("6 DEG") << 6 << QByteArray("DEG\r") << ReplyAction::PasswordChanged;
    QTest::newRow("6 SYANLIS") << 6 << QByteArray("SYANLIS\r") << ReplyAction::OldPasswordWrong;
    QTest::newRow("6 SIFIR is the wrong kind") << 6 << QByteArray("SIFIR\r") << ReplyAction::Ignore;
    QTest::newRow("7 SIFIR") << 7 << QByteArray("SIFIR\r") << ReplyAction::SensorZeroed;
    QTest::newRow("7 SYANLIS") << 7 << QByteArray("SYANLIS\r") << ReplyAction::SensorPasswordWrong;
    QTest::newRow("7 DEG is the wrong kind") << 7 << QByteArray("DEG\r") << ReplyAction::Ignore;
    QTest::newRow("8 UKLEND at the start") << 8 << QByteArray("UKLEND\r") << ReplyAction::ParametersUploaded;
    QTest::newRow("8 UKLEND in the middle") << 8 << QByteArray("xxUKLENDyy\r") << ReplyAction::ParametersUploaded;
    QTest::newRow("8 UKLEND after SYANLIS wins") << 8 << QByteArray("SYANLIS UKLEND\r")
                                                 << ReplyAction::ParametersUploaded;
    QTest::newRow("8 SYANLIS") << 8 << QByteArray("SYANLIS\r") << ReplyAction::UploadPasswordWrong;
    QTest::newRow("8 SYANLIS not at the start") << 8 << QByteArray(" SYANLIS\r") << ReplyAction::Ignore;
    QTest::newRow("8 DEG is the wrong kind") << 8 << QByteArray("DEG\r") << ReplyAction::Ignore;
    QTest::newRow("9 any answer") << 9 << QByteArray("DOS15\r") << ReplyAction::StartTransfer;
    QTest::newRow("9 garbage") << 9 << QByteArray("\xFF") << ReplyAction::StartTransfer;
    QTest::newRow("10 block") << 10 << QByteArray("D\x00\x01xyz\xFB\xFB\xFB", 9) << ReplyAction::BlockReply;
    QTest::newRow("10 end marker") << 10 << QByteArray("BITTI\x02") << ReplyAction::BlockReply;
    QTest::newRow("11 unknown code") << 11 << QByteArray("PAR\r") << ReplyAction::Ignore;
    QTest::newRow("-1 unknown code") << -1 << QByteArray("DEG\r") << ReplyAction::Ignore;
    QTest::newRow("SYA alone is not SYANLIS") << 6 << QByteArray("SYA") << ReplyAction::Ignore;
}

void TestDispatch::dispatchAction_routesByPendingCodeAndReply()
{
    QFETCH(int, pending);
    QFETCH(QByteArray, message);
    QFETCH(ReplyAction, action);
    QCOMPARE(dispatchAction(pending, message), action);
}

QTEST_GUILESS_MAIN(TestDispatch)
#include "tst_dispatch.moc"
