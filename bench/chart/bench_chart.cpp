// The chart page with the archived file of a full memory (9,863,168 bytes,
// about 1.2 million records): how long from choosing the file to a drawn
// chart, how long a redraw after a zoom or a pan takes, and the peak memory.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise; the data root is a
// temporary folder.
//
//   QT_QPA_PLATFORM=offscreen bench_chart

#include "benchsupport.h"
#include "charttab.h"
#include "compactdownload.h"
#include "memorygenerator.h"
#include "stationarchive.h"

#include <QApplication>
#include <QChart>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineSeries>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using BenchSupport::peakKiB;

namespace {

// Draws the tab as the screen would: every pending layout and paint done.
void render(ChartTab &tab)
{
    QApplication::processEvents();
    tab.grab();
}

// Resident memory now, from /proc (Linux).
double residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * 4096 / (1024.0 * 1024.0) : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir root;
    qputenv("VLXLOGGER_DATA_ROOT", root.path().toUtf8());
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    if (!BenchSupport::openArchive(root.path() + QStringLiteral("/data.db"))) {
        std::printf("cannot open the archive\n");
        return 1;
    }
    GeneratorOptions options;
    options.fullMemory = true;
    options.header.stationName = QStringLiteral("Baraj");
    options.header.stationNo = QStringLiteral("1234");
    QElapsedTimer step;
    step.start();
    {
        const CompactDownload decoded = decodeCompact(generateMemory(options).image);
        StationArchive archive;
        const ArchiveResult stored = archive.store(decoded.files);
        std::printf("archived a full memory: %lld rows in %lld ms (%s)\n",
                    static_cast<long long>(stored.rowsAdded), static_cast<long long>(step.elapsed()),
                    stored.ok ? "stored" : qPrintable(stored.error));
    }

    {
        step.restart();
        StationArchive archive;
        ArchiveSeries series;
        const bool read = archive.series(1, &series);
        std::printf("series of %lld records read from the cache in %lld ms (%s)\n",
                    static_cast<long long>(series.recordCount()), static_cast<long long>(step.elapsed()),
                    read ? "read" : "not read");
    }

    ChartTab tab;
    tab.resize(1000, 560);
    tab.show();
    render(tab);
    const double before = residentMiB();

    step.restart();
    if (!tab.showFile(1)) {
        std::printf("the archived file is not listed\n");
        return 1;
    }
    render(tab);
    const qint64 shownMs = step.elapsed();
    qsizetype points = 0;
    for (int c = 0; c < 2; ++c)
        for (QLineSeries *line : tab.lines(c))
            points += line->count();
    std::printf("file of %lld records shown in %lld ms (plot %d px wide, %lld line points)\n",
                static_cast<long long>(tab.series().recordCount()), static_cast<long long>(shownMs),
                int(tab.chart()->plotArea().width()), static_cast<long long>(points));

    // Zoom into the middle step by step, then pan back and forth.
    QList<qint64> redraws;
    for (int i = 0; i < 20; ++i) {
        const double from = tab.shownFrom();
        const double to = tab.shownTo();
        const double middle = (from + to) / 2;
        const double shift = (to - from) / 10;
        step.restart();
        if (i < 10)
            tab.setSpan(middle - (middle - from) * 0.6, middle + (to - middle) * 0.6);
        else
            tab.setSpan(from + (i % 2 ? shift : -shift), to + (i % 2 ? shift : -shift));
        render(tab);
        redraws << step.elapsed();
    }
    step.restart();
    tab.setSpan(-1e18, 1e18);
    render(tab);
    redraws << step.elapsed();
    std::sort(redraws.begin(), redraws.end());
    std::printf("redraw after a zoom or a pan: median %lld ms, worst %lld ms (%lld redraws)\n",
                static_cast<long long>(redraws.at(redraws.size() / 2)),
                static_cast<long long>(redraws.last()), static_cast<long long>(redraws.size()));
    std::printf("resident memory: %.1f MiB with the chart shown, %.1f MiB before the file was "
                "chosen; peak of the whole run %.1f MiB (archiving the full memory first)\n",
                residentMiB(), before, peakKiB() / 1024.0);
    return 0;
}
