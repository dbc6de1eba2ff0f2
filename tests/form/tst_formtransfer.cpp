// The download of the logger's memory by the working form, against the
// simulated logger: complete transfers over both links, every misbehaviour
// of the logger, cancelling, and the analysis of what was collected.
#include "formfixture.h"

#include "aktblokitem.h"
#include "database.h"
#include "decodedownload.h"
#include "commands.h"
#include "gprscommunication.h"
#include "memorycopy.h"
#include "messagebox.h"
#include "paths.h"
#include "rawdump.h"
#include "simmemory.h"
#include "stationarchive.h"
#include "rs232communication.h"
#include "simreplies.h"
#include "testenv.h"
#include "vlxfile.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

namespace {

const QString transferTitle = QStringLiteral("Aktarım");

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the decoder tool makes of the bytes a complete download collects.
QByteArray exportByTool(const QByteArray &memory, const QString &dir)
{
    const QString input = dir + QStringLiteral("/image.bin");
    const QString output = dir + QStringLiteral("/tool-export.txt");
    QFile file(input);
    if (!file.open(QIODevice::WriteOnly))
        return QByteArray();
    file.write(memory);
    file.close();
    QProcess tool;
    tool.start(TestEnv::binDir() + QStringLiteral("/vlxdecode"), {input, QStringLiteral("-o"), output});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return QByteArray();
    return readFile(output);
}

// Block numbers of the block requests the logger received, in order.
QList<int> requestedBlocks(const SimLogger &logger)
{
    QList<int> blocks;
    for (const QByteArray &frame : logger.framesReceived()) {
        if (const std::optional<SimReplies::BlockRequest> request = SimReplies::parseBlockRequest(frame))
            blocks.append(int(request->address() / 264));
    }
    return blocks;
}

// One statement on the kept copies' file, through a connection of the test's own.
bool execOnCopyFile(const QString &statement, const QVariantList &values = {})
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test"));
        db.setDatabaseName(Paths::memoryCopyFile());
        QSqlQuery query(db);
        ok = db.open() && query.prepare(statement);
        for (int i = 0; ok && i < values.size(); ++i)
            query.bindValue(i, values.at(i));
        ok = ok && query.exec();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test"));
    return ok;
}

// The lines that open the informative text of the download's box, read from
// the archive rows written after row `afterId`.
QString expectedSummaryStart(qint64 afterId)
{
    auto one = [afterId](const char *sql) {
        QSqlQuery query;
        query.prepare(QString::fromLatin1(sql));
        query.bindValue(0, afterId);
        return query.exec() && query.next() ? query.value(0) : QVariant();
    };
    const qint64 records = one("SELECT count(DISTINCT data || tarih || saat) FROM datadetay WHERE tip = 0 AND id > ?")
                               .toLongLong();
    const qint64 summaries = one("SELECT count(*) FROM datadetay WHERE tip <> 0 AND id > ?").toLongLong();
    if (records + summaries == 0)
        return QStringLiteral("Yeni kayıt yok: arşiv bu verileri zaten içeriyordu.");
    auto shown = [](const QVariant &text) {
        return QDateTime::fromString(text.toString(), QStringLiteral("yyyy-MM-dd hh:mm:ss"))
            .toString(QStringLiteral("dd.MM.yyyy hh:mm"));
    };
    QString count = QStringLiteral("Yeni kayıt: %1").arg(records);
    if (summaries > 0)
        count += QStringLiteral(" ve %1 günlük özet değeri").arg(summaries);
    return count + QStringLiteral("\nYeni kayıtlar: %1 – %2")
                       .arg(shown(one("SELECT min(tarih || ' ' || saat) FROM datadetay WHERE id > ?")),
                            shown(one("SELECT max(tarih || ' ' || saat) FROM datadetay WHERE id > ?")));
}

qint64 lastRowId()
{
    QSqlQuery query(QStringLiteral("SELECT coalesce(max(id), 0) FROM datadetay"));
    return query.next() ? query.value(0).toLongLong() : -1;
}

} // namespace

class TestFormTransfer : public QObject
{
    Q_OBJECT
private slots:
    void download_complete_exportMatchesDecoderTool_data();
    void download_complete_exportMatchesDecoderTool();
    void download_loggerFaults_stillComplete_data();
    void download_loggerFaults_stillComplete();
    void blockReply_duplicateAndWrongNumber_handledWithoutLoss();
    void blockReply_notData_showsErrorAndIsAskedAgainByTimeout();
    void blockReply_endMarkerAfterThreeBlocks_analysesExactlyThose();
    void silentLogger_elevenRequests_thenTransferError();
    void cancel_inTheMiddle_noFurtherRequestAndLateRepliesIgnored();
    void usedMemoryZero_nothingRequestedAndStrayFileListIgnored();
    void progressText_countsPacketsAndAttempts();
    void analysis_invalidDownload_boxAndDumpNoExport();
    void analysis_noHeader_saysSo_data();
    void analysis_noHeader_saysSo();
    void analysis_exportCannotBeWritten_reportsFailure();
    void analysis_databaseNotWritable_boxThenExportsStillWritten_data();
    void analysis_databaseNotWritable_boxThenExportsStillWritten();
    void analysis_emptyDownload_dumpsCountOnly();
    void secondDownload_fetchesOnlyWhatTheCopyLacks_data();
    void secondDownload_fetchesOnlyWhatTheCopyLacks();
    void interruptedDownload_resumesAfterTheKeptBlocks();

private:
    void connectRs232(FormFixture &f);
    void download(FormFixture &f);
};

