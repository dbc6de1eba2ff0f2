#include "findmodemthread.h"

#include "options.h"
#include "rs232connection.h"
#include "waits.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QSerialPort>

namespace {

std::optional<QStringList> &portsOverride()
{
    static std::optional<QStringList> ports;
    return ports;
}

// How often a sleep of the search looks for a stop request.
constexpr int stopCheckMs = 20;

} // namespace

FindModemThread::FindModemThread(QObject *parent) : QThread(parent) {}

FindModemThread::~FindModemThread()
{
    stop();
}

QStringList FindModemThread::portsToSearch()
{
    if (portsOverride())
        return *portsOverride();
    QStringList ports = RS232Connection::availablePorts();
    for (const QString &extra : Options::extraPorts()) {
        if (!ports.contains(extra))
            ports << extra;
    }
    return ports;
}

void FindModemThread::setPortsToSearch(std::optional<QStringList> ports)
{
    portsOverride() = std::move(ports);
}

int FindModemThread::speedOf(int baudRateType)
{
    return baudRateType == Baud115200 ? 115200 : 9600;
}

bool FindModemThread::answerIsOk(const QByteArray &answer)
{
    return answer.contains("OK");
}

void FindModemThread::stop()
{
    requestInterruption();
    wait();
}

void FindModemThread::run()
{
    // The port lives in this thread only: it is made, used and destroyed here.
    QSerialPort port;
    const QStringList names = portsToSearch();
    for (const QString &name : names) {
        if (isInterruptionRequested())
            return;
        emit portChanged(name);
        qDebug() << name;
        probe(port, name, Baud9600);
        if (isInterruptionRequested())
            return;
        probe(port, name, Baud115200);
    }
    if (pause(Waits::current().modemSleep))
        emit searchComplete();
}

void FindModemThread::probe(QSerialPort &port, const QString &name, int baudRateType)
{
    port.setPortName(name);
    port.setBaudRate(speedOf(baudRateType));
    port.setFlowControl(QSerialPort::NoFlowControl);
    port.setParity(QSerialPort::NoParity);
    port.setDataBits(QSerialPort::Data8);
    port.setStopBits(QSerialPort::OneStop);
    // A port that does not open (missing, busy) is passed over silently.
    if (!port.open(QIODevice::ReadWrite)) {
        port.clearError();
        return;
    }
    // Pseudo-terminals and some adapters have no RTS line.
    if (!port.setRequestToSend(true))
        port.clearError();

    port.write("at\r");
    port.flush();
    if (port.bytesToWrite() > 0)
        port.waitForBytesWritten(Waits::current().serialWrite);
    const bool slept = pause(Waits::current().modemSleep);

    // This thread runs no event loop: the port takes in what arrived during
    // the sleep only when asked to. A device that keeps talking is cut off.
    for (int i = 0; i < 50 && !isInterruptionRequested(); ++i) {
        if (!port.waitForReadyRead(stopCheckMs))
            break;
    }
    if (slept && port.bytesAvailable() > 0) {
        const QByteArray answer = port.readAll();
        qDebug() << answer;
        if (answerIsOk(answer)) {
            emit modemFound(name, baudRateType);
            pause(Waits::current().modemSleep);
        }
    }
    port.close();
    port.clearError();
}

bool FindModemThread::pause(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!isInterruptionRequested()) {
        const qint64 left = ms - timer.elapsed();
        if (left <= 0)
            return true;
        Waits::sleep(static_cast<int>(qMin<qint64>(left, stopCheckMs)));
    }
    return false;
}
