// Decodes, exports and archives a download as large as the logger's whole
// memory (9,863,168 bytes, some 1.2 million records, 2.3 million archive
// rows) the way the program does (the compact records, the text export, the
// station archive in an SQLite file on disk), and sets each figure beside a
// yardstick measured in the same run: `gzip -1` over the same image for
// decoding and export, a Python script's sqlite3.executemany for the
// archive. The peak memory of each use is that of a vlxdecode run of its own.
//
//   bench_decodeexport [rounds]     (default 2; rounds after the first add nothing)

#include "benchsupport.h"
#include "compactdownload.h"
#include "decodedownload.h"
#include "stationarchive.h"
#include "textexport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
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


// Wall milliseconds of the best of `runs` runs of a child process.
struct ChildRun {
    qint64 ms = -1;
    double peakMiB = -1;   // from vlxdecode's --stats, when it printed them
    QString failure;
};

ChildRun bestChild(const QString &program, const QStringList &arguments, int runs,
                   const std::function<void()> &before = {})
{
    ChildRun best;
    for (int i = 0; i < runs; ++i) {
        if (before)
            before();
        QProcess child;
        child.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer clock;
        clock.start();
        child.start(program, arguments);
        if (!child.waitForFinished(600000) || child.exitStatus() != QProcess::NormalExit
            || child.exitCode() != 0) {
            best.failure = program + QStringLiteral(": ") + QString::fromLocal8Bit(child.readAllStandardError());
            return best;
        }
        const qint64 ms = clock.elapsed();
        const QString err = QString::fromLocal8Bit(child.readAllStandardError());
        const QRegularExpressionMatch peak =
            QRegularExpression(QStringLiteral("peak memory ([0-9.]+) MiB")).match(err);
        if (best.ms < 0 || ms < best.ms)
            best.ms = ms;
        if (peak.hasMatch())
            best.peakMiB = std::max(best.peakMiB, peak.captured(1).toDouble());
    }
    return best;
}

// The archive rows of a file as the baseline script reads them.
bool dumpRows(const CompactFile &file, const QString &path)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QByteArray text;
    text.reserve(1 << 20);
    qint64 day = -1;
    QByteArray dayText;
    char line[96];
    for (const ArchiveRow &row : StationArchive::rowsOf(file)) {
        const qint64 d = row.msecs / 86400000;
        const int s = int(row.msecs % 86400000 / 1000);
        if (d != day) {
            day = d;
            dayText = QDate::fromJulianDay(d + 2440588).toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
        }
        const int n = std::snprintf(line, sizeof line, "%s\t%02d:%02d:%02d\t%d\t%.9g\t%d\t%d\n",
                                    dayText.constData(), s / 3600, s / 60 % 60, s % 60, row.type,
                                    double(row.value), row.channel, row.timeSet ? 1 : 0);
        text.append(line, n);
        if (text.size() > (1 << 20) - 96) {
            out.write(text);
            text.clear();
        }
    }
    return out.write(text) == text.size() && out.flush();
}