void TestFormTransfer::connectRs232(FormFixture &f)
{
    f.boxes.expect(MessageBox::Information, QStringLiteral("Parametre Oku"), QStringLiteral("Parametre bilgileri okundu"));
    f.click("btnRS232");
    QTRY_COMPARE(f.boxes.pending(), 0);
    BOXSPY_VERIFY(f.boxes);
    f.sim.logger()->clearCommands();
}

void TestFormTransfer::download(FormFixture &f)
{
    f.sim.logger()->clearCommands();
    f.boxes.expect(MessageBox::Information, transferTitle, QStringLiteral("Aktarım Tamamlandı"));
    f.click("btnVeriAktar");
    QTRY_COMPARE_WITH_TIMEOUT(f.boxes.pending(), 0, 30000);
    BOXSPY_VERIFY(f.boxes);
}

void TestFormTransfer::download_complete_exportMatchesDecoderTool_data()
{
    QTest::addColumn<bool>("overTcp");
    QTest::newRow("RS232 over a pseudo-terminal") << false;
    QTest::newRow("GPRS over loopback TCP") << true;
}

void TestFormTransfer::download_complete_exportMatchesDecoderTool()
{
    QFETCH(bool, overTcp);
    FormFixture f(QStringLiteral("transfer_complete"));
    f.sim.logger()->setStationName(QStringLiteral("Kuyu Başı"));
    f.sim.logger()->setStationNo(QStringLiteral("3344"));
    GeneratorOptions options;
    options.files = 3;
    options.daysPerFile = 2;
    options.missingEvery = 17;
    options.gapMinutes = 120;
    options.header.stationName = QStringLiteral("Kuyu Başı");
    options.header.stationNo = QStringLiteral("3344");
    f.sim.logger()->setMemory(generateMemory(options));
    const QByteArray memory = f.sim.logger()->memory();
    QVERIFY(memory.size() > 10 * 264);

    if (overTcp) {
        QVERIFY(f.sim.listenTcp());
        f.createForm();
        f.widget<QLineEdit>("txtHost")->setText(f.tcpHost());
        f.boxes.expect(MessageBox::Information, QStringLiteral("Parametre Oku"));
        f.click("btnGPRS");
        QTRY_COMPARE(f.boxes.pending(), 0);
        f.sim.logger()->clearCommands();
    } else {
        QVERIFY(f.sim.listenPty());
        f.createForm();
        connectRs232(f);
    }

    QStringList labels;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        const QString label = f.form->progressDialog()->labelText();
        if (labels.isEmpty() || labels.last() != label)
            labels << label;
    });
    watch.start(0);
    QSignalSpy archived(f.form.get(), &Form::archiveChanged);
    f.boxes.expect(MessageBox::Information, transferTitle, QStringLiteral("Aktarım Tamamlandı"));
    f.click("btnVeriAktar");
    QTRY_COMPARE_WITH_TIMEOUT(f.boxes.pending(), 0, 30000);
    BOXSPY_VERIFY(f.boxes);
    watch.stop();

    QCOMPARE(f.form->transferData(), memory);
    // Every file is in the archive with a row per record and channel.
    QVERIFY(labels.contains(QStringLiteral("Veriler kaydediliyor...")));
    QCOMPARE(archived.count(), 1);
    const DecodedDownload decoded = decodeDownload(memory);
    QSqlQuery rows(QStringLiteral("SELECT f.istasyonno, f.kurulumtarihi, count(d.id) FROM data f "
                                  "JOIN datadetay d ON d.data = f.id GROUP BY f.id ORDER BY f.id"));
    for (const auto &file : decoded.files) {
        QVERIFY(rows.next());
        QCOMPARE(rows.value(0).toString(), QStringLiteral("3344"));
        QCOMPARE(rows.value(1).toString(), file->fileDate().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        QCOMPARE(rows.value(2).toLongLong(), qint64(StationArchive::rowsOf(*file).size()));
    }
    QVERIFY(!rows.next());
    const int blocks = int((memory.size() + 263) / 264);
    QCOMPARE(f.sim.logger()->commandsReceived().count(QStringLiteral("AKT")), blocks);
    QCOMPARE(f.form->blockPlan().size(), blocks + 1);

    // The dump lists exactly the bytes collected.
    QByteArray dumped;
    QVERIFY(RawDump::parse(readFile(QDir::current().filePath(QStringLiteral("raw_data.txt"))), &dumped));
    QCOMPARE(dumped, memory);

    // Every file has its export, the decoder tool's of that file's bytes
    // alone, byte for byte; the newest one was opened.
    const QList<SimMemory::File> files = f.sim.logger()->memoryState().files();
    QCOMPARE(files.size(), 3);
    QStringList exports;
    for (const SimMemory::File &file : files) {
        const QString path = Paths::exportDir() + QStringLiteral("/3344_")
            + file.installTime.toString(QStringLiteral("ddMMyy")) + QStringLiteral(".txt");
        const QByteArray exported = readFile(path);
        QVERIFY(exported.startsWith("Kuyu Ba\xC5\x9F\xC4\xB1\r\n3344\r\n"));
        QCOMPARE(exported, exportByTool(memory.mid(file.start, file.end - file.start)
                                            + QByteArray(8, '\xFF'),
                                        f.appDir));
        exports << path;
    }
    QCOMPARE(QDir(Paths::exportDir()).entryList(QDir::Files).size(), 3);
    QCOMPARE(f.opened.size(), 1);
    QCOMPARE(f.opened.first().toLocalFile(), exports.last());
    // The install time of the last header is shown.
    const QDateTime lastInstall = files.last().installTime;
    QCOMPARE(f.text("txtKurulumTarihi"), lastInstall.toString(QStringLiteral("dd.MM.yyyy hh:mm")));
    QVERIFY(!f.form->progressDialog()->isVisible());
    QVERIFY(!f.form->watchdogTimer()->isActive());
}

