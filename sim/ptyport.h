#ifndef PTYPORT_H
#define PTYPORT_H

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

// The simulator's serial port: the master side of a pseudo-terminal. The
// program under test opens slavePath() as if it were a serial port.
// POSIX only, like the simulator's other device code.
class PtyPort : public QObject
{
    Q_OBJECT
public:
    explicit PtyPort(QObject *parent = nullptr);
    ~PtyPort() override;

    // Creates the pair in raw mode; with a link path, also a symbolic link
    // to the slave there (an existing file of that name is replaced).
    bool open(const QString &linkPath = QString());
    void close();
    bool isOpen() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    QString linkPath() const { return m_linkPath; }

    // Queues bytes for the line; what the terminal cannot take now goes out
    // as soon as it can.
    void write(const QByteArray &bytes);
    qsizetype pendingWrite() const { return m_outgoing.size(); }

signals:
    void bytesReceived(QByteArray bytes);

private:
    void onReadable();
    void flush();

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_linkPath;
    QByteArray m_outgoing;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
};

#endif // PTYPORT_H
