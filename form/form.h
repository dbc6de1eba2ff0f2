#ifndef FORM_H
#define FORM_H

#include "debuglog.h"
#include "records.h"
#include "stationdecisions.h"
#include "stationoutcome.h"
#include "stationsession.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

namespace Ui {
class Form;
}
class AKTBlokItem;
class AbakReader;
class GPRSCommunication;
class GSMCommunication;
class QProgressDialog;
class QTimer;
class RS232Communication;
class TimerThread;
class VLXFile;

// The working form, hosted by the main window as its central widget: the
// view of one StationSession. Each button calls one operation of the
// session; the session's records, progress and outcomes are mapped here to
// the widgets, the progress dialog and the message boxes, and the questions
// an operation puts to a person are answered with the form's dialogs.
class Form : public QWidget, private StationDecisions
{
    Q_OBJECT

public:
    explicit Form(QWidget *parent = nullptr);
    ~Form() override;

    // Connection control
    void resetFields();
    void updateLinkButtons();
    void fillPortList();
    void loadSettings();
    void saveSettings();
    void fillLanguageList();

    StationSession *session() const { return m_session; }

    // The protocol's steps, passed to the session (tests drive them directly).
    void sendOKU() { m_session->sendOKU(); }
    void sendDKU() { m_session->sendDKU(); }
    void sendALO() { m_session->sendALO(); }
    void sendVER();
    void dispatchResponse(const QByteArray &message) { m_session->dispatchResponse(message); }
    void handleBlockReply(const QByteArray &message) { m_session->handleBlockReply(message); }
    void analyseDownload(const QByteArray &data) { m_session->analyseDownload(data); }
    bool showParameters(const QByteArray &message) { return m_session->readParameterRecord(message); }
    void showFileList(const QByteArray &reply) { m_session->readFileList(reply); }
    bool showAlarms(const QByteArray &message) { return m_session->readAlarmRecord(message); }

    // State, for tests
    int pendingCommand() const { return m_session->pendingCommand(); }
    int retryCount() const { return m_session->retryCount(); }
    int currentBlock() const { return m_session->currentBlock(); }
    int blockCount() const { return m_session->blockCount(); }
    QByteArray transferData() const { return m_session->transferData(); }
    QString transferMessage() const { return m_session->transferMessage(); }
    const QList<AKTBlokItem *> &blockPlan() const { return m_session->blockPlan(); }
    const std::vector<std::unique_ptr<VLXFile>> &fileList() const { return m_session->fileList(); }
    bool isAbakLoaded() const { return m_abakLoaded; }
    QString currentLanguage() const { return m_currentLanguage; }
    QProgressDialog *progressDialog() const { return m_progress; }
    QTimer *watchdogTimer() const { return m_session->watchdogTimer(); }
    TimerThread *timerThread() const { return m_session->timerThread(); }
    RS232Communication *rs232() const { return m_session->rs232(); }
    GPRSCommunication *gprs() const { return m_session->gprs(); }
    GSMCommunication *gsm() const { return m_session->gsm(); }
    QString debugFileName() const { return m_debugLog.fileName(); }

    // "host", "host:port" or "[v6-address]:port"; a plain host keeps port 80.
    static bool splitHostPort(const QString &text, QString *host, quint16 *port);

signals:
    void debuging(QString message);
    // A download was stored in the station archive: its files' archive ids,
    // in memory order.
    void archiveChanged(QList<qint64> fileIds);
    void closeApplication();

public slots:
    void onDebuging(QString message);
    void onPrgDlgCancelled();

    void on_btnRS232_clicked();
    void on_btnGPRS_clicked();
    void on_btnGSM_clicked();
    void on_txtHost_returnPressed();
    void on_txtPhone_returnPressed();
    void on_btnCikis_clicked();
    void on_cmbLanguage_currentIndexChanged(int index);

    void on_btnParametreOku_clicked();
    void on_btnVeriAktar_clicked();
    void on_btnParametreYukle_clicked();
    void on_btnSifreDegistir_clicked();
    void on_btnSensorSifirla_clicked();
    void on_btnAlarmKur_clicked();

    void on_cbAlrCh1_toggled(bool checked);
    void on_cbAlrCh2_toggled(bool checked);
    void on_cmbAlrRole1_currentIndexChanged(int index);

protected:
    void changeEvent(QEvent *event) override;

private:
    // What the session tells, on the screen.
    void onLinkClosed();
    void onLinkError(int error, const QString &errorString, const QString &kept);
    void showBusy(const QString &label);
    void hideProgress();
    void onTransferPlanned(const TransferProgress &progress);
    void onTransferProgressed(const TransferProgress &progress);
    void onAnalysisProgress(const QString &label, qint64 value, qint64 maximum);
    void onAnalysisEnded();
    void onParametersRead(const ParameterRecord &record);
    void onFileListRead(const FileListRecord &record);
    void onAlarmsRead(const AlarmRecord &record);
    void onFinished(StationSession::Operation operation, const StationOutcome &outcome);
    void tell(const StationNotice &notice);

    QString transferLabelText(const TransferProgress &progress) const;
    void updateFlow();
    AlarmSettings alarmSettingsFromWidgets() const;
    void forgetRatingTable();

    // The questions of an operation, answered with the form's dialogs.
    std::optional<QString> password() override;
    std::optional<std::pair<QString, QString>> passwordChange() override;
    int storedDataAction() override;
    bool sensorOutOfWater() override;

    Ui::Form *ui;
    DebugLog m_debugLog;
    StationSession *m_session = nullptr;
    QProgressDialog *m_progress = nullptr;

    std::unique_ptr<AbakReader> m_abakReader;
    bool m_abakLoaded = false;

    QString m_currentLanguage;
    bool m_languageListReady = false;
    bool m_connectFailed = false;   // the last connect did not come about
};

#endif // FORM_H