void TestFormTransfer::download_loggerFaults_stillComplete_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("delayMs");   // 0: no time-out within the test
    QTest::addColumn<bool>("askedAgain");
    QTest::addColumn<int>("minExtra");
    QTest::addColumn<int>("maxExtra");
    // Rows with a delay need the time-out rule. A reply that load holds up
    // past the delay is asked for again as well: two more requests allowed.
    // A dropped block is asked again after the delay and the watchdog.
    QTest::newRow("dropped block") << "ignore" << 2 << 500 << true << 1 << 1 + 2;
    // The copy of a block comes late; the next block's reply, arriving with
    // it, goes with the copy and is asked again: at most one more request,
    // and the collected data stay exact.
    QTest::newRow("duplicate block") << "duplicate" << 3 << 500 << false << 0 << 1 + 2;
    // The number of the block before, taken for a repeated answer: the
    // block is asked again by the time-out.
    QTest::newRow("wrong block number") << "wrongNumber" << 4 << 500 << true << 1 << 1 + 2;
    // Ten bytes short: "Boyut hatalı!" and the block again.
    QTest::newRow("short block") << "short" << 1 << 0 << true << 1 << 1;
    // Replies in random pieces are joined by the links.
    QTest::newRow("split replies") << "split" << -1 << 0 << false << 0 << 0;
}

void TestFormTransfer::download_loggerFaults_stillComplete()
{
    QFETCH(QString, fault);
    QFETCH(int, block);
    QFETCH(int, delayMs);
    QFETCH(bool, askedAgain);
    QFETCH(int, minExtra);
    QFETCH(int, maxExtra);
    FormFixture f(QStringLiteral("transfer_faults"));
    if (delayMs > 0)
        FormFixture::shortenBlockTimeout(delayMs);
    QVERIFY(f.sim.listenPty());
    f.createForm();
    connectRs232(f);
    SimFaults &faults = f.sim.logger()->faults();
    if (fault == QLatin1String("ignore"))
        faults.ignoreBlock = block;
    else if (fault == QLatin1String("duplicate"))
        faults.duplicateBlock = block;
    else if (fault == QLatin1String("wrongNumber"))
        faults.wrongNumberBlock = block;
    else if (fault == QLatin1String("short"))
        faults.shortBlock = block;
    else
        faults.splitReplies = true;

    QStringList labels;
    connect(f.form->progressDialog(), &QProgressDialog::canceled, this, [] { QFAIL("cancelled"); });
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] { labels << f.form->transferMessage(); });
    watch.start(1);

    f.boxes.expect(MessageBox::Information, transferTitle, QStringLiteral("Aktarım Tamamlandı"));
    f.click("btnVeriAktar");
    QTRY_COMPARE_WITH_TIMEOUT(f.boxes.pending(), 0, 30000);
    BOXSPY_VERIFY(f.boxes);
    const QByteArray memory = f.sim.logger()->memory();
    QCOMPARE(f.form->transferData(), memory);
    const int blocks = int((memory.size() + 263) / 264);
    const int requests = int(f.sim.logger()->commandsReceived().count(QStringLiteral("AKT")));
    QVERIFY2(requests >= blocks + minExtra && requests <= blocks + maxExtra,
             qPrintable(QStringLiteral("%1 requests for %2 blocks").arg(requests).arg(blocks)));
    if (askedAgain) {
        const int address = block * 264;
        QVERIFY(f.sim.logger()->framesReceived().count(Commands::akt(address / 1056, address % 1056)) >= 2);
    }
    if (fault == QLatin1String("short"))
        QVERIFY(labels.contains(QStringLiteral("Boyut hatalı!")));
}

