// The one-shot delay that goes with every block request: it is not extended
// while it runs, and a delay whose time passed while the thread was blocked
// (as during the pause before a block reply is handled) does not end the
// delay of the next request.
#include "timerthread.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

class TestTimerThread : public QObject
{
    Q_OBJECT
private slots:
    void start_whileRunning_endsWhenFirstDelayEnds();
    void start_afterDelayPassedWhileBlocked_beginsFullNewDelay();
};

void TestTimerThread::start_whileRunning_endsWhenFirstDelayEnds()
{
    TimerThread delay;
    delay.setDelay(1000);
    QElapsedTimer clock;
    qint64 endedAt = -1;
    connect(&delay, &TimerThread::finished, this, [&] { endedAt = clock.elapsed(); });
    QSignalSpy ended(&delay, &TimerThread::finished);

    clock.start();
    delay.start();
    QThread::msleep(300);   // the user-interface thread busy for part of the delay
    QVERIFY2(clock.elapsed() < 900, "the machine stood still for the whole delay");
    delay.start();
    QVERIFY(delay.isRunning());

    // What is left is what the first start left: at most 700 ms, and the 5 %
    // a coarse timer may move it; extended, it would be about a whole second.
    // A busy machine only leaves less. Nor does the delay end before its time.
    QVERIFY2(delay.remainingTime() <= 800, qPrintable(QString::number(delay.remainingTime())));
    QTRY_COMPARE(ended.count(), 1);
    QVERIFY2(endedAt >= 900, qPrintable(QString::number(endedAt)));
}

void TestTimerThread::start_afterDelayPassedWhileBlocked_beginsFullNewDelay()
{
    TimerThread delay;
    delay.setDelay(500);
    QElapsedTimer clock;
    qint64 endedAt = -1;
    connect(&delay, &TimerThread::finished, this, [&] { endedAt = clock.elapsed(); });
    QSignalSpy ended(&delay, &TimerThread::finished);

    delay.start();
    QThread::msleep(600);   // blocked past the end; the timeout is not delivered yet
    clock.start();
    delay.start();
    QCoreApplication::processEvents();
    QCOMPARE(ended.count(), 0);   // the old delay's end is gone
    QVERIFY(delay.isRunning());

    // A new delay of its own (a coarse timer may end it 5 % early); the
    // stale end would have come at once.
    QTRY_COMPARE(ended.count(), 1);
    QVERIFY2(endedAt >= 400, qPrintable(QString::number(endedAt)));
}

QTEST_GUILESS_MAIN(TestTimerThread)
#include "tst_timerthread.moc"
