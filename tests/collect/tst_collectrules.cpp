// The collector's plain rules, without a process or a logger: the clock drift
// read from the parameter record, a station's state from its history, and
// the schedule that decides which visits may run at once.
#include "collectschedule.h"
#include "stationstatus.h"
#include "stationvisit.h"

#include <QtTest>

namespace {

const QDateTime noon(QDate(2025, 5, 19), QTime(12, 0), Qt::LocalTime);

StationConfig station(const QString &name, const QString &lane, int interval = 60)
{
    StationConfig s;
    s.name = name;
    s.link = StationConfig::Rs232;
    s.port = lane;
    s.intervalMinutes = interval;
    return s;
}

} // namespace

class TestCollectRules : public QObject
{
    Q_OBJECT
private slots:
    void clockDrift_loggerMinusComputer_data();
    void clockDrift_loggerMinusComputer();
    void stationState_downLateOk_data();
    void stationState_downLateOk();
    void schedule_oneVisitPerLane_parallelLimit_retryFreesItsPlace();
    void schedule_service_nextVisitOneIntervalAfterTheLastStarted();
};

void TestCollectRules::clockDrift_loggerMinusComputer_data()
{
    QTest::addColumn<QString>("deviceTime");
    QTest::addColumn<int>("drift");   // -99999: no time
    QTest::newRow("same") << "19/05/25 12:00:00" << 0;
    QTest::newRow("logger ahead") << "19/05/25 12:01:30" << 90;
    QTest::newRow("logger behind a day") << "18/05/25 12:00:00" << -86400;
    QTest::newRow("two-digit year 00 is 2000") << "19/05/00 12:00:00"
                                               << -int(QDate(2000, 5, 19).daysTo(QDate(2025, 5, 19)) * 86400);
    QTest::newRow("no day") << "31/02/25 12:00:00" << -99999;
    QTest::newRow("cut short") << "19/05/25 12:0" << -99999;
    QTest::newRow("empty") << "" << -99999;
}

void TestCollectRules::clockDrift_loggerMinusComputer()
{
    QFETCH(QString, deviceTime);
    QFETCH(int, drift);
    const std::optional<qint64> found = clockDrift(deviceTime, noon);
    QCOMPARE(found.has_value(), drift != -99999);
    if (found)
        QCOMPARE(*found, qint64(drift));
}

void TestCollectRules::stationState_downLateOk_data()
{
    QTest::addColumn<int>("successMinutesAgo");   // -1: never
    QTest::addColumn<int>("failures");
    QTest::addColumn<QString>("state");
    QTest::newRow("success within two intervals") << 119 << 0 << "ok";
    QTest::newRow("two failures since") << 100 << 2 << "ok";
    QTest::newRow("no success for over two intervals") << 121 << 1 << "late";
    QTest::newRow("never succeeded") << -1 << 0 << "late";
    QTest::newRow("three failures") << 10 << 3 << "down";
    QTest::newRow("never succeeded, failing") << -1 << 5 << "down";
}

void TestCollectRules::stationState_downLateOk()
{
    QFETCH(int, successMinutesAgo);
    QFETCH(int, failures);
    QFETCH(QString, state);
    StationHistory history;
    if (successMinutesAgo >= 0)
        history.lastSuccess = noon.addSecs(-60 * successMinutesAgo);
    history.failures = failures;
    QCOMPARE(stateName(stationState(history, 60, noon)), state);
}

void TestCollectRules::schedule_oneVisitPerLane_parallelLimit_retryFreesItsPlace()
{
    // A and B share a port; C, D, E have their own; two at a time.
    CollectSchedule schedule({station("A", "p1"), station("B", "p1"), station("C", "p2"), station("D", "p3"),
                              station("E", "p4")},
                             true, 2, noon);
    QCOMPARE(schedule.start(noon), QList<int>({0, 2}));
    QCOMPARE(schedule.start(noon), QList<int>());
    // A fails and waits a minute to retry: B may use the port meanwhile.
    schedule.attemptEnded(0, noon, 60);
    QVERIFY(schedule.inVisit(0));
    QCOMPARE(schedule.start(noon), QList<int>({1}));
    schedule.attemptEnded(1, noon, -1);
    schedule.attemptEnded(2, noon, -1);
    QCOMPARE(schedule.start(noon.addSecs(30)), QList<int>({3, 4}));
    QCOMPARE(schedule.nextDue(noon.addSecs(30)), noon.addSecs(60));
    schedule.attemptEnded(3, noon, -1);
    QCOMPARE(schedule.start(noon.addSecs(60)), QList<int>({0}));
    schedule.attemptEnded(0, noon.addSecs(61), -1);
    schedule.attemptEnded(4, noon.addSecs(61), -1);
    QVERIFY(schedule.done());

    // A modem search waits for the serial lines, which wait for it; TCP does not.
    StationConfig search = station("S", "-");
    search.link = StationConfig::Gsm;
    StationConfig tcp = station("T", "-");
    tcp.link = StationConfig::Gprs;
    tcp.host = QStringLiteral("10.0.0.1");
    CollectSchedule searching({station("A", "p1"), search, tcp, station("B", "p2")}, true, 4, noon);
    QCOMPARE(searching.start(noon), QList<int>({0, 2, 3}));
    searching.attemptEnded(0, noon, -1);
    QCOMPARE(searching.start(noon), QList<int>());
    searching.attemptEnded(3, noon, -1);
    QCOMPARE(searching.start(noon), QList<int>({1}));
}

void TestCollectRules::schedule_service_nextVisitOneIntervalAfterTheLastStarted()
{
    CollectSchedule schedule({station("A", "p1", 10), station("B", "p2", 30)}, false, 4, noon);
    QCOMPARE(schedule.start(noon), QList<int>({0, 1}));
    schedule.attemptEnded(0, noon.addSecs(60), -1);
    QCOMPARE(schedule.start(noon.addSecs(599)), QList<int>());
    QCOMPARE(schedule.nextDue(noon.addSecs(60)), noon.addSecs(600));
    QCOMPARE(schedule.start(noon.addSecs(600)), QList<int>({0}));
    // B's visit overran its interval: it is due again at once.
    schedule.attemptEnded(1, noon.addSecs(2000), -1);
    QCOMPARE(schedule.start(noon.addSecs(2000)), QList<int>({1}));
    QVERIFY(!schedule.done());
}

QTEST_GUILESS_MAIN(TestCollectRules)
#include "tst_collectrules.moc"
