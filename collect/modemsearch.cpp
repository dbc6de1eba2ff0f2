// The modem finder's search and preparation without its dialog, for a
// collector's GSM station whose station file names no modem.
#include "modemsearch.h"

#include "findmodemthread.h"
#include "waits.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSerialPort>
#include <QThread>
#include <QTimer>

namespace ModemSearch {

QString findModem(QString *error)
{
    FindModemThread search;
    QString port;
    int baudRateType = 0;
    QEventLoop loop;
    QObject::connect(&search, &FindModemThread::modemFound, &loop, [&](const QString &name, int type) {
        if (port.isEmpty()) {
            port = name;
            baudRateType = type;
        }
    });
    QObject::connect(&search, &FindModemThread::finished, &loop, &QEventLoop::quit);
    // A stop request of this thread reaches the search, which then ends.
    QTimer stopCheck;
    QObject::connect(&stopCheck, &QTimer::timeout, &loop, [&] {
        if (QThread::currentThread()->isInterruptionRequested())
            search.requestInterruption();
    });
    stopCheck.start(100);
    search.start();
    loop.exec();
    search.wait();
    // Reports queued before the thread ended.
    QCoreApplication::sendPostedEvents(&loop);

    if (port.isEmpty()) {
        *error = QCoreApplication::translate("StationVisit", "Modem bulunamadı");
        return QString();
    }
    if (!prepareModem(port, FindModemThread::speedOf(baudRateType))) {
        *error = QCoreApplication::translate("StationVisit", "Modem hazırlanamadı!");
        return QString();
    }
    return port;
}

bool prepareModem(const QString &port, int speed)
{
    QSerialPort serial;
    serial.setPortName(port);
    serial.setBaudRate(speed);
    serial.setFlowControl(QSerialPort::NoFlowControl);
    serial.setParity(QSerialPort::NoParity);
    serial.setDataBits(QSerialPort::Data8);
    serial.setStopBits(QSerialPort::OneStop);
    if (!serial.open(QIODevice::ReadWrite))
        return false;
    // Pseudo-terminals and some adapters have no RTS line.
    if (!serial.setRequestToSend(true))
        serial.clearError();
    serial.write("ATL+IPR=115200\r");
    serial.flush();
    if (serial.bytesToWrite() > 0)
        serial.waitForBytesWritten(Waits::current().serialWrite);
    Waits::sleep(Waits::current().modemSleep);
    for (int i = 0; i < 50; ++i) {
        if (!serial.waitForReadyRead(20))
            break;
    }
    const bool ok = FindModemThread::answerIsOk(serial.readAll());
    serial.close();
    return ok;
}

} // namespace ModemSearch
