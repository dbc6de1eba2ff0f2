// The "İstasyonlar" page: what the collection log says of each station of the
// station file, a station that is down standing out, and "Şimdi topla"
// collecting one station from a simulator process, never over the line the
// working form holds open.
#include "archiveconnection.h"
#include "boxspy.h"
#include "collectionlog.h"
#include "paths.h"
#include "simprocess.h"
#include "stationdecisions.h"
#include "stationsession.h"
#include "stationstab.h"
#include "testenv.h"
#include "waits.h"

#include <QPushButton>
#include <QSettings>
#include <QTreeWidget>
#include <QtTest>

namespace {

void writeStations(const QString &path, const QString &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

VisitReport visit(const QString &station, bool ok, int minutesAgo)
{
    VisitReport v;
    v.station = station;
    v.finished = QDateTime::currentDateTimeUtc().addSecs(-60 * minutesAgo);
    v.started = v.finished.addSecs(-20);
    v.ok = ok;
    v.attempts = ok ? 1 : 3;
    if (ok) {
        v.newest = QDateTime(QDate(2025, 5, 19), QTime(11, 45), Qt::UTC);
        v.level = 12.345f;
        v.temperature = 9.5;
        v.clockDriftSeconds = -3;
    } else {
        v.error = QStringLiteral("Bağlantı sağlanamadı!");
    }
    return v;
}

} // namespace

class TestStationsTab : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void rows_showWhatTheLogSays_downStandsOut();
    void collectNow_refusedOnTheFormsLine_thenCollectsTheStation();

private:
    QString m_dir;
};

void TestStationsTab::initTestCase()
{
    m_dir = TestEnv::freshAppDir(QStringLiteral("tst_stationstab"));
    QVERIFY(QDir().mkpath(Paths::exportDir()));
    Waits::Values &w = Waits::current();
    w.blockPause = 1;
    w.connectSettle = 0;
    w.gprsSettle = 0;
    w.watchdogGPRS = 100;
    w.delayGPRS = 10000;
    w.tcpConnect = 5000;
}

void TestStationsTab::rows_showWhatTheLogSays_downStandsOut()
{
    const QString file = m_dir + QStringLiteral("/log-stations.ini");
    writeStations(file, QStringLiteral("[Baraj]\nlink = gprs\nhost = 10.0.0.1\n[Kuyu]\nlink = rs232\nport = COM9\n"
                                       "[Yeni]\nlink = gsm\nphone = 5551234\n"));
    {
        QString error;
        CollectionLog log(openArchiveConnection(QStringLiteral("seed"), &error));
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(log.record(visit(QStringLiteral("Baraj"), true, 30)));
        QVERIFY(log.record(visit(QStringLiteral("Kuyu"), true, 400)));
        for (int minutesAgo : {300, 200, 100})
            QVERIFY(log.record(visit(QStringLiteral("Kuyu"), false, minutesAgo)));
    }
    closeArchiveConnection(QStringLiteral("seed"));

    StationsTab tab;
    tab.setStationFile(file);
    QCOMPARE(QSettings(Paths::settingsFile(), QSettings::IniFormat).value("Stations/file").toString(), file);
    auto *list = tab.findChild<QTreeWidget *>(QStringLiteral("lstIstasyonlar"));
    QVERIFY(list);
    QCOMPARE(list->topLevelItemCount(), 3);
    const QTreeWidgetItem *ok = list->topLevelItem(0);
    QCOMPARE(ok->text(0), QStringLiteral("Baraj"));
    QCOMPARE(ok->text(1), QStringLiteral("Normal"));
    QCOMPARE(ok->text(3), QStringLiteral("19.05.2025 11:45"));
    QCOMPARE(ok->text(4), QStringLiteral("12.35"));
    QCOMPARE(ok->text(5), QStringLiteral("9.50"));
    QCOMPARE(ok->text(6), QStringLiteral("-3"));
    QVERIFY(ok->background(0) != StationsTab::downBackground());

    const QTreeWidgetItem *down = list->topLevelItem(1);
    QCOMPARE(down->text(1), QStringLiteral("Ulaşılamıyor"));
    QCOMPARE(down->text(7), QStringLiteral("Bağlantı sağlanamadı!"));
    QCOMPARE(down->background(0).color(), StationsTab::downBackground());
    QVERIFY(down->font(0).bold());
    // Its last success is kept, with what it brought.
    QCOMPARE(down->text(4), QStringLiteral("12.35"));
    QCOMPARE(list->topLevelItem(2)->text(1), QStringLiteral("Gecikmeli"));
}

void TestStationsTab::collectNow_refusedOnTheFormsLine_thenCollectsTheStation()
{
    SimProcess sim({"--days", "2", "--serial", "TAB-1", "--tcp", "0"});
    const QString port = sim.waitForLine(QStringLiteral("^TCP 127\\.0\\.0\\.1:(\\d+)$"));
    QVERIFY(!sim.waitForLine(QStringLiteral("^(READY)$")).isEmpty());
    const QString file = m_dir + QStringLiteral("/sim-stations.ini");
    writeStations(file, QStringLiteral("[Uzak]\nlink = gprs\nhost = 127.0.0.1:%1\nretries = 0\n").arg(port));

    DeclineEverything answers;
    StationSession formSession(&answers);
    formSession.connectGprs(QStringLiteral("127.0.0.1"), quint16(port.toUInt()));
    QTRY_VERIFY(formSession.isOpen());

    BoxSpy boxes;
    StationsTab tab;
    tab.setFormSession(&formSession);
    tab.setStationFile(file);
    auto *list = tab.findChild<QTreeWidget *>(QStringLiteral("lstIstasyonlar"));
    auto *collect = tab.findChild<QPushButton *>(QStringLiteral("btnSimdiTopla"));
    list->setCurrentItem(list->topLevelItem(0));
    QVERIFY(collect->isEnabled());
    boxes.expect(MessageBox::Critical, QStringLiteral("Şimdi topla"));
    collect->click();
    BOXSPY_VERIFY(boxes);
    QVERIFY(boxes.shown().last().text.contains(QStringLiteral("gprs 127.0.0.1:%1").arg(port)));
    QVERIFY(!tab.isCollecting());

    formSession.disconnectLink();
    boxes.expect(MessageBox::Information, QStringLiteral("Şimdi topla"), QStringLiteral("Uzak toplandı."));
    collect->click();
    QVERIFY(tab.isCollecting());
    QVERIFY(!collect->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!tab.isCollecting(), 60000);
    BOXSPY_VERIFY(boxes);
    QVERIFY(boxes.shown().last().informativeText.contains(QStringLiteral("Arşive eklenen satır")));
    QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("Normal"));
    QVERIFY(!list->topLevelItem(0)->text(3).isEmpty());
    QVERIFY(collect->isEnabled());
}

QTEST_MAIN(TestStationsTab)
#include "tst_stationstab.moc"
