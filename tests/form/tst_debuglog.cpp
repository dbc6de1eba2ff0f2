#include "debuglog.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

class TestDebugLog : public QObject
{
    Q_OBJECT
private slots:
    void formatLine_padsNumberAndStampsTime_data();
    void formatLine_padsNumberAndStampsTime();
    void fileName_carriesTheMinute();
    void write_numbersLinesAcrossLogsAndFlushesEachLine();
    void open_sameMinuteTwice_overwritesTheFirstRun();
    void open_logFolderCannotBeMade_saysSoAndLosesTheLines();
    void sourceName_dropsTheFolders_data();
    void sourceName_dropsTheFolders();
};

void TestDebugLog::formatLine_padsNumberAndStampsTime_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray stamp = "07.12.2026 14:03:09";
    QTest::newRow("first line") << 1 << QStringLiteral("(01) Start form.cpp:30")
                                << QByteArray("[000001][" + stamp + "] (01) Start form.cpp:30\n");
    QTest::newRow("seven digits grow") << 1234567 << QStringLiteral("x")
                                       << QByteArray("[1234567][" + stamp + "] x\n");
    QTest::newRow("Turkish letters as UTF-8")
        << 42 << QStringLiteral("Çıkış şifre")
        << QByteArray("[000042][" + stamp + "] \xC3\x87\xC4\xB1k\xC4\xB1\xC5\x9F \xC5\x9F" "ifre\n");
}

void TestDebugLog::formatLine_padsNumberAndStampsTime()
{
    QFETCH(int, number);
    QFETCH(QString, message);
    QFETCH(QByteArray, expected);
    const QDateTime when(QDate(2026, 12, 7), QTime(14, 3, 9));
    QCOMPARE(DebugLog::formatLine(number, when, message), expected);
}

void TestDebugLog::fileName_carriesTheMinute()
{
    const QDateTime when(QDate(2026, 1, 5), QTime(9, 7, 59));
    QCOMPARE(DebugLog::fileNameFor(QStringLiteral("/x/log"), when), QStringLiteral("/x/log/debug_202601050907.txt"));
}

void TestDebugLog::write_numbersLinesAcrossLogsAndFlushesEachLine()
{
    const QString dir = TestEnv::freshAppDir(QStringLiteral("debuglog_numbers"));
    DebugLog first;
    QVERIFY(first.open(dir + QStringLiteral("/log"), QDateTime(QDate(2026, 1, 1), QTime(10, 0))));
    DebugLog second;
    QVERIFY(second.open(dir + QStringLiteral("/log"), QDateTime(QDate(2026, 1, 1), QTime(10, 1))));

    first.write(QStringLiteral("a"));
    second.write(QStringLiteral("b"));
    first.write(QStringLiteral("ç"));

    // Read while the logs are still open: every line is already on disk.
    QFile a(first.fileName());
    QVERIFY(a.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = a.readAll().split('\n');
    QCOMPARE(lines.size(), 3);   // two lines and the empty rest
    static const QRegularExpression shape(QStringLiteral("^\\[(\\d{6,})\\]\\[\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d\\] (.*)$"));
    const auto m1 = shape.match(QString::fromUtf8(lines[0]));
    const auto m3 = shape.match(QString::fromUtf8(lines[1]));
    QVERIFY(m1.hasMatch());
    QVERIFY(m3.hasMatch());
    QCOMPARE(m1.captured(2), QStringLiteral("a"));
    QCOMPARE(m3.captured(2), QStringLiteral("ç"));
    // The counter is shared by the process: the line written to the other
    // log took the number in between.
    QCOMPARE(m3.captured(1).toInt(), m1.captured(1).toInt() + 2);
}

void TestDebugLog::open_sameMinuteTwice_overwritesTheFirstRun()
{
    const QString dir = TestEnv::freshAppDir(QStringLiteral("debuglog_overwrite"));
    const QDateTime minute(QDate(2026, 3, 4), QTime(5, 6));
    {
        DebugLog run;
        QVERIFY(run.open(dir + QStringLiteral("/log"), minute));
        run.write(QStringLiteral("first run, a long line that must disappear"));
    }
    DebugLog run;
    QVERIFY(run.open(dir + QStringLiteral("/log"), minute.addSecs(30)));
    run.write(QStringLiteral("second"));
    run.close();
    QFile file(DebugLog::fileNameFor(dir + QStringLiteral("/log"), minute));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.endsWith("] second\n"));
    QCOMPARE(text.count('\n'), 1);
}

void TestDebugLog::open_logFolderCannotBeMade_saysSoAndLosesTheLines()
{
    const QString dir = TestEnv::freshAppDir(QStringLiteral("debuglog_blocked"));
    // A plain file where the folder should be: no folder, no log (this holds
    // for root too, unlike permissions).
    QFile blocker(dir + QStringLiteral("/log"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    QTest::ignoreMessage(QtDebugMsg, "Debug dosyası oluşturulamadı!");
    DebugLog log;
    QVERIFY(!log.open(dir + QStringLiteral("/log"), QDateTime::currentDateTime()));
    QVERIFY(!log.isOpen());
    log.write(QStringLiteral("lost"));   // must not crash
    QCOMPARE(QFileInfo(dir + QStringLiteral("/log")).size(), 0);
}

void TestDebugLog::sourceName_dropsTheFolders_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unix") << QByteArray("/src/form/form.cpp") << QStringLiteral("form.cpp");
    QTest::newRow("windows") << QByteArray("C:\\src\\form\\formtransfer.cpp") << QStringLiteral("formtransfer.cpp");
    QTest::newRow("bare") << QByteArray("form.cpp") << QStringLiteral("form.cpp");
}

void TestDebugLog::sourceName_dropsTheFolders()
{
    QFETCH(QByteArray, path);
    QFETCH(QString, expected);
    QCOMPARE(DebugLog::sourceName(path.constData()), expected);
}

QTEST_GUILESS_MAIN(TestDebugLog)
#include "tst_debuglog.moc"
