#ifndef MESSAGECAPTURE_H
#define MESSAGECAPTURE_H

#include <QStringList>
#include <QtGlobal>

// Records every line written to the toolkit's debug output while it lives, so
// that tests can check the links' diagnostic lines exactly.
class MessageCapture
{
public:
    MessageCapture()
    {
        lines().clear();
        m_previous = qInstallMessageHandler(&MessageCapture::record);
    }
    ~MessageCapture() { qInstallMessageHandler(m_previous); }
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

    static QStringList &lines()
    {
        static QStringList all;
        return all;
    }
    static QStringList startingWith(const QString &prefix)
    {
        QStringList found;
        for (const QString &line : lines()) {
            if (line.startsWith(prefix))
                found << line;
        }
        return found;
    }

private:
    static void record(QtMsgType, const QMessageLogContext &, const QString &message)
    {
        lines() << message;
    }

    QtMessageHandler m_previous = nullptr;
};

#endif // MESSAGECAPTURE_H
