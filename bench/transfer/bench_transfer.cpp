// A whole download by the working form, with the product's waits, from the
// logger simulator on a pseudo-terminal paced like a 115200-baud 8N1 line.
// Prints the wall time from the click on "Veri Aktar" to the success box and
// sets it against the floor every transfer has to pay: per block the 300 ms
// pause before the reply is handled plus the request and the reply on the wire.
//
//   bench_transfer [days]        (default 70 days of 15-minute records, some 220 blocks)
//
// The simulator runs as its own process, so that its pacing goes on while the
// form's user-interface thread sleeps through its pauses.

#include "benchsupport.h"
#include "form.h"
#include "messagebox.h"
#include "options.h"
#include "paths.h"
#include "waits.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
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

constexpr int minimumBlocks = 200;

struct Box {
    qint64 atMs;
    QString title;
    QString text;
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int days = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 70;
    if (days <= 0) {
        std::fprintf(stderr, "usage: bench_transfer [days]\n");
        return 2;
    }

    // Settings, log, export and raw dump all go to a scratch folder.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 2;
    useScratchFolder(scratch.path());
    UrlSink urls;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &urls, "openUrl");

    QElapsedTimer clock;
    clock.start();
    QList<Box> boxes;
    MessageBox::setHandler([&](const MessageBox::Request &r) {
        boxes.append({clock.elapsed(), r.title, r.text});
        return 0;
    });

    // The simulated logger on a pseudo-terminal reached through a fixed link.
    const QString link = QDir(scratch.path()).filePath(QStringLiteral("ttyVLX"));
    const QString simPath = QCoreApplication::applicationDirPath() + QStringLiteral("/vlxlogger-sim");
    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(simPath, {QStringLiteral("--pty"), QStringLiteral("--link"), link,
                        QStringLiteral("--baud"), QString::number(baud),
                        QStringLiteral("--files"), QStringLiteral("1"),
                        QStringLiteral("--days"), QString::number(days)});
    QByteArray simOut;
    const bool ready = waitUntil([&] {
        simOut += sim.readAllStandardOutput();
        return simOut.contains("READY\n") || sim.state() == QProcess::NotRunning;
    }, 10000);
    if (!ready || !simOut.contains("READY\n")) {
        std::fprintf(stderr, "bench_transfer: %s did not start\n", qPrintable(simPath));
        return 2;
    }

    Options::setExtraPorts({link});
    auto form = std::make_unique<Form>();
    form->resize(750, 600);
    form->show();
    auto *ports = form->findChild<QComboBox *>(QStringLiteral("cmbPortList"));
    ports->setCurrentIndex(ports->findText(link));

    // Timestamps of the block requests and of the handled replies.
    QList<qint64> requests;
    QList<qint64> responses;
    QObject::connect(form.get(), &Form::debuging, &app, [&](const QString &line) {
        if (line.startsWith(QLatin1String("(11) AKT Request")))
            requests.append(clock.elapsed());
        else if (line.startsWith(QLatin1String("(11) AKT Response")))
            responses.append(clock.elapsed());
    });

    // Connecting reads parameters, files and alarms first.
    form->findChild<QPushButton *>(QStringLiteral("btnRS232"))->click();
    if (!waitUntil([&] { return !boxes.isEmpty(); }, 30000)
        || boxes.first().text != QStringLiteral("Parametre bilgileri okundu")) {
        std::fprintf(stderr, "bench_transfer: the read chain did not finish (%s)\n",
                     boxes.isEmpty() ? "no box" : qPrintable(boxes.first().text));
        return 1;
    }
    boxes.clear();

    const QString used = form->findChild<QWidget *>(QStringLiteral("txtKullanilanBellek"))
                             ->property("text").toString();
    const qint64 usedBytes = used.section(QLatin1Char(' '), 0, 0).toLongLong();
    const qint64 blocks = (usedBytes + blockBytes - 1) / blockBytes;
    if (blocks < minimumBlocks) {
        std::fprintf(stderr, "bench_transfer: %lld bytes are only %lld blocks; give more days\n",
                     usedBytes, blocks);
        return 2;
    }

    const qint64 clickedAt = clock.elapsed();
    form->findChild<QPushButton *>(QStringLiteral("btnVeriAktar"))->click();
    const int budgetMs = int(blocks * 1000 + 60000);
    if (!waitUntil([&] { return !boxes.isEmpty(); }, budgetMs)
        || boxes.first().text != QStringLiteral("Aktarım Tamamlandı")) {
        std::fprintf(stderr, "bench_transfer: the transfer did not complete (%s)\n",
                     boxes.isEmpty() ? "no box" : qPrintable(boxes.first().text));
        return 1;
    }
    const qint64 doneAt = boxes.first().atMs;

    const double wall = double(doneAt - clickedAt) / 1000.0;
    double floor = 0;
    for (qint64 i = 0; i < blocks; ++i) {
        const qint64 size = qMin<qint64>(blockBytes, usedBytes - i * blockBytes);
        floor += Waits::current().blockPause / 1000.0 + lineSeconds(requestBytes + size + replyOverhead);
    }

    std::printf("used memory          %lld bytes\n", usedBytes);
    std::printf("blocks               %lld\n", blocks);
    std::printf("block requests       %lld (repeats %lld)\n", qint64(requests.size()),
                qint64(requests.size()) - blocks);
    std::printf("wall time            %.3f s (click to \"Aktarım Tamamlandı\")\n", wall);
    std::printf("blocks per second    %.3f\n", double(blocks) / wall);
    std::printf("floor                %.3f s (%lld x (%.3f s pause + request and reply at %d 8N1))\n",
                floor, blocks, Waits::current().blockPause / 1000.0, baud);
    std::printf("wall / floor         %.4f (%+.2f %%)\n", wall / floor, (wall / floor - 1.0) * 100.0);
    // Where the time went: before the first request (VER and the first
    // pause), the block loop, and after the last reply (analysis, export).
    if (!requests.isEmpty() && !responses.isEmpty()) {
        const double loop = double(responses.last() - requests.first()) / 1000.0;
        std::printf("  click to 1st request   %.3f s\n", double(requests.first() - clickedAt) / 1000.0);
        std::printf("  block loop             %.3f s (%.2f ms per block, floor %.2f ms)\n", loop,
                    loop * 1000.0 / double(blocks), floor * 1000.0 / double(blocks));
        std::printf("  last reply to box      %.3f s\n", double(doneAt - responses.last()) / 1000.0);
    }
    std::printf("export opened        %d\n", urls.count);

    form.reset();
    sim.terminate();
    sim.waitForFinished(5000);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    MessageBox::setHandler({});
    return 0;
}

