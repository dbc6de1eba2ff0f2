#ifndef SIMPROCESS_H
#define SIMPROCESS_H

#include "testenv.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

// The logger simulator as its own process, as an operator runs it:
// started with its command line, read line by line, stopped (SIGTERM) and
// waited for when it goes.
//
//   SimProcess sim({"--tcp", "0"});
//   const QString port = sim.waitForLine("^TCP 127\\.0\\.0\\.1:(\\d+)$");
inline QString simPath() { return TestEnv::binDir() + QStringLiteral("/vlxlogger-sim"); }

// A running simulator; stopped (SIGTERM) and waited for when it goes.
class SimProcess
{
public:
    explicit SimProcess(const QStringList &arguments)
    {
        m_process.setProgram(simPath());
        m_process.setArguments(arguments);
        m_process.start();
    }
    ~SimProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
            m_process.waitForFinished(2000);
        }
    }

    // Waits for a stdout line matching the pattern; returns its first capture.
    QString waitForLine(const QString &pattern, int timeoutMs = 10000)
    {
        const QRegularExpression re(pattern);
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            while (m_process.canReadLine()) {
                const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
                m_lines << line;
                const QRegularExpressionMatch m = re.match(line);
                if (m.hasMatch())
                    return m.captured(1);
            }
            if (m_process.state() == QProcess::NotRunning)
                break;
            m_process.waitForReadyRead(50);
            QCoreApplication::processEvents();
        }
        return QString();
    }
    QProcess &process() { return m_process; }
    const QStringList &lines() const { return m_lines; }

private:
    QProcess m_process;
    QStringList m_lines;
};

#endif // SIMPROCESS_H
