#include "waits.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QThread>

namespace Waits {

namespace {

struct Named {
    const char *name;
    int Values::*member;
};

constexpr Named names[] = {
    {"serialWrite", &Values::serialWrite},     {"tcpConnect", &Values::tcpConnect},
    {"tcpWrite", &Values::tcpWrite},           {"gsmSleep", &Values::gsmSleep},
    {"gsmPasses", &Values::gsmPasses},         {"modemSleep", &Values::modemSleep},
    {"blockPause", &Values::blockPause},       {"connectSettle", &Values::connectSettle},
    {"gprsSettle", &Values::gprsSettle},       {"gsmSettle", &Values::gsmSettle},
    {"replyTimeout", &Values::replyTimeout},   {"watchdogDefault", &Values::watchdogDefault},
    {"watchdogRS232", &Values::watchdogRS232}, {"watchdogGPRS", &Values::watchdogGPRS},
    {"watchdogGSM", &Values::watchdogGSM},     {"delayDefault", &Values::delayDefault},
    {"delayRS232", &Values::delayRS232},       {"delayGPRS", &Values::delayGPRS},
    {"delayGSM", &Values::delayGSM},           {"archiveWatch", &Values::archiveWatch},
    {"stationsRefresh", &Values::stationsRefresh}, {"serverConnect", &Values::serverConnect},
    {"serverRetry", &Values::serverRetry},
};

// A sleep looks this often whether its thread was asked to stop.
constexpr int stopCheckMs = 50;

bool stopRequested()
{
    const QThread *thread = QThread::currentThread();
    return thread && thread->isInterruptionRequested();
}

} // namespace

Values &current()
{
    static Values values;
    return values;
}

bool setFromText(const QString &text, QString *error)
{
    Values values = current();
    for (const QString &item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = item.section(QLatin1Char('='), 0, 0).trimmed();
        bool ok = false;
        const int ms = item.section(QLatin1Char('='), 1).trimmed().toInt(&ok);
        const Named *found = nullptr;
        for (const Named &n : names) {
            if (name == QLatin1String(n.name))
                found = &n;
        }
        if (!found || !ok || ms < 0) {
            *error = QStringLiteral("\"%1\": expected name=milliseconds with a name of Waits::Values")
                         .arg(item.trimmed());
            return false;
        }
        values.*(found->member) = ms;
    }
    current() = values;
    return true;
}

void sleep(int ms)
{
    for (int left = ms; left > 0 && !stopRequested(); left -= stopCheckMs)
        QThread::msleep(static_cast<unsigned long>(qMin(left, stopCheckMs)));
}

bool waitWhile(const volatile bool *flag, int step, int passes)
{
    for (int i = 0; i < passes && *flag && !stopRequested(); ++i) {
        sleep(step);
        QCoreApplication::processEvents();
    }
    return !*flag;
}

} // namespace Waits
