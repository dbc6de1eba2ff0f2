#ifndef SIMOUTPUT_H
#define SIMOUTPUT_H

#include "simlogger.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

// Sends reply pieces to one transport in order, each after its pause, and,
// when a baud rate is set, no faster than an 8N1 line of that rate would
// carry them (10 bits per byte).
class SimOutput : public QObject
{
    Q_OBJECT
public:
    explicit SimOutput(QObject *parent = nullptr);

    void setWriter(std::function<void(const QByteArray &)> writer) { m_writer = std::move(writer); }
    void setBaud(int baud) { m_baud = baud; }
    int baud() const { return m_baud; }

    void enqueue(const QList<SimPiece> &pieces);
    void clear();
    bool isIdle() const { return m_queue.isEmpty(); }

signals:
    // Everything queued has been written.
    void drained();

private:
    void pump();

    std::function<void(const QByteArray &)> m_writer;
    QList<SimPiece> m_queue;
    QTimer m_timer;
    int m_baud = 0;
};

#endif // SIMOUTPUT_H
