#include "timerthread.h"

TimerThread::TimerThread(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TimerThread::finished);
}

void TimerThread::start()
{
    // A delay that still runs is not extended. One whose time has passed
    // while the user-interface thread was blocked (the pause before a block
    // reply is handled) has ended, even though its timeout is not delivered
    // yet: a new delay begins, and the stale end no longer marks the request
    // that is about to be sent as unanswered.
    if (m_timer.isActive() && m_timer.remainingTime() > 0)
        return;
    m_timer.start(m_delayMs);
}

void TimerThread::stop() { m_timer.stop(); }
