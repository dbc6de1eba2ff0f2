#ifndef PTYPAIR_H
#define PTYPAIR_H

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair for serial tests: the code under test opens
// slavePath() like a serial port, the test plays the device on the master.
class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }

    // Writes all bytes to the master side (what the device sends).
    bool write(const QByteArray &bytes);
    // Reads what reached the master side (what the program sent), waiting up
    // to timeoutMs for the first byte and collecting until the line is quiet.
    QByteArray read(int timeoutMs = 2000, int quietMs = 50);
    // Reads until `count` bytes arrived or the time ran out.
    QByteArray readCount(int count, int timeoutMs = 2000);
    // Waits until the program has read everything written to it so far;
    // false when that did not happen within timeoutMs.
    bool waitUntilTaken(int timeoutMs = 2000);

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};

#endif // PTYPAIR_H
