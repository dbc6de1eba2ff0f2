#include "simoutput.h"

namespace {
constexpr int PaceStepMs = 10;
}

SimOutput::SimOutput(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SimOutput::pump);
}

void SimOutput::enqueue(const QList<SimPiece> &pieces)
{
    if (pieces.isEmpty())
        return;
    m_queue += pieces;
    if (!m_timer.isActive())
        pump();
}

void SimOutput::clear()
{
    m_queue.clear();
    m_timer.stop();
}

void SimOutput::pump()
{
    while (!m_queue.isEmpty()) {
        SimPiece &front = m_queue.first();
        if (front.pauseMs > 0) {
            m_timer.start(front.pauseMs);
            front.pauseMs = 0;
            return;
        }
        if (m_baud > 0) {
            // One step's worth of bytes, then wait for the line to carry them.
            const qsizetype perStep = qMax<qsizetype>(1, qsizetype(m_baud) / 10 * PaceStepMs / 1000);
            const QByteArray slice = front.bytes.left(perStep);
            front.bytes.remove(0, slice.size());
            if (front.bytes.isEmpty())
                m_queue.removeFirst();
            if (m_writer)
                m_writer(slice);
            const int ms = int(qMax<qint64>(1, slice.size() * 10000LL / m_baud));
            m_timer.start(ms);
            return;
        }
        const QByteArray bytes = front.bytes;
        m_queue.removeFirst();
        if (m_writer)
            m_writer(bytes);
    }
    emit drained();
}
