#ifndef DEBUGLOG_H
#define DEBUGLOG_H

#include <QDateTime>
#include <QFile>
#include <QString>

// The per-run trace of the working form: log/debug_<yyyyMMddhhmm>.txt next to
// the executable, one numbered, time-stamped line per protocol step, flushed
// after every line so that the file is complete when the program dies.
//
//   DebugLog log;
//   log.open(Paths::logDir(), QDateTime::currentDateTime());
//   log.write(QStringLiteral("(04) OKU form.cpp:120"));
//   // [000001][07.12.2026 14:03:09] (04) OKU form.cpp:120
class DebugLog
{
public:
    DebugLog() = default;
    DebugLog(const DebugLog &) = delete;
    DebugLog &operator=(const DebugLog &) = delete;

    // Creates the folder when missing (one level) and opens the file of that
    // minute, replacing a file of the same name. On failure the diagnostic
    // line goes to the debug output and later lines are lost.
    bool open(const QString &logDir, const QDateTime &now);
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    QString fileName() const { return m_file.fileName(); }

    // "[%06d][dd.MM.yyyy hh:mm:ss] message\n", UTF-8. The line number is
    // counted across the whole process, also while no file is open.
    void write(const QString &message);

    static QString fileNameFor(const QString &logDir, const QDateTime &when);
    static QByteArray formatLine(int number, const QDateTime &when, const QString &message);

    // The name of a source file without its folders, for the tags of trace
    // lines ("(04) OKU %1:%2").
    static QString sourceName(const char *file);

private:
    QFile m_file;
};

// A trace text with its source place: VLX_TRACE("(04) OKU %1:%2").
#define VLX_TRACE(format) \
    QString::fromUtf8(format).arg(DebugLog::sourceName(__FILE__)).arg(__LINE__)

#endif // DEBUGLOG_H
