#include "ptypair.h"

#include <QElapsedTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    // Raw on both sides: no echo, no CR/LF translation, bytes as they are.
    termios tio {};
    if (::tcgetattr(m_slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(m_slave, TCSANOW, &tio);
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePath = QString::fromLocal8Bit(name);
    // The slave stays open here too, so that the pair survives the program
    // closing and reopening its side.
}

PtyPair::~PtyPair()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

bool PtyPair::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    QElapsedTimer timer;
    timer.start();
    while (done < bytes.size() && timer.elapsed() < 5000) {
        const ssize_t n = ::write(m_master, bytes.constData() + done,
                                  static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else {
            pollfd pfd {m_master, POLLOUT, 0};
            ::poll(&pfd, 1, 10);
        }
    }
    return done == bytes.size();
}

QByteArray PtyPair::read(int timeoutMs, int quietMs)
{
    QByteArray result;
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        const int wait = result.isEmpty() ? timeoutMs - static_cast<int>(timer.elapsed()) : quietMs;
        if (wait <= 0)
            break;
        pollfd pfd {m_master, POLLIN, 0};
        if (::poll(&pfd, 1, wait) <= 0)
            break;
        char buffer[4096];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        result.append(buffer, n);
    }
    return result;
}

bool PtyPair::waitUntilTaken(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        // What the device sent and the program has not read yet waits in the
        // slave's input queue, which this side shares.
        int waiting = 0;
        if (::ioctl(m_slave, FIONREAD, &waiting) != 0 || waiting == 0)
            return true;
        if (timer.elapsed() >= timeoutMs)
            return false;
        ::usleep(2000);
    }
}

QByteArray PtyPair::readCount(int count, int timeoutMs)
{
    QByteArray result;
    QElapsedTimer timer;
    timer.start();
    while (result.size() < count && timer.elapsed() < timeoutMs) {
        pollfd pfd {m_master, POLLIN, 0};
        if (::poll(&pfd, 1, 20) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0)
            result.append(buffer, n);
    }
    return result;
}