void TestFormTransfer::blockReply_duplicateAndWrongNumber_handledWithoutLoss()
{
    FormFixture f(QStringLiteral("transfer_duplicate"));
    QVERIFY(f.sim.listenPty());
    f.createForm();
    connectRs232(f);
    f.sim.logger()->faults().silent = true;   // the test answers by hand
    f.form->sendVER();
    // 1000 bytes: blocks of 264, 264, 264 and 208.
    f.form->dispatchResponse("DOS15\x02" "1\x02" "07/12/13 14:30\x02" "00/00/00 00:00\x02" "00/00/00 00:00\x02"
                             "00/00/00 00:00\x02" "00/00/00 00:00\x02" "0\x02" "1000\x02" "0\x02" "1000\x02\r");
    // No time-out retries in between: every request below is the form's answer.
    f.form->watchdogTimer()->stop();
    auto block = [](int number, int size) {
        QByteArray reply("D");
        reply.append(char(number >> 8)).append(char(number & 0xFF));
        reply.append(QByteArray(size, char('a' + number)));
        return reply.append("\xFB\xFB\xFB");
    };
    f.form->handleBlockReply(block(0, 264));
    QCOMPARE(f.form->currentBlock(), 1);
    // The same answer again: ignored.
    f.form->handleBlockReply(block(0, 264));
    QCOMPARE(f.form->currentBlock(), 1);
    QCOMPARE(f.form->transferData().size(), 264);
    // An answer for another block: block 1 is asked again, nothing is kept.
    auto requests = [&] { return f.sim.logger()->commandsReceived().count(QStringLiteral("AKT")); };
    QTRY_COMPARE(requests(), 2);   // blocks 0 and 1
    f.form->handleBlockReply(block(2, 264));
    QCOMPARE(f.form->currentBlock(), 1);
    QCOMPARE(f.form->transferData().size(), 264);
    QTRY_COMPARE(requests(), 3);
    // Ten bytes short: repeated, and the repeated answer is not a duplicate.
    f.form->handleBlockReply(block(1, 254));
    QCOMPARE(f.form->transferMessage(), QStringLiteral("Boyut hatalı!"));
    QCOMPARE(f.form->transferData().size(), 264);
    f.form->handleBlockReply(block(1, 264));
    f.form->handleBlockReply(block(2, 264));
    QCOMPARE(f.form->currentBlock(), 3);
    // The last data block is taken whatever its length, and ends the transfer.
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Veri Hatası"));
    f.form->handleBlockReply(block(3, 264));
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.form->transferData(), QByteArray(264, 'a') + QByteArray(264, 'b') + QByteArray(264, 'c')
                                         + QByteArray(264, 'd'));
}

void TestFormTransfer::blockReply_notData_showsErrorAndIsAskedAgainByTimeout()
{
    FormFixture f(QStringLiteral("transfer_notdata"));
    FormFixture::shortenBlockTimeout();
    QVERIFY(f.sim.listenPty());
    f.createForm();
    connectRs232(f);
    f.sim.logger()->faults().garbageBlock = 2;
    QString seen;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (f.form->transferMessage().startsWith(QLatin1String("[HATA]")))
            seen = f.form->transferMessage();
    });
    watch.start(1);
    f.boxes.expect(MessageBox::Information, transferTitle, QStringLiteral("Aktarım Tamamlandı"));
    f.click("btnVeriAktar");
    QTRY_COMPARE_WITH_TIMEOUT(f.boxes.pending(), 0, 30000);
    QCOMPARE(seen, QStringLiteral("[HATA] Blok: 3"));
    QCOMPARE(f.form->transferData(), f.sim.logger()->memory());
}

void TestFormTransfer::blockReply_endMarkerAfterThreeBlocks_analysesExactlyThose()
{
    FormFixture f(QStringLiteral("transfer_bitti"));
    QVERIFY(f.sim.listenPty());
    f.createForm();
    connectRs232(f);
    f.sim.logger()->faults().endAfterBlocks = 3;
    // Three blocks of the middle of a file do not end in erased bytes: the
    // analysis refuses them, but the dump shows exactly what came.
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Veri Hatası"),
                   QStringLiteral("Veri hatalı!\n\nLütfen tekrar aktarım yapın."));
    f.click("btnVeriAktar");
    QTRY_COMPARE_WITH_TIMEOUT(f.boxes.pending(), 0, 30000);
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.form->transferData(), f.sim.logger()->memory().left(3 * 264));
    QByteArray dumped;
    QVERIFY(RawDump::parse(readFile(QStringLiteral("raw_data.txt")), &dumped));
    QCOMPARE(dumped.size(), 3 * 264);
    QVERIFY(f.opened.isEmpty());
}

void TestFormTransfer::silentLogger_elevenRequests_thenTransferError()
{
    FormFixture f(QStringLiteral("transfer_silent"));
    FormFixture::shortenBlockTimeout();
    QVERIFY(f.sim.listenPty());
    f.createForm();
    connectRs232(f);
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Aktarım Hatası"),
                   QStringLiteral("Cihaz uzun süredir yanıt vermiyor.Lütfen tekrar deneyin."));
    // The first block comes, then the logger falls silent: the request for
    // the second block is the first one left unanswered.
    const QByteArray secondBlock = Commands::akt(0, 264);
    f.sim.logger()->setLog([&](const QString &line) {
        if (line.endsWith(QLatin1String("(block 1)")))
            f.sim.logger()->faults().silent = true;
    });
    f.click("btnVeriAktar");
    QTRY_COMPARE_WITH_TIMEOUT(f.boxes.pending(), 0, 20000);
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.form->pendingCommand(), 0);
    QCOMPARE(f.form->retryCount(), 10);
    QVERIFY(!f.form->progressDialog()->isVisible());
    QCOMPARE(f.boxes.shown().last().informativeText, QStringLiteral("Sonraki deneme için saklanan: 1 blok"));
    QTest::qWait(300);
    // The second block was asked for once and then ten times again. The
    // first one was answered before the silence (asked twice if load held
    // its answer up past the delay).
    const QList<QByteArray> &frames = f.sim.logger()->framesReceived();
    QCOMPARE(frames.count(secondBlock), 1 + 10);
    QVERIFY(frames.count(Commands::akt(0, 0)) >= 1);
    QCOMPARE(f.sim.logger()->commandsReceived().count(QStringLiteral("AKT")),
             frames.count(secondBlock) + frames.count(Commands::akt(0, 0)));
    BOXSPY_VERIFY(f.boxes);
}

