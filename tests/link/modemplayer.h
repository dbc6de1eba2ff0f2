#ifndef MODEMPLAYER_H
#define MODEMPLAYER_H

#include "ptypair.h"

#include <QByteArray>
#include <QByteArrayList>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

// Plays an AT modem on the master side of a pseudo-terminal, in a thread of
// its own, so that it answers even while the code under test blocks its
// thread (the finder's preparation sleeps without processing events).
//
// Every line the program writes (up to its CR) is passed to the script; the
// script returns the reads to send back, in order. A read is written only
// once the program has taken in the one before, and after a short gap, so
// that each arrives as a read of its own however busy the machine is.
class ModemPlayer
{
public:
    using Script = std::function<QByteArrayList(const QByteArray &line)>;

    ModemPlayer(PtyPair &pty, Script script) : m_pty(pty), m_script(std::move(script))
    {
        m_thread = std::thread([this] { play(); });
    }
    ~ModemPlayer()
    {
        m_stop = true;
        m_thread.join();
    }
    ModemPlayer(const ModemPlayer &) = delete;
    ModemPlayer &operator=(const ModemPlayer &) = delete;

    // Every line received so far, without its CR.
    QByteArrayList lines() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lines;
    }
    // Every byte received so far.
    QByteArray received() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received;
    }
    int count(const QByteArray &line) const { return static_cast<int>(lines().count(line)); }

    // An answer the device sends on its own.
    void send(const QByteArray &bytes) { m_pty.write(bytes); }

private:
    void play()
    {
        QByteArray pending;
        while (!m_stop) {
            const QByteArray bytes = m_pty.read(20, 5);
            if (bytes.isEmpty())
                continue;
            pending += bytes;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_received += bytes;
            }
            qsizetype end;
            while ((end = pending.indexOf('\r')) >= 0) {
                const QByteArray line = pending.left(end);
                pending.remove(0, end + 1);
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_lines << line;
                }
                const QByteArrayList reads = m_script(line);
                for (int i = 0; i < reads.size(); ++i) {
                    if (i > 0) {
                        m_pty.waitUntilTaken();
                        std::this_thread::sleep_for(std::chrono::milliseconds(100));
                    }
                    m_pty.write(reads.at(i));
                }
            }
        }
    }

    PtyPair &m_pty;
    Script m_script;
    std::thread m_thread;
    std::atomic<bool> m_stop {false};
    mutable std::mutex m_mutex;
    QByteArrayList m_lines;
    QByteArray m_received;
};

#endif // MODEMPLAYER_H
