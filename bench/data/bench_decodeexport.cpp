// Decodes, exports and archives a download as large as the logger's whole
// memory (9,863,168 bytes, some 1.2 million records, 2.3 million archive
// rows) and prints wall time and peak memory of each step. The archive is an
// SQLite file on disk; the first round writes every row, each further round
// is the same download analysed again, which adds none.
//
//   bench_decodeexport [rounds]     (default 2)

#include "benchsupport.h"
#include "decodedownload.h"
#include "stationarchive.h"
#include "vlxfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdio>
#include <cstring>

using BenchSupport::peakKiB;

namespace {

constexpr qsizetype memorySize = 9863168;

void append32(QByteArray &out, quint32 v)
{
    char b[4];
    qToBigEndian(v, b);
    out.append(b, 4);
}

char bcd(int n) { return char(((n / 10) << 4) | (n % 10)); }

void appendTime(QByteArray &out, QDate date, int hour, int minute)
{
    out.append(bcd(date.day())).append(bcd(date.month())).append(bcd(date.year() % 100));
    out.append(bcd(hour)).append(bcd(minute));
}

// One header, then per day: a time stamp, 96 measurements at 15 minutes (one
// in 50 of them NaN, so a missing record) and the day's summary; the rest of
// the memory erased.
QByteArray fullMemory(qsizetype *recordCount)
{
    QByteArray out;
    out.reserve(memorySize);
    out.append("\xDD\xDD\xDD" "Baraj Istasyonu\x02" "1234\x02");
    QDate day(2013, 12, 7);
    appendTime(out, day, 0, 0);
    const char rest[] = "\x00\x15\x02" "Seviye\x02" "Sicaklik\x02" "m\x02" "C\x02";
    out.append(rest, sizeof rest - 1);
    qsizetype records = 0;
    quint32 n = 0;
    constexpr qsizetype dayBytes = 8 + 96 * 8 + 63;
    while (out.size() + dayBytes + 3 <= memorySize) {
        out.append("\xFA\xFA\xFA", 3);
        appendTime(out, day, 0, 0);
        for (int i = 0; i < 96; ++i, ++n) {
            const float level = 100.0f + float(n % 1000) / 100.0f;
            const float temp = 10.0f + float(n % 300) / 30.0f;
            quint32 a, b;
            std::memcpy(&a, &level, 4);
            std::memcpy(&b, &temp, 4);
            append32(out, n % 50 == 49 ? 0x7FC00000u : a);
            append32(out, b);
        }
        out.append("\xF1\xF1\xF1", 3);
        for (int part = 0; part < 4; ++part) {
            appendTime(out, day, 6 * part, 15);
            append32(out, 0x42C80000u + quint32(part));
            append32(out, 0x41200000u);
        }
        append32(out, 0x42C90000u);
        append32(out, 0x41300000u);
        records += 96 + 5;
        day = day.addDays(1);
    }
    out.append(QByteArray(memorySize - out.size(), char(0xFF)));
    *recordCount = records;
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? qMax(1, atoi(argv[1])) : 2;
    QTemporaryDir root;
    qputenv("VLXLOGGER_DATA_ROOT", root.path().toUtf8());
    QDir().mkpath(root.path() + QStringLiteral("/VLXLogger"));
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    if (!BenchSupport::openArchive(root.path() + QStringLiteral("/data.db"))) {
        std::printf("cannot open the archive\n");
        return 1;
    }

    qsizetype expected = 0;
    const QByteArray data = fullMemory(&expected);
    std::printf("download: %lld bytes, %lld records expected, valid: %s\n",
                static_cast<long long>(data.size()), static_cast<long long>(expected),
                isValidDownload(data) ? "yes" : "no");
    std::printf("peak memory after building the download: %.1f MiB\n", peakKiB() / 1024.0);

    for (int round = 1; round <= rounds; ++round) {
        QElapsedTimer total;
        total.start();
        qsizetype reports = 0;
        DecodeCallbacks report;
        report.positionReached = [&](qsizetype) { ++reports; };
        QElapsedTimer step;
        step.start();
        DecodedDownload decoded = decodeDownload(data, report);
        const VLXFile *file = decoded.newest();
        const qint64 decodeMs = step.elapsed();
        step.restart();
        QString error;
        const bool written = file->exportText(&error);
        const qint64 exportMs = step.elapsed();
        const qint64 size = QFileInfo(file->exportPath()).size();
        const qsizetype records = file->records().size();
        step.restart();
        qint64 progressCalls = 0;
        StationArchive archive;
        const ArchiveResult stored =
            archive.store(decoded.files, [&](qint64, qint64) { ++progressCalls; });
        const qint64 archiveMs = step.elapsed();
        step.restart();
        decoded.files.clear();
        const qint64 freeMs = step.elapsed();
        std::printf("round %d: %lld records (%lld position reports), decode %lld ms, export %lld ms "
                    "(%s, %.1f MB), archive %lld ms (%s: %lld rows added, %d files added, "
                    "%lld progress reports, database %.1f MB), free %lld ms, total %lld ms, "
                    "peak memory %.1f MiB\n",
                    round, static_cast<long long>(records), static_cast<long long>(reports),
                    static_cast<long long>(decodeMs), static_cast<long long>(exportMs),
                    written ? "written" : qPrintable(error), size / 1e6,
                    static_cast<long long>(archiveMs),
                    stored.ok ? "stored" : qPrintable(stored.error),
                    static_cast<long long>(stored.rowsAdded), stored.filesAdded,
                    static_cast<long long>(progressCalls),
                    QFileInfo(root.path() + QStringLiteral("/data.db")).size() / 1e6,
                    static_cast<long long>(freeMs), static_cast<long long>(total.elapsed()),
                    peakKiB() / 1024.0);
        if (records != expected)
            std::printf("  MISMATCH: expected %lld records\n", static_cast<long long>(expected));
    }
    return 0;
}
