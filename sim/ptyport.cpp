#include "ptyport.h"

#include <QFile>
#include <QSocketNotifier>

PtyPort::PtyPort(QObject *parent) : QObject(parent) {}

PtyPort::~PtyPort()
{
    close();
}

#ifdef Q_OS_UNIX

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

bool PtyPort::open(const QString &linkPath)
{
    close();
    char name[256] = {};
    termios tio {};
    ::cfmakeraw(&tio);
    tio.c_cflag |= CREAD | CLOCAL;
    if (::openpty(&m_master, &m_slave, name, &tio, nullptr) != 0) {
        m_master = m_slave = -1;
        return false;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_slavePath = QString::fromLocal8Bit(name);
    // The slave stays open here as well: without it the master reads EIO
    // whenever the program has closed its side, and the terminal would
    // forget its raw settings between the program's sessions.

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyPort::onReadable);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyPort::flush);

    if (!linkPath.isEmpty()) {
        QFile::remove(linkPath);
        if (!QFile::link(m_slavePath, linkPath)) {
            close();
            return false;
        }
        m_linkPath = linkPath;
    }
    return true;
}

void PtyPort::close()
{
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    if (!m_linkPath.isEmpty()) {
        QFile::remove(m_linkPath);
        m_linkPath.clear();
    }
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_master = m_slave = -1;
    m_slavePath.clear();
    m_outgoing.clear();
}

void PtyPort::write(const QByteArray &bytes)
{
    if (m_master < 0)
        return;
    m_outgoing += bytes;
    flush();
}

void PtyPort::flush()
{
    while (!m_outgoing.isEmpty()) {
        const ssize_t n = ::write(m_master, m_outgoing.constData(), size_t(m_outgoing.size()));
        if (n > 0) {
            m_outgoing.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;   // EAGAIN: the terminal's buffer is full for now
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_outgoing.isEmpty());
}

void PtyPort::onReadable()
{
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    if (!bytes.isEmpty())
        emit bytesReceived(bytes);
}

#else

// Pseudo-terminals are a Unix device; elsewhere the simulator offers TCP only.
bool PtyPort::open(const QString &) { return false; }
void PtyPort::close() {}
void PtyPort::write(const QByteArray &) {}
void PtyPort::flush() {}
void PtyPort::onReadable() {}

#endif