void TestFormTransfer::cancel_inTheMiddle_noFurtherRequestAndLateRepliesIgnored()
{
    FormFixture f(QStringLiteral("transfer_cancel"));
    QVERIFY(f.sim.listenPty());
    f.createForm();
    connectRs232(f);
    f.sim.logger()->faults().replyDelayMs = 60;
    f.click("btnVeriAktar");
    QTRY_VERIFY(f.form->currentBlock() >= 2);
    QPushButton *cancel = f.form->progressDialog()->findChild<QPushButton *>();
    QVERIFY(cancel);
    QSignalSpy replies(f.form->rs232(), &RS232Communication::dataReceived);
    cancel->click();
    // Without time-outs every block up to the current one was asked once.
    const int requests = f.form->currentBlock() + 1;
    const QByteArray collected = f.form->transferData();
    // The last request was out when the user cancelled: its reply comes
    // late, once the logger has read every request.
    QTRY_VERIFY_WITH_TIMEOUT(replies.size() > 0, 10000);
    QCoreApplication::processEvents();
    QCOMPARE(f.sim.logger()->commandsReceived().count(QStringLiteral("AKT")), requests);
    QCOMPARE(f.form->transferData(), collected);
    QCOMPARE(f.form->pendingCommand(), 0);
    BOXSPY_VERIFY(f.boxes);
}

void TestFormTransfer::usedMemoryZero_nothingRequestedAndStrayFileListIgnored()
{
    FormFixture f(QStringLiteral("transfer_empty"));
    f.createForm();
    f.boxes.expect(MessageBox::Information, QStringLiteral("Veri Aktar"), QStringLiteral("Cihazda aktarılacak veri yok."));
    f.form->sendVER();
    f.form->dispatchResponse("DOS15\x02" "0\x02" "00/00/00 00:00\x02" "00/00/00 00:00\x02" "00/00/00 00:00\x02"
                             "00/00/00 00:00\x02" "00/00/00 00:00\x02" "0\x02" "0\x02\r");
    BOXSPY_VERIFY(f.boxes);
    QVERIFY(f.form->blockPlan().isEmpty());
    QVERIFY(!f.form->watchdogTimer()->isActive());
    QVERIFY(!f.form->progressDialog()->isVisible());
    QCOMPARE(f.form->pendingCommand(), 0);

    // A file list arriving later is awaited by nothing: no box, no new file area.
    f.form->dispatchResponse("DOS15\x02" "1\x02" "07/12/13 14:30\x02" "00/00/00 00:00\x02" "00/00/00 00:00\x02"
                             "00/00/00 00:00\x02" "00/00/00 00:00\x02" "0\x02" "1000\x02" "0\x02" "1000\x02\r");
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.boxes.shown().size(), 1);
    QCOMPARE(f.text("txtDosyaAdedi"), QStringLiteral("0"));
    QCOMPARE(f.text("txtKullanilanBellek"), QStringLiteral("0 bayt"));
    QVERIFY(f.form->blockPlan().isEmpty());
}

void TestFormTransfer::progressText_countsPacketsAndAttempts()
{
    FormFixture f(QStringLiteral("transfer_label"));
    FormFixture::shortenBlockTimeout();
    f.createForm();
    f.form->sendVER();
    // 1056 bytes: four blocks and the closing item.
    f.form->dispatchResponse("DOS15\x02" "1\x02" "07/12/13 14:30\x02" "00/00/00 00:00\x02" "00/00/00 00:00\x02"
                             "00/00/00 00:00\x02" "00/00/00 00:00\x02" "1\x02" "0\x02" "1\x02" "0\x02\r");
    QCOMPARE(f.form->blockPlan().size(), 5);
    QCOMPARE(f.form->blockPlan().at(3)->offset(), 792);
    QCOMPARE(f.form->pendingCommand(), 10);
    const QString label = f.form->progressDialog()->labelText();
    // No block yet, so no time left to estimate; the serial number is
    // unknown, so nothing is kept for a next try.
    QVERIFY2(label.contains(QStringLiteral("Paket</th><td>: 1/5 · 0/1056 bayt</td>")), qPrintable(label));
    QVERIFY(!label.contains(QStringLiteral("Saklanan")));
    QVERIFY(label.contains(QStringLiteral("Deneme</th><td>: 1")));
    QVERIFY(label.contains(QStringLiteral("Veri İndiriliyor")));
    QVERIFY(label.contains(QStringLiteral("table.akt")));
    // The watchdog retries after the delay, and the attempt row counts it
    // (a loaded machine may be a retry further on when the test looks).
    QTRY_VERIFY(f.form->retryCount() >= 1);
    QVERIFY(f.form->progressDialog()->labelText().contains(
        QStringLiteral("Deneme</th><td>: %1").arg(f.form->retryCount() + 1)));
    f.form->progressDialog()->findChild<QPushButton *>()->click();
}

