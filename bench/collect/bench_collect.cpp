// bench_collect: vlxcollect collecting a network of simulated GPRS stations
// with the logger's real 300 ms pause per block, first from an empty data
// root, then after every logger recorded one more day, with --parallel 4 and
// with --parallel 1. Each run prints its wall time, the sum of its visits'
// floors (block requests x 300 ms), the floor of its largest parallel lane
// (the visits' floors spread over the lanes as evenly as they go) and the
// collector's peak memory.
//
//   bench_collect [stations] [days] [--product-waits]
//
// The connection settles before and after opening a TCP link (2 s and 5 s
// in the product) are not blocks and not part of the floor; they are left
// out unless --product-waits keeps every wait of the product.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr double pauseSeconds = 0.3;

QString binDir() { return QCoreApplication::applicationDirPath(); }

int fail(const QString &what)
{
    std::fprintf(stderr, "bench_collect: %s\n", qPrintable(what));
    return 1;
}

// A simulator serving one image on a TCP port (0: any free one).
struct Sim {
    std::unique_ptr<QProcess> process;
    QString port;

    bool start(const QStringList &arguments)
    {
        process = std::make_unique<QProcess>();
        process->start(binDir() + QStringLiteral("/vlxlogger-sim"), arguments);
        static const QRegularExpression tcp(QStringLiteral("^TCP 127\\.0\\.0\\.1:(\\d+)$"));
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 60000) {
            while (process->canReadLine()) {
                const QString line = QString::fromUtf8(process->readLine()).trimmed();
                const QRegularExpressionMatch m = tcp.match(line);
                if (m.hasMatch())
                    port = m.captured(1);
                if (line == QLatin1String("READY"))
                    return !port.isEmpty();
            }
            if (!process->waitForReadyRead(100) && process->state() == QProcess::NotRunning)
                return false;
        }
        return false;
    }
    void stop()
    {
        if (!process)
            return;
        process->terminate();
        if (!process->waitForFinished(5000))
            process->kill();
        process->waitForFinished();
        // Lines the simulator wrote are not read; the pipe is dropped with it.
        process.reset();
    }
};

long highWaterKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

struct RunFigures {
    double wallSeconds = 0;
    int visits = 0;
    int ok = 0;
    qint64 requests = 0;
    qint64 newRows = 0;
    double sumFloor = 0;
    double laneFloor = 0;
    long peakKiB = 0;
    int exitCode = -1;
};

// The visits' floors spread over `lanes` lanes, the longest first onto the
// lane that ends first: the largest lane is the least a run can take.
double laneFloor(std::vector<double> floors, int lanes)
{
    std::sort(floors.rbegin(), floors.rend());
    std::vector<double> lane(std::size_t(std::max(1, lanes)), 0.0);
    for (double f : floors)
        *std::min_element(lane.begin(), lane.end()) += f;
    return *std::max_element(lane.begin(), lane.end());
}

RunFigures collect(const QString &stations, const QString &root, int parallel, bool productWaits)
{
    RunFigures figures;
    QProcess collector;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VLXLOGGER_DATA_ROOT"), root);
    if (!productWaits)
        env.insert(QStringLiteral("VLXLOGGER_WAITS"), QStringLiteral("connectSettle=0,gprsSettle=0"));
    collector.setProcessEnvironment(env);
    collector.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer clock;
    clock.start();
    collector.start(binDir() + QStringLiteral("/vlxcollect"),
                    {QStringLiteral("--stations"), stations, QStringLiteral("--once"), QStringLiteral("--json"),
                     QStringLiteral("--parallel"), QString::number(parallel)});
    if (!collector.waitForStarted())
        return figures;
    const qint64 pid = collector.processId();
    while (!collector.waitForFinished(50))
        figures.peakKiB = std::max(figures.peakKiB, highWaterKiB(pid));
    figures.wallSeconds = double(clock.elapsed()) / 1000.0;
    figures.exitCode = collector.exitCode();

    std::vector<double> floors;
    for (const QByteArray &line : collector.readAllStandardOutput().split('\n')) {
        const QJsonObject visit = QJsonDocument::fromJson(line).object();
        if (visit.isEmpty())
            continue;
        ++figures.visits;
        if (visit.value(QStringLiteral("result")).toString() == QLatin1String("ok"))
            ++figures.ok;
        const int requests = visit.value(QStringLiteral("requests")).toInt();
        figures.requests += requests;
        figures.newRows += qint64(visit.value(QStringLiteral("new_rows")).toDouble());
        floors.push_back(requests * pauseSeconds);
    }
    for (double f : floors)
        figures.sumFloor += f;
    figures.laneFloor = laneFloor(floors, parallel);
    return figures;
}