double ratio(qint64 a, qint64 b) { return b > 0 ? double(a) / double(b) : 0.0; }

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? qMax(1, atoi(argv[1])) : 2;
    constexpr int runs = 3;
    QTemporaryDir root;
    qputenv("VLXLOGGER_DATA_ROOT", root.path().toUtf8());
    QDir().mkpath(root.path() + QStringLiteral("/VLXLogger"));
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const QString decoder = QStringLiteral(VLX_DECODE_EXE);
    const QString image = root.path() + QStringLiteral("/image.bin");
    const QString scratch = root.path() + QStringLiteral("/scratch.txt");

    qsizetype expected = 0;
    QByteArray data = fullMemory(&expected);
    {
        QFile out(image);
        if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size()) {
            std::printf("cannot write %s\n", qPrintable(image));
            return 1;
        }
    }
    std::printf("image                %lld bytes, %lld records, valid: %s\n",
                static_cast<long long>(data.size()), static_cast<long long>(expected),
                isValidDownload(data) ? "yes" : "no");

    // Decoding and export against gzip -1 over the same bytes: both read the
    // image file and write their output once; best of three each.
    const ChildRun gzip = bestChild(QStringLiteral("gzip"), {QStringLiteral("-1"), QStringLiteral("-c"), image}, runs);
    qint64 inProcess = -1;
    qint64 decodeBest = -1;
    qint64 exportBest = -1;
    qsizetype records = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        QFile in(image);
        in.open(QIODevice::ReadOnly);
        const QByteArray bytes = in.readAll();
        const CompactDownload decoded = decodeCompact(bytes);
        const qint64 decodeMs = clock.elapsed();
        const CompactFile *file = decoded.newest();
        if (!file || !TextExport::save(*file, scratch)) {
            std::printf("decode or export failed\n");
            return 1;
        }
        const qint64 ms = clock.elapsed();
        records = qsizetype(file->records.size());
        if (inProcess < 0 || ms < inProcess) {
            inProcess = ms;
            decodeBest = decodeMs;
            exportBest = ms - decodeMs;
        }
    }
    const ChildRun alone = bestChild(decoder, {image, QStringLiteral("-o"), scratch, QStringLiteral("--stats")}, runs);
    // gzip -1 over the export's bytes too: the image is mostly erased memory
    // and compresses at several times the speed of ordinary data.
    const ChildRun gzipText = bestChild(QStringLiteral("gzip"), {QStringLiteral("-1"), QStringLiteral("-c"), scratch}, runs);
    if (!gzip.failure.isEmpty() || !alone.failure.isEmpty() || !gzipText.failure.isEmpty()) {
        std::printf("%s%s%s\n", qPrintable(gzip.failure), qPrintable(alone.failure), qPrintable(gzipText.failure));
        return 1;
    }
    std::printf("gzip -1              %lld ms over the image (%.1f MB), %lld ms over the export (%.1f MB)\n",
                static_cast<long long>(gzip.ms), data.size() / 1e6, static_cast<long long>(gzipText.ms),
                QFileInfo(scratch).size() / 1e6);
    std::printf("decode + export      %lld ms in process (decode %lld, export %lld): %.2f x gzip -1 of the image, "
                "%.2f x of the export\n",
                static_cast<long long>(inProcess), static_cast<long long>(decodeBest),
                static_cast<long long>(exportBest), ratio(inProcess, gzip.ms), ratio(inProcess, gzipText.ms));
    std::printf("vlxdecode -o         %lld ms wall: %.2f x gzip -1 of the image, %.2f x of the export, "
                "peak memory %.1f MiB\n",
                static_cast<long long>(alone.ms), ratio(alone.ms, gzip.ms), ratio(alone.ms, gzipText.ms),
                alone.peakMiB);

    // The archive: the program's rounds in this process, the first into an
    // empty database.
    const QString dbFile = root.path() + QStringLiteral("/data.db");
    if (!BenchSupport::openArchive(dbFile)) {
        std::printf("cannot open the archive\n");
        return 1;
    }
    const QString baselineDb = root.path() + QStringLiteral("/baseline.db");
    QFile::copy(dbFile, baselineDb);   // the empty archive, for the script
    qint64 firstTotal = 0;
    qint64 firstArchive = 0;
    qint64 rows = 0;
    for (int round = 1; round <= rounds; ++round) {
        QElapsedTimer total;
        total.start();
        const CompactDownload decoded = decodeCompact(data);
        const qint64 decodeMs = total.elapsed();
        QElapsedTimer step;
        step.start();
        const bool written = TextExport::save(*decoded.newest(), scratch);
        const qint64 exportMs = step.restart();
        StationArchive archive;
        const ArchiveResult stored = archive.store(decoded.files);
        const qint64 archiveMs = step.elapsed();
        const qint64 totalMs = total.elapsed();
        if (round == 1) {
            firstTotal = totalMs;
            firstArchive = archiveMs;
            rows = stored.rowsAdded;
        }
        std::printf("round %d              decode %lld ms, export %lld ms (%s), archive %lld ms (%s, %lld rows "
                    "added), total %lld ms\n",
                    round, static_cast<long long>(decodeMs), static_cast<long long>(exportMs),
                    written ? "written" : "FAILED", static_cast<long long>(archiveMs),
                    stored.ok ? "stored" : qPrintable(stored.error), static_cast<long long>(stored.rowsAdded),
                    static_cast<long long>(totalMs));
    }
    std::printf("database             %.1f MB\n", QFileInfo(dbFile).size() / 1e6);
    if (records != expected)
        std::printf("  MISMATCH: %lld records decoded, %lld expected\n", static_cast<long long>(records),
                    static_cast<long long>(expected));

    const QString fresh = root.path() + QStringLiteral("/fresh.db");
    const ChildRun stored = bestChild(decoder, {image, QStringLiteral("-o"), scratch, QStringLiteral("--db"), fresh,
                                                QStringLiteral("--stats")},
                                      runs, [&] {
                                          for (const char *suffix : {"", "-wal", "-shm"})
                                              QFile::remove(fresh + QLatin1String(suffix));
                                          QDir(fresh + QStringLiteral(".series")).removeRecursively();
                                      });
    if (!stored.failure.isEmpty()) {
        std::printf("%s\n", qPrintable(stored.failure));
        return 1;
    }
    std::printf("vlxdecode --db       %lld ms wall into an empty archive, peak memory %.1f MiB\n",
                static_cast<long long>(stored.ms), stored.peakMiB);

    // The baseline: the same rows by sqlite3.executemany.
    const QString rowsFile = root.path() + QStringLiteral("/rows.tsv");
    const CompactDownload decoded = decodeCompact(data);
    data.clear();
    if (!dumpRows(*decoded.newest(), rowsFile)) {
        std::printf("cannot write %s\n", qPrintable(rowsFile));
        return 1;
    }
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral(VLX_BENCH_SOURCE "/executemany_baseline.py"), rowsFile, baselineDb});
    if (!python.waitForFinished(600000) || python.exitCode() != 0) {
        std::printf("python3 baseline failed: %s\n", python.readAllStandardError().constData());
        return 1;
    }
    const QStringList answer = QString::fromLatin1(python.readAllStandardOutput()).split(QLatin1Char(' '));
    const qint64 pythonMs = qint64(answer.value(0).toDouble() * 1000.0);
    std::printf("python executemany   %lld ms for %s rows (%s in the table; ours: %lld)\n",
                static_cast<long long>(pythonMs), qPrintable(answer.value(1)), qPrintable(answer.value(2).trimmed()),
                static_cast<long long>(rows));
    std::printf("archive write        %.2f x faster than the baseline; decode + export + archive %.2f x faster\n",
                ratio(pythonMs, firstArchive), ratio(pythonMs, firstTotal));
    return 0;
}
