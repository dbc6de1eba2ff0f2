#ifndef TIMERTHREAD_H
#define TIMERTHREAD_H

#include <QObject>
#include <QTimer>

// The one-shot delay that goes with every block request: a request counts as
// unanswered at the first watchdog tick after the delay ran out. Starting it
// while it runs does not extend it; starting it after its time has passed
// begins a new delay even when the end of the old one has not been delivered
// yet; stop() cuts it short without finished().
// A single-shot timer does what a sleeping thread would, without a thread.
class TimerThread : public QObject
{
    Q_OBJECT
public:
    explicit TimerThread(QObject *parent = nullptr);

    void setDelay(int ms) { m_delayMs = ms; }
    int delay() const { return m_delayMs; }
    void start();
    void stop();
    bool isRunning() const { return m_timer.isActive(); }
    // Milliseconds until the delay ends; -1 when it does not run.
    int remainingTime() const { return m_timer.remainingTime(); }

signals:
    void finished();

private:
    QTimer m_timer;
    int m_delayMs = 900;
};

#endif // TIMERTHREAD_H