void print(const char *name, const RunFigures &f)
{
    std::printf("%-22s %2d/%-2d %8lld %9lld %8.1f %10.1f %8.2f %11.1f %8.2f %9.1f\n", name, f.ok, f.visits,
                static_cast<long long>(f.requests), static_cast<long long>(f.newRows), f.wallSeconds, f.sumFloor,
                f.sumFloor > 0 ? f.wallSeconds / f.sumFloor : 0.0, f.laneFloor,
                f.laneFloor > 0 ? f.wallSeconds / f.laneFloor : 0.0, double(f.peakKiB) / 1024.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const bool productWaits = arguments.removeAll(QStringLiteral("--product-waits")) > 0;
    const int count = arguments.size() > 0 ? arguments.at(0).toInt() : 10;
    const int days = arguments.size() > 1 ? arguments.at(1).toInt() : 7;
    if (count <= 0 || days <= 0)
        return fail(QStringLiteral("usage: bench_collect [stations] [days] [--product-waits]"));

    QTemporaryDir scratch;
    if (!scratch.isValid())
        return fail(QStringLiteral("no scratch folder"));
    const QDir dir(scratch.path());

    std::printf("bench_collect: %d GPRS stations, %d days of 15-minute records each, 300 ms per block%s\n", count,
                days, productWaits ? ", every wait of the product" : ", without the connection settles");
    std::printf("%-22s %5s %8s %9s %8s %10s %8s %11s %8s %9s\n", "run", "ok", "requests", "new rows", "wall s",
                "sum floor", "wall/sum", "lane floor", "wall/lane", "peak MiB");

    for (int parallel : {4, 1}) {
        const QString series = dir.filePath(QStringLiteral("parallel-%1").arg(parallel));
        QDir().mkpath(series);
        std::vector<Sim> sims(static_cast<std::size_t>(count));
        QString file;
        for (int i = 0; i < count; ++i) {
            const QString serial = QStringLiteral("BENCH-%1").arg(i + 1, 2, 10, QLatin1Char('0'));
            const QString image = series + QStringLiteral("/%1.bin").arg(serial);
            QProcess write;
            write.start(binDir() + QStringLiteral("/vlxlogger-sim"),
                        {QStringLiteral("--days"), QString::number(days), QStringLiteral("--serial"), serial,
                         QStringLiteral("--station-no"), QString::number(9001 + i), QStringLiteral("--write-image"),
                         image});
            if (!write.waitForFinished(60000) || write.exitCode() != 0)
                return fail(QStringLiteral("the simulator did not write %1").arg(image));
            if (!sims[std::size_t(i)].start({QStringLiteral("--image"), image, QStringLiteral("--serial"), serial,
                                             QStringLiteral("--tcp"), QStringLiteral("0")}))
                return fail(QStringLiteral("the simulator of %1 did not start").arg(serial));
            file += QStringLiteral("[%1]\nlink = gprs\nhost = 127.0.0.1:%2\nretries = 0\n\n")
                        .arg(serial, sims[std::size_t(i)].port);
        }
        const QString stations = series + QStringLiteral("/stations.ini");
        QFile out(stations);
        if (!out.open(QIODevice::WriteOnly) || out.write(file.toUtf8()) < 0)
            return fail(QStringLiteral("cannot write %1").arg(stations));
        out.close();
        const QString root = series + QStringLiteral("/Tevo_Data");

        const QByteArray empty = QStringLiteral("parallel %1, empty").arg(parallel).toLatin1();
        print(empty.constData(), collect(stations, root, parallel, productWaits));

        // A day later: every logger on its own port again, one day more in memory.
        for (int i = 0; i < count; ++i) {
            Sim &sim = sims[std::size_t(i)];
            const QString port = sim.port;
            const QString serial = QStringLiteral("BENCH-%1").arg(i + 1, 2, 10, QLatin1Char('0'));
            sim.stop();
            if (!sim.start({QStringLiteral("--image"), series + QStringLiteral("/%1.bin").arg(serial),
                            QStringLiteral("--serial"), serial, QStringLiteral("--tcp"), port,
                            QStringLiteral("--grow-days"), QStringLiteral("1")}))
                return fail(QStringLiteral("the grown simulator of %1 did not start").arg(serial));
        }
        const QByteArray grown = QStringLiteral("parallel %1, +1 day").arg(parallel).toLatin1();
        print(grown.constData(), collect(stations, root, parallel, productWaits));
        for (Sim &sim : sims)
            sim.stop();
    }
    return 0;
}