void TestFormTransfer::analysis_invalidDownload_boxAndDumpNoExport()
{
    FormFixture f(QStringLiteral("transfer_invalid"));
    f.createForm();
    QByteArray data("\xDD\xDD\xDD" "ST1\x02" "1234\x02\x07\x12\x13\x14\x30\x00\x15\x02" "L\x02T\x02m\x02" "C\x02"
                    "\x41\x20\x00\x00\x42\xC8\x00\x00\xFF\xFF\xFB",
                    35);
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Veri Hatası"),
                   QStringLiteral("Veri hatalı!\n\nLütfen tekrar aktarım yapın."));
    f.form->analyseDownload(data);
    BOXSPY_VERIFY(f.boxes);
    QVERIFY(f.opened.isEmpty());
    QVERIFY(QDir(Paths::exportDir()).entryList(QDir::Files).isEmpty());
    const QByteArray dump = readFile(QStringLiteral("raw_data.txt"));
    QVERIFY(dump.endsWith("\r\n\r\n35 bytes data received.\r\n"));
    QByteArray dumped;
    QVERIFY(RawDump::parse(dump, &dumped));
    QCOMPARE(dumped, data);
}

void TestFormTransfer::analysis_noHeader_saysSo_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("text");
    QTest::newRow("no header") << QByteArray("\x41\x20\x00\x00\x42\xC8\x00\x00", 8) + QByteArray(8, '\xFF')
                               << QStringLiteral("Veride dosya başlığı bulunamadı.");
    QTest::newRow("a header cut short") << QByteArray("\xDD\xDD\xDD" "ST1\x02" "12") + QByteArray(8, '\xFF')
                                        << QStringLiteral("Verideki dosya başlığı eksik.");
}

void TestFormTransfer::analysis_noHeader_saysSo()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, text);
    FormFixture f(QStringLiteral("transfer_noheader"));
    f.createForm();
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Veri Hatası"), text);
    f.form->analyseDownload(data);
    BOXSPY_VERIFY(f.boxes);
    QVERIFY(f.opened.isEmpty());
}

void TestFormTransfer::analysis_exportCannotBeWritten_reportsFailure()
{
    FormFixture f(QStringLiteral("transfer_unwritable"));
    f.createForm();
    // A file where the export folder should be.
    QDir(Paths::exportDir()).removeRecursively();
    QFile blocker(Paths::exportDir());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QByteArray data("\xDD\xDD\xDD" "ST1\x02" "1234\x02\x07\x12\x13\x14\x30\x00\x15\x02" "L\x02T\x02m\x02" "C\x02"
                          "\x41\x20\x00\x00\x42\xC8\x00\x00\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF",
                          40);
    f.form->analyseDownload(data);
    QCOMPARE(f.boxes.shown().size(), 1);
    const MessageBox::Request box = f.boxes.shown().first();
    QCOMPARE(box.kind, MessageBox::Critical);
    QCOMPARE(box.title, transferTitle);
    const QStringList lines = box.text.split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), QStringLiteral("Dosya yazılamadı:"));
    QCOMPARE(lines.value(1), Paths::exportDir() + QStringLiteral("/1234_071213.txt"));
    QVERIFY(!lines.value(2).isEmpty());
    QVERIFY(f.opened.isEmpty());
    QCOMPARE(f.text("txtKurulumTarihi"), QStringLiteral("07.12.2013 14:30"));
    f.boxes.clear();
}

void TestFormTransfer::analysis_databaseNotWritable_boxThenExportsStillWritten_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("read-only database") << true;
    QTest::newRow("not an SQLite file") << false;
}

void TestFormTransfer::analysis_databaseNotWritable_boxThenExportsStillWritten()
{
    QFETCH(bool, readOnly);
    FormFixture f(QStringLiteral("transfer_database"));
    f.createForm();
    FormFixture::closeDatabase();
    if (!readOnly) {
        QFile garbage(Paths::databaseFile());
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(2048, 'x'));
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(Paths::databaseFile());
        if (readOnly) {
            QVERIFY(db.open());
            QVERIFY(createTables());
            db.close();
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        }
        QVERIFY(db.open());
    }
    const QByteArray data("\xDD\xDD\xDD" "ST1\x02" "1234\x02\x07\x12\x13\x14\x30\x00\x15\x02" "L\x02T\x02m\x02" "C\x02"
                          "\x41\x20\x00\x00\x42\xC8\x00\x00\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF",
                          40);
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Veritabanı"));
    f.boxes.expect(MessageBox::Information, transferTitle, QStringLiteral("Aktarım Tamamlandı"));
    f.form->analyseDownload(data);
    BOXSPY_VERIFY(f.boxes);
    const QStringList lines = f.boxes.shown().first().text.split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), QStringLiteral("Veriler kaydedilemedi:"));
    QVERIFY(!lines.value(1).trimmed().isEmpty());
    const QString exported = Paths::exportDir() + QStringLiteral("/1234_071213.txt");
    QVERIFY(readFile(exported).endsWith("07/12/2013|14:30|ANL|10.00|100.00| \r\nSSS"));
    QCOMPARE(f.opened.size(), 1);
    QCOMPARE(f.opened.first().toLocalFile(), exported);
}

