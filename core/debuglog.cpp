#include "debuglog.h"

#include <QDebug>
#include <QDir>

#include <atomic>

namespace {
std::atomic<int> lineCounter{1};
}

QString DebugLog::fileNameFor(const QString &logDir, const QDateTime &when)
{
    return QStringLiteral("%1/debug_%2.txt").arg(logDir, when.toString(QStringLiteral("yyyyMMddhhmm")));
}

QByteArray DebugLog::formatLine(int number, const QDateTime &when, const QString &message)
{
    QByteArray line = QByteArray::number(number).rightJustified(6, '0');
    line.prepend('[');
    line += "][";
    line += when.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")).toUtf8();
    line += "] ";
    line += message.toUtf8();
    line += '\n';
    return line;
}

QString DebugLog::sourceName(const char *file)
{
    const QString path = QString::fromUtf8(file);
    const qsizetype cut = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

bool DebugLog::open(const QString &logDir, const QDateTime &now)
{
    close();
    QDir dir(logDir);
    if (!dir.exists())
        QDir().mkdir(logDir);
    m_file.setFileName(fileNameFor(logDir, now));
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qDebug().noquote() << QStringLiteral("Debug dosyası oluşturulamadı!");
        return false;
    }
    return true;
}

void DebugLog::close()
{
    if (m_file.isOpen())
        m_file.close();
}

void DebugLog::write(const QString &message)
{
    const int number = lineCounter.fetch_add(1);
    if (!m_file.isOpen())
        return;
    m_file.write(formatLine(number, QDateTime::currentDateTime(), message));
    m_file.flush();
}
