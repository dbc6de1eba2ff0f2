// The second download of a station: the kept copy holds a memory filled to
// half, the logger has since recorded a week more, and the working form asks
// only for what is new. Prints the requests, the wall time from the click on
// "Veri Aktar" to the success box, and its share of the floor of a full
// download of that memory (per block the 300 ms pause plus the request and
// the reply on a 115200-baud 8N1 line).
//
//   bench_incremental [days]     (default 5940 days of 15-minute records, about 18,700 blocks)
//
// The copy of the first download is written straight into memory.db through
// MemoryCopy, block by block as a transfer would keep it: fetching it would
// take hours of 300 ms pauses. The simulator builds the memory, then runs as
// its own process with --grow-days 7, so that its line pacing goes on while
// the form sleeps through its pauses.

#include "aktblokitem.h"
#include "copyplan.h"
#include "decodedownload.h"
#include "benchsupport.h"
#include "form.h"
#include "memorycopy.h"
#include "messagebox.h"
#include "options.h"
#include "paths.h"
#include "vlxfile.h"
#include "waits.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <cstdio>
#include <functional>
#include <memory>

using namespace BenchSupport;

namespace {

const QString serial = QStringLiteral("BENCH0001");

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int fail(const char *what)
{
    std::fprintf(stderr, "bench_incremental: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int days = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5940;
    if (days <= 0) {
        std::fprintf(stderr, "usage: bench_incremental [days]\n");
        return 2;
    }

    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 2;
    useScratchFolder(scratch.path());
    UrlSink urls;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &urls, "openUrl");
    QElapsedTimer clock;
    clock.start();
    QList<QPair<qint64, QString>> boxes;
    MessageBox::setHandler([&](const MessageBox::Request &r) {
        boxes.append({clock.elapsed(), r.text});
        return 0;
    });

    // The memory of the first visit, built by the simulator.
    const QString simPath = QCoreApplication::applicationDirPath() + QStringLiteral("/vlxlogger-sim");
    const QString image = QDir(scratch.path()).filePath(QStringLiteral("memory.bin"));
    QProcess build;
    build.start(simPath, {QStringLiteral("--serial"), serial, QStringLiteral("--days"), QString::number(days),
                          QStringLiteral("--write-image"), image});
    if (!build.waitForFinished(120000) || build.exitCode() != 0)
        return fail("the simulator did not write the memory image");
    const QByteArray firstMemory = readFile(image);
    const qint64 firstBlocks = (firstMemory.size() + blockBytes - 1) / blockBytes;

    // What the first download would have kept.
    QElapsedTimer keeping;
    keeping.start();
    {
        MemoryCopy copy(Paths::memoryCopyFile());
        for (qint64 a = 0; a < firstMemory.size(); a += blockBytes) {
            if (!copy.storeBlock(serial, a, firstMemory.mid(a, blockBytes)))
                return fail("the copy could not be written");
        }
    }
    const double keptSeconds = double(keeping.elapsed()) / 1000.0;

    // A week later: the same logger, grown, on a pseudo-terminal at 115200 baud.
    const QString link = QDir(scratch.path()).filePath(QStringLiteral("ttyVLX"));
    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(simPath, {QStringLiteral("--serial"), serial, QStringLiteral("--image"), image,
                        QStringLiteral("--grow-days"), QStringLiteral("7"), QStringLiteral("--pty"),
                        QStringLiteral("--link"), link, QStringLiteral("--baud"), QString::number(baud)});
    QByteArray simOut;
    if (!waitUntil([&] {
            simOut += sim.readAllStandardOutput();
            return simOut.contains("READY\n") || sim.state() == QProcess::NotRunning;
        }, 60000) || !simOut.contains("READY\n"))
        return fail("the simulator did not start");
    const QByteArray grown = readFile(image);
    const qint64 blocks = (grown.size() + blockBytes - 1) / blockBytes;

    Options::setExtraPorts({link});
    auto form = std::make_unique<Form>();
    form->resize(750, 600);
    form->show();
    auto *ports = form->findChild<QComboBox *>(QStringLiteral("cmbPortList"));
    ports->setCurrentIndex(ports->findText(link));
    QList<qint64> requests;
    QList<qint64> responses;
    QObject::connect(form.get(), &Form::debuging, &app, [&](const QString &line) {
        if (line.startsWith(QLatin1String("(11) AKT Request")))
            requests.append(clock.elapsed());
        else if (line.startsWith(QLatin1String("(11) AKT Response")))
            responses.append(clock.elapsed());
    });
    form->findChild<QPushButton *>(QStringLiteral("btnRS232"))->click();
    if (!waitUntil([&] { return !boxes.isEmpty(); }, 30000)
        || boxes.first().second != QStringLiteral("Parametre bilgileri okundu"))
        return fail("the read chain did not finish");
    boxes.clear();

    const qint64 clickedAt = clock.elapsed();
    form->findChild<QPushButton *>(QStringLiteral("btnVeriAktar"))->click();
    if (!waitUntil([&] { return !boxes.isEmpty(); }, 600000)
        || boxes.first().second != QStringLiteral("Aktarım Tamamlandı"))
        return fail("the transfer did not complete");
    const double wall = double(boxes.first().first - clickedAt) / 1000.0;

    double floor = 0;
    for (qint64 i = 0; i < blocks; ++i) {
        const qint64 size = qMin<qint64>(blockBytes, grown.size() - i * blockBytes);
        floor += Waits::current().blockPause / 1000.0 + lineSeconds(requestBytes + size + replyOverhead);
    }

    // A full download collects exactly the logger's memory; its export is
    // that memory's export.
    const QString fullExport = QDir(scratch.path()).filePath(QStringLiteral("full-export.txt"));
    const DecodedDownload decoded = decodeDownload(grown);
    const bool exported = decoded.newest() && decoded.newest()->exportTextTo(fullExport);
    const bool sameData = form->transferData() == grown;
    const bool sameExport = exported && !urls.lastPath.isEmpty() && readFile(urls.lastPath) == readFile(fullExport);

    std::printf("first memory         %lld bytes, %lld blocks (copy written directly: %.2f s)\n",
                qint64(firstMemory.size()), firstBlocks, keptSeconds);
    std::printf("grown memory         %lld bytes, %lld blocks (+7 days of 15-minute records)\n",
                qint64(grown.size()), blocks);
    QStringList planned;
    for (int i = 0; i + 1 < form->blockPlan().size(); ++i)
        planned << QString::number(blockNumberAt(form->blockPlan().at(i)->page(), form->blockPlan().at(i)->offset()));
    std::printf("block requests       %lld (repeats %lld)\n", qint64(requests.size()),
                qint64(requests.size()) - form->blockCount());
    std::printf("blocks asked for     %s\n", qPrintable(planned.join(QLatin1Char(' '))));
    std::printf("wall time            %.3f s (click to \"Aktarım Tamamlandı\")\n", wall);
    // Before the first request: the file list, reading and checking the copy,
    // finding its stable end and the first pause; after the last reply: the
    // analysis of the whole memory (raw dump, decoding, export).
    if (!requests.isEmpty() && !responses.isEmpty()) {
        std::printf("  click to 1st request   %.3f s\n", double(requests.first() - clickedAt) / 1000.0);
        std::printf("  block loop             %.3f s\n", double(responses.last() - requests.first()) / 1000.0);
        std::printf("  last reply to box      %.3f s\n", double(boxes.first().first - responses.last()) / 1000.0);
    }
    std::printf("full download floor  %.3f s (%lld x (%.3f s pause + request and reply at %d 8N1))\n", floor,
                blocks, Waits::current().blockPause / 1000.0, baud);
    std::printf("wall / floor         %.4f %%\n", wall / floor * 100.0);
    std::printf("data as a full download's    %s\n", sameData ? "identical" : "DIFFERENT");
    std::printf("export as a full download's  %s\n", sameExport ? "byte-identical" : "DIFFERENT");

    form.reset();
    sim.terminate();
    sim.waitForFinished(5000);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    MessageBox::setHandler({});
    return sameData && sameExport ? 0 : 1;
}