void TestFormTransfer::analysis_emptyDownload_dumpsCountOnly()
{
    FormFixture f(QStringLiteral("transfer_zero"));
    f.createForm();
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Veri Hatası"));
    f.form->analyseDownload(QByteArray());
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(readFile(QStringLiteral("raw_data.txt")), QByteArray("\r\n0 bytes data received.\r\n"));
}

void TestFormTransfer::secondDownload_fetchesOnlyWhatTheCopyLacks_data()
{
    QTest::addColumn<QString>("change");   // what happens between the two downloads
    QTest::addColumn<QString>("fault");    // of the logger, once, during the second one
    QTest::addColumn<bool>("fromCopy");
    QTest::newRow("memory grown") << "grow" << "" << true;
    QTest::newRow("nothing new") << "" << "" << true;
    QTest::newRow("memory erased") << "erase" << "" << false;
    QTest::newRow("logger differs at block 0") << "differ at 0" << "" << false;
    QTest::newRow("logger differs at the copy's end") << "differ at end" << "" << false;
    QTest::newRow("whole memory asked for") << "whole" << "" << false;
    QTest::newRow("copy file overwritten") << "overwrite" << "" << false;
    QTest::newRow("a block of the copy altered") << "alter" << "" << false;
    QTest::newRow("copy cannot be written") << "refuse" << "" << true;
    QTest::newRow("block 0 lost") << "grow" << "ignore 0" << true;
    QTest::newRow("block at the copy's end twice") << "grow" << "duplicate end" << true;
    QTest::newRow("block at the copy's end short") << "grow" << "short end" << true;
    QTest::newRow("block at the copy's end numbered wrong") << "grow" << "wrong end" << true;
}

void TestFormTransfer::secondDownload_fetchesOnlyWhatTheCopyLacks()
{
    QFETCH(QString, change);
    QFETCH(QString, fault);
    QFETCH(bool, fromCopy);
    FormFixture f(QStringLiteral("transfer_again"));
    SimLogger *logger = f.sim.logger();
    GeneratorOptions options;
    options.daysPerFile = 3;
    logger->setMemory(generateMemory(options));
    QVERIFY(f.sim.listenPty());
    f.createForm();
    connectRs232(f);
    download(f);
    // The box of a download says what it brought, and where its export is.
    const auto summaryMatches = [&](qint64 afterId) {
        const QString details = f.boxes.shown().last().informativeText;
        const QString start = expectedSummaryStart(afterId);
        return details.startsWith(start)
            && details.contains(QStringLiteral("Dışa aktarım: ")
                                + QDir::toNativeSeparators(f.opened.last().toLocalFile()));
    };
    QVERIFY2(summaryMatches(0), qPrintable(f.boxes.shown().last().informativeText));
    const qint64 rowsBefore = lastRowId();
    const QByteArray first = logger->memory();
    const qint64 stableEnd = decodeDownload(first).end;
    const int holding = int((stableEnd - 1) / 264);
    QCOMPARE(MemoryCopy(Paths::memoryCopyFile()).load(logger->serialNo()), first);

    QByteArray second = first;
    if (change == QLatin1String("grow")) {
        second = growImage(first, 1, GeneratorOptions());
    } else if (change == QLatin1String("erase")) {
        FileHeader header;
        header.installTime = QDateTime::currentDateTime();
        logger->memoryState().eraseAndStart(header);
        second = logger->memory();
    } else if (change.startsWith(QLatin1String("differ"))) {
        // A measurement value of block 0, or the last byte of the copy's records.
        second[change.endsWith(QLatin1String("0")) ? 100 : stableEnd - 3] ^= 0x01;
    } else if (change == QLatin1String("whole")) {
        f.widget<QCheckBox>("cbTumBellek")->setChecked(true);
    } else if (change == QLatin1String("overwrite")) {
        f.destroyForm();
        QFile file(Paths::memoryCopyFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
        file.close();
        f.createForm();
        connectRs232(f);
    } else if (change == QLatin1String("alter")) {
        QVERIFY(execOnCopyFile(QStringLiteral("UPDATE memoryblock SET bytes = ? WHERE address = 264"),
                               {first.mid(264, 263) + 'x'}));
    } else if (change == QLatin1String("refuse")) {
        second = growImage(first, 1, GeneratorOptions());
        QVERIFY(execOnCopyFile(QStringLiteral("CREATE TRIGGER refuse AFTER INSERT ON memoryblock "
                                              "BEGIN SELECT RAISE(ABORT, 'disk full'); END")));
    }
    logger->setMemoryImage(second);
    QCOMPARE(logger->memory(), second);
    SimFaults &faults = logger->faults();
    int *faultBlock = fault.startsWith(QLatin1String("ignore"))      ? &faults.ignoreBlock
                      : fault.startsWith(QLatin1String("duplicate")) ? &faults.duplicateBlock
                      : fault.startsWith(QLatin1String("short"))     ? &faults.shortBlock
                      : fault.startsWith(QLatin1String("wrong"))     ? &faults.wrongNumberBlock
                                                                     : nullptr;
    if (faultBlock)
        *faultBlock = fault.endsWith(QLatin1String("end")) ? holding : 0;
    QStringList notes;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (notes.isEmpty() || notes.last() != f.form->transferMessage())
            notes << f.form->transferMessage();
    });
    watch.start(1);

    // A last record that changed is a memory written anew: the archive keeps
    // both files and says so.
    if (change == QLatin1String("differ at end"))
        f.boxes.expect(MessageBox::Warning, QStringLiteral("Veritabanı"));
    download(f);
    QCOMPARE(f.form->transferData(), second);
    if (fault.isEmpty() && (change.isEmpty() || change == QLatin1String("grow")))
        QVERIFY2(summaryMatches(rowsBefore), qPrintable(f.boxes.shown().last().informativeText));
    QCOMPARE(readFile(f.opened.last().toLocalFile()), exportByTool(second, f.appDir));
    if (faultBlock)
        QCOMPARE(*faultBlock, -1);   // the fault did happen
    const int blocks = int((second.size() + 263) / 264);
    // Time-outs of a loaded machine may repeat a request; what counts is
    // which blocks were asked for.
    const QList<int> requested = requestedBlocks(*logger);
    const QSet<int> asked(requested.cbegin(), requested.cend());
    if (fromCopy) {
        // Block 0 and the copy's end are checked, then only what is new comes.
        const int newBlocks = blocks - int(stableEnd / 264);
        QVERIFY2(asked.size() <= newBlocks + 2,
                 qPrintable(QStringLiteral("%1 blocks asked for, %2 new").arg(asked.size()).arg(newBlocks)));
        for (int b : asked)
            QVERIFY2(b == 0 || b >= holding, qPrintable(QStringLiteral("block %1 asked again").arg(b)));
        QCOMPARE(f.form->blockPlan().size(), (holding > 0 ? 1 : 0) + blocks - holding + 1);
        QVERIFY(notes.contains(QStringLiteral("Yalnızca yeni veriler: blok %1 ve sonrası").arg(stableEnd / 264 + 1)));
    } else {
        for (int b = 0; b < blocks; ++b)
            QVERIFY2(asked.contains(b), qPrintable(QStringLiteral("block %1 not asked for").arg(b)));
        QCOMPARE(f.form->blockPlan().size(), blocks + 1);
        QCOMPARE(notes.contains(QStringLiteral("Yerel kopya cihazdakiyle uyuşmuyor; tüm bellek aktarılıyor.")),
                 change.startsWith(QLatin1String("differ")));
    }
    if (fault.startsWith(QLatin1String("short")))
        QVERIFY(notes.contains(QStringLiteral("Boyut hatalı!")));
    // The copy is now the logger's memory; one that could not be written stays as it was.
    QCOMPARE(MemoryCopy(Paths::memoryCopyFile()).load(logger->serialNo()),
             change == QLatin1String("refuse") ? first : second);
}

