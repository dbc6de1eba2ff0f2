#ifndef FINDMODEMTHREAD_H
#define FINDMODEMTHREAD_H

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QThread>

#include <optional>

class QSerialPort;

// The modem search, in its own thread: every port is tried at 9600 and at
// 115200 baud with "at\r", and each port and speed whose device answers "OK"
// is reported by modemFound(portName, baudRateType), 1 for 9600, 2 for 115200.
// A modem that answers at both speeds is reported twice.
//
//   auto *search = new FindModemThread(this);
//   connect(search, &FindModemThread::modemFound, this, &Me::onModemFound);
//   connect(search, &FindModemThread::searchComplete, this, &Me::onSearchComplete);
//   search->start();
//   ...
//   search->stop();      // before the receiver goes away
//
// The thread touches no object of the user-interface thread; it reports only
// by its signals, which reach their receivers queued.
class FindModemThread : public QThread
{
    Q_OBJECT
public:
    // Speed codes carried by modemFound and stored with the finder's entries.
    enum BaudRateType { Baud9600 = 1, Baud115200 = 2 };

    explicit FindModemThread(QObject *parent = nullptr);
    ~FindModemThread() override;

    // The ports a search goes through: those the system lists (printer ports
    // left out), then those named on the command line.
    static QStringList portsToSearch();
    // Replaces that list (tests); std::nullopt restores it.
    static void setPortsToSearch(std::optional<QStringList> ports);

    static int speedOf(int baudRateType);
    // Whether a modem's answer to "at\r" says it is there.
    static bool answerIsOk(const QByteArray &answer);

    // Asks a running search to end at its next check and waits until it has.
    void stop();

signals:
    void portChanged(QString portName);
    void modemFound(QString portName, int baudRateType);
    void searchComplete();

protected:
    void run() override;

private:
    void probe(QSerialPort &port, const QString &name, int baudRateType);
    // Sleeps, ending early when a stop was asked; false in that case.
    bool pause(int ms);
};

#endif // FINDMODEMTHREAD_H
