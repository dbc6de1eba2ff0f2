#ifndef STATIONSTAB_H
#define STATIONSTAB_H

#include "stationfile.h"
#include "stationstatus.h"
#include "visitreport.h"

#include <QColor>
#include <QList>
#include <QWidget>

#include <memory>

namespace Ui {
class StationsTab;
}
class CollectionLog;
class Collector;
class QTimer;
class StationSession;
struct TransferProgress;

// The "İstasyonlar" page: the stations of the collector's station file and
// what the collection log says of each (state, last success, newest record
// with its level and temperature, clock drift, last error), so that a
// station that is down is seen at a glance. "Şimdi topla" runs one visit of
// the chosen station through the collector's own machinery, in a thread of
// its own, while the page shows its progress; never over a link the working
// form holds open.
//
// The station file's path is kept in settings.ini (Stations/file). While
// shown, the page reads the log again every Waits::stationsRefresh ms: a
// collector elsewhere writes it.
class StationsTab : public QWidget
{
    Q_OBJECT
public:
    explicit StationsTab(QWidget *parent = nullptr);
    ~StationsTab() override;

    // The working form's session, whose open link "Şimdi topla" must not use.
    void setFormSession(const StationSession *session) { m_formSession = session; }

    QString stationFile() const;
    void setStationFile(const QString &path);
    // Reads the station file and the collection log again.
    void refresh();
    bool isCollecting() const { return m_collector != nullptr; }

    // How a row of a station that is down stands out.
    static QColor downBackground() { return QColor(255, 196, 196); }

public slots:
    void on_btnIstasyonDosyasiSec_clicked();
    void on_btnSimdiTopla_clicked();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString stateText(StationState state) const;
    void showFileProblem(const QString &text);
    void showRow(const StationConfig &station, const StationHistory &history, StationState state);
    void showProgress(const TransferProgress &progress);
    void onAttemptFailed(const QString &station, int attempt, const QString &error, int retryIn);
    void onVisitFinished(const VisitReport &visit);
    void onCollectionEnded();

    std::unique_ptr<Ui::StationsTab> ui;
    const StationSession *m_formSession = nullptr;
    QList<StationConfig> m_stations;
    Collector *m_collector = nullptr;
    QTimer *m_refreshTimer = nullptr;
    QString m_logConnection;
    std::unique_ptr<CollectionLog> m_log;
    bool m_fileProblemShown = false;
};

#endif // STATIONSTAB_H
