#include "timerthread.h"

TimerThread::TimerThread(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TimerThread::finished);
}

void TimerThread::start()
{
    if (m_timer.isActive())
        return;
    m_timer.start(m_delayMs);
}

void TimerThread::stop() { m_timer.stop(); }
