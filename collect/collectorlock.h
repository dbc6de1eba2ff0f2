#ifndef COLLECTORLOCK_H
#define COLLECTORLOCK_H

#include <QLockFile>
#include <QString>

// One collector per data root: two would visit the same loggers at once and
// both would lose. The lock is a file in the data root holding the process
// id; it goes when the collector ends, and one left by a killed collector is
// recognised as stale (its process is gone) and taken over.
//
//   CollectorLock lock;
//   if (!lock.acquire()) { print(lock.errorText()); return lock.heldByOther() ? 3 : 2; }
class CollectorLock
{
public:
    CollectorLock();   // <data root>/vlxcollect.lock

    bool acquire();
    void release() { m_lock.unlock(); }
    // After a failed acquire: another live collector holds it (else the data
    // root could not be written).
    bool heldByOther() const { return m_heldByOther; }
    QString errorText() const { return m_error; }
    QString fileName() const { return m_fileName; }

private:
    QString m_fileName;
    QLockFile m_lock;
    bool m_heldByOther = false;
    QString m_error;
};

#endif // COLLECTORLOCK_H
