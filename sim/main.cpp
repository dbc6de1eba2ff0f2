// vlxlogger-sim: the field data logger (and optionally its GSM modem) on a
// pseudo-terminal and/or a TCP port, for trying the program without a device.
//
//   vlxlogger-sim --pty --link /tmp/ttyVLX        serial cable
//   vlxlogger-sim --tcp 8080                       GPRS
//   vlxlogger-sim --modem --link /tmp/ttyModem     GSM data call
//   vlxlogger-sim --files 3 --write-image mem.bin  memory image only
//   vlxlogger-sim --image mem.bin --grow-days 7    the same memory a week later
//   vlxlogger-sim --pty --days 30 --rating-table   the demo of scripts/run
//
// Exit status: 0 done, 2 usage or I/O error.

#include "demorating.h"
#include "paths.h"
#include "simoptions.h"
#include "simserver.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHostAddress>
#include <QTextStream>

#include <QSocketNotifier>

#include <csignal>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// SIGINT and SIGTERM end the event loop through a pipe, so that the
// pseudo-terminal's link is removed on the way out.
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

void quitOnSignals(QCoreApplication &app)
{
    if (::pipe(signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
}
#else
void quitOnSignals(QCoreApplication &) {}
#endif

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vlxlogger-sim"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    SimOptions options;
    QString error;
    if (!options.parse(QCoreApplication::arguments(), &error)) {
        err << "vlxlogger-sim: " << error << Qt::endl;
        return 2;
    }
    if (options.helpShown) {
        out << options.helpText << Qt::flush;
        return 0;
    }

    SimServer server;
    QObject::connect(&server, &SimServer::message, &app, [&out](const QString &line) {
        out << line << Qt::endl;   // endl flushes: scripts read these lines as they come
    });
    if (!options.apply(&server, &error)) {
        err << "vlxlogger-sim: " << error << Qt::endl;
        return 2;
    }
    if (options.ratingTable) {
        SimLogger *logger = server.logger();
        const QString path = Paths::ratingDir() + QLatin1Char('/') + logger->stationNo() + QStringLiteral(".abk");
        const QDateTime flood(QDate::currentDate().addDays(-10), QTime(6, 0), Qt::UTC);
        bool written = false;
        if (!DemoRating::writeIfMissing(path, logger->stationName(), logger->stationNo(), flood, &written, &error)) {
            err << "vlxlogger-sim: " << error << Qt::endl;
            return 2;
        }
        out << "RATING " << path << (written ? "" : " kept") << Qt::endl;
    }
    if (options.growDays > 0)
        out << "IMAGE " << options.imageFile << ' ' << server.logger()->usedBytes() << Qt::endl;
    if (!options.writeImage.isEmpty())
        out << "IMAGE " << options.writeImage << ' ' << server.logger()->usedBytes() << Qt::endl;
    if (!options.pty && options.tcpPort < 0) {
        if (!options.writeImage.isEmpty() || options.growDays > 0)
            return 0;
        err << "vlxlogger-sim: nothing to listen on; use --pty, --tcp or --modem" << Qt::endl;
        return 2;
    }
    if (options.pty && !server.listenPty(options.link)) {
        err << "vlxlogger-sim: cannot create the pseudo-terminal" << Qt::endl;
        return 2;
    }
    if (options.tcpPort >= 0
        && !server.listenTcp(quint16(options.tcpPort), QHostAddress(options.address))) {
        err << "vlxlogger-sim: cannot listen on " << options.address << ':' << options.tcpPort
            << Qt::endl;
        return 2;
    }
    quitOnSignals(app);
    out << "READY" << Qt::endl;
    return app.exec();
}
