#include "downloadbuilder.h"
#include "paths.h"
#include "rawdump.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

using namespace DownloadBuilder;

namespace {

const QByteArray exampleExport = "ST1\r\n1234\r\n07/12/2013 14:30\r\n00000000\r\n\r\n"
                                 "|||LVL|TMP|\r\n|||m|C|\r\n|||15|15|\r\n\r\n"
                                 "07/12/2013|14:30|ANL|10.00|100.00| \r\nSSS";

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runTool(const QStringList &arguments)
{
    QProcess process;
    process.setProgram(TestEnv::binDir() + QStringLiteral("/vlxdecode"));
    process.setArguments(arguments);
    process.start();
    Run run;
    if (!process.waitForStarted(10000) || !process.waitForFinished(30000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestVlxDecode : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void decode_workedExample_writesExactExport_data();
    void decode_workedExample_writesExactExport();
    void decode_withoutOutput_writesToExportPathAndPrintsIt();
    void dump_writesRawDumpLayout();
    void decode_invalidDownload_exitsOneWithMessage_data();
    void decode_invalidDownload_exitsOneWithMessage();
    void usageOrIoError_exitsTwo_data();
    void usageOrIoError_exitsTwo();

private:
    QString m_dir;
};

void TestVlxDecode::init() { m_dir = TestEnv::freshAppDir(QStringLiteral("tst_vlxdecode")); }

void TestVlxDecode::decode_workedExample_writesExactExport_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::newRow("download bytes") << example();
    QTest::newRow("raw dump of the download") << RawDump::toText(example());
    QByteArray lf = RawDump::toText(example());
    QTest::newRow("raw dump copied with LF line ends") << lf.replace("\r\n", "\n");
}

void TestVlxDecode::decode_workedExample_writesExactExport()
{
    QFETCH(QByteArray, input);
    const QString in = m_dir + QStringLiteral("/input.bin");
    const QString out = m_dir + QStringLiteral("/out.txt");
    QVERIFY(writeFile(in, input));
    QVERIFY(writeFile(out, "previous content"));
    const Run run = runTool({in, QStringLiteral("-o"), out});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(readFile(out), exampleExport);
    QCOMPARE(run.out.trimmed(), QDir::toNativeSeparators(out).toUtf8());
}

void TestVlxDecode::decode_withoutOutput_writesToExportPathAndPrintsIt()
{
    const QString in = m_dir + QStringLiteral("/download.bin");
    QVERIFY(writeFile(in, example()));
    QVERIFY(!QDir(Paths::exportDir()).exists());
    const Run run = runTool({in});
    QCOMPARE(run.exitCode, 0);
    const QString expected = Paths::exportDir() + QStringLiteral("/1234_071213.txt");
    QCOMPARE(run.out.trimmed(), QDir::toNativeSeparators(expected).toUtf8());
    QCOMPARE(readFile(expected), exampleExport);

    // a download without a header names no export file
    QVERIFY(writeFile(in, measurement(0x41200000, 0x41200000) + erased()));
    const Run headless = runTool({in});
    QCOMPARE(headless.exitCode, 2);
    QVERIFY(headless.err.contains("-o"));
}

void TestVlxDecode::dump_writesRawDumpLayout()
{
    const QString in = m_dir + QStringLiteral("/download.bin");
    const QString out = m_dir + QStringLiteral("/raw_data.txt");
    QVERIFY(writeFile(in, bytes({0x44, 0x02})));
    const Run run = runTool({QStringLiteral("--dump"), in, QStringLiteral("-o"), out});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(readFile(out), QByteArray("68\t44\tD\r\n02\t02\t\x02\r\n\r\n2 bytes data received.\r\n"));

    // and the dump of a whole download decodes like the download itself
    QVERIFY(writeFile(in, example()));
    QCOMPARE(runTool({QStringLiteral("--dump"), in, QStringLiteral("-o"), out}).exitCode, 0);
    const QString exported = m_dir + QStringLiteral("/again.txt");
    QCOMPARE(runTool({out, QStringLiteral("-o"), exported}).exitCode, 0);
    QCOMPARE(readFile(exported), exampleExport);
}

void TestVlxDecode::decode_invalidDownload_exitsOneWithMessage_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("two bytes FF") << bytes({0xFF, 0xFF});
    QTest::newRow("ends in FF FF FB") << example().chopped(1) + bytes({0xFB});
    QTest::newRow("raw dump of a download ending in FF FF FB")
        << RawDump::toText(example().chopped(1) + bytes({0xFB}));
    QTest::newRow("raw dump of nothing") << RawDump::toText(QByteArray());
    QTest::newRow("text that is neither") << QByteArray("hello\r\n");
}

void TestVlxDecode::decode_invalidDownload_exitsOneWithMessage()
{
    QFETCH(QByteArray, input);
    const QString in = m_dir + QStringLiteral("/input.bin");
    const QString out = m_dir + QStringLiteral("/out.txt");
    QVERIFY(writeFile(in, input));
    const Run run = runTool({in, QStringLiteral("-o"), out});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err.trimmed(), QByteArray("Veri hatalı!"));
    QVERIFY(run.out.isEmpty());
    QVERIFY(!QFile::exists(out));
}

void TestVlxDecode::usageOrIoError_exitsTwo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("errorPart");
    QTest::newRow("no input") << QStringList{} << QByteArray("INPUT");
    QTest::newRow("two inputs") << QStringList{"a", "b"} << QByteArray("INPUT");
    QTest::newRow("unknown option") << QStringList{"--frobnicate", "@in"} << QByteArray("frobnicate");
    QTest::newRow("dump without output") << QStringList{"--dump", "@in"} << QByteArray("-o");
    QTest::newRow("input missing") << QStringList{"@dir/none.bin", "-o", "@dir/x.txt"}
                                   << QByteArray("none.bin");
    QTest::newRow("output folder missing") << QStringList{"@in", "-o", "@dir/no/such/x.txt"}
                                           << QByteArray("x.txt");
    QTest::newRow("dump output folder missing")
        << QStringList{"--dump", "@in", "-o", "@dir/no/such/raw.txt"} << QByteArray("raw.txt");
}

void TestVlxDecode::usageOrIoError_exitsTwo()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, errorPart);
    const QString in = m_dir + QStringLiteral("/input.bin");
    QVERIFY(writeFile(in, example()));
    for (QString &a : arguments)
        a.replace(QStringLiteral("@in"), in).replace(QStringLiteral("@dir"), m_dir);
    const Run run = runTool(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(errorPart), run.err.constData());
    QVERIFY(!QDir(m_dir + QStringLiteral("/no")).exists());
}

QTEST_GUILESS_MAIN(TestVlxDecode)
#include "tst_vlxdecode.moc"