void TestFormTransfer::interruptedDownload_resumesAfterTheKeptBlocks()
{
    FormFixture f(QStringLiteral("transfer_resume"));
    SimLogger *logger = f.sim.logger();
    GeneratorOptions options;
    options.daysPerFile = 4;
    logger->setMemory(generateMemory(options));
    const QByteArray memory = logger->memory();
    const int blocks = int((memory.size() + 263) / 264);
    QVERIFY(f.sim.listenTcp());
    f.createForm();
    f.widget<QLineEdit>("txtHost")->setText(f.tcpHost());
    auto connectGprs = [&] {
        f.boxes.expect(MessageBox::Information, QStringLiteral("Parametre Oku"));
        f.click("btnGPRS");
        QTRY_COMPARE(f.boxes.pending(), 0);
    };
    // The read chain, VER and six blocks, then the line drops.
    logger->faults().closeAfterRequests = 3 + 1 + 6;
    connectGprs();
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Socket Error"), QStringLiteral("Karşı modem bağlantıyı kapattı!"));
    f.click("btnVeriAktar");
    QTRY_COMPARE_WITH_TIMEOUT(f.boxes.pending(), 0, 30000);
    QTRY_VERIFY(!f.form->gprs()->isOpen());
    BOXSPY_VERIFY(f.boxes);
    const int kept = int(MemoryCopy(Paths::memoryCopyFile()).load(logger->serialNo()).size() / 264);
    QVERIFY2(kept >= 1 && kept <= 6, qPrintable(QString::number(kept)));
    QCOMPARE(MemoryCopy(Paths::memoryCopyFile()).load(logger->serialNo()), memory.left(kept * 264));
    QCOMPARE(f.boxes.shown().last().informativeText,
             QStringLiteral("Sonraki deneme için saklanan: %1 blok").arg(kept));

    logger->faults().closeAfterRequests = -1;
    connectGprs();
    download(f);
    QCOMPARE(f.form->transferData(), memory);
    QCOMPARE(readFile(f.opened.last().toLocalFile()), exportByTool(memory, f.appDir));
    const QList<int> requested = requestedBlocks(*logger);
    const QSet<int> asked(requested.cbegin(), requested.cend());
    for (int b : asked)
        QVERIFY2(b == 0 || b >= kept - 1, qPrintable(QStringLiteral("block %1 asked again").arg(b)));
    QVERIFY(asked.size() <= blocks - kept + 2);
}

QTEST_MAIN(TestFormTransfer)
#include "tst_formtransfer.moc"
