// The data root's lock for one collector at a time, with the holder named
// when another one has it.
#include "collectorlock.h"

#include "paths.h"

CollectorLock::CollectorLock()
    : m_fileName(Paths::dataRoot() + QStringLiteral("/vlxcollect.lock")), m_lock(m_fileName)
{
    // A collector runs for months: the lock never grows stale with age,
    // only when its process is gone.
    m_lock.setStaleLockTime(0);
}

bool CollectorLock::acquire()
{
    if (m_lock.tryLock(0))
        return true;
    m_heldByOther = m_lock.error() == QLockFile::LockFailedError;
    if (m_heldByOther) {
        qint64 pid = 0;
        QString host;
        QString application;
        m_lock.getLockInfo(&pid, &host, &application);
        m_error = QStringLiteral("another collector (process %1 on %2) holds the data root %3 (%4)")
                      .arg(pid)
                      .arg(host, Paths::dataRoot(), m_fileName);
    } else {
        m_error = QStringLiteral("cannot write the lock file %1: the data root %2 is not writable")
                      .arg(m_fileName, Paths::dataRoot());
    }
    return false;
}
