#ifndef FORM_H
#define FORM_H

#include "converter.h"
#include "copyplan.h"
#include "debuglog.h"
#include "records.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class Form;
}
class AKTBlokItem;
struct ArchiveResult;
struct DecodedDownload;
class AbakReader;
class GPRSCommunication;
class GSMCommunication;
class MemoryCopy;
class QProgressDialog;
class QTimer;
class RS232Communication;
class TimerThread;
class VLXFile;

// The working form, hosted by the main window as its central widget. It owns
// the three links to the logger and drives the logger's command protocol: a
// link button connects, each operation sends its command and every complete
// reply is routed by the code of the awaited answer (pendingCommand).
class Form : public QWidget
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

    // Command senders: trace line, pendingCommand, frame, first open link.
    void sendCommand(const QByteArray &command, bool binaryReply);
    void sendOKU();
    void sendDKU();
    void sendALO();
    void sendVER();

    void dispatchResponse(const QByteArray &message);

    // Decoders of the logger's records into the widgets. False when the
    // record is too short to be read.
    bool showParameters(const QByteArray &message);
    void showFileList(const QByteArray &reply);
    bool showAlarms(const QByteArray &message);

    // Data transfer and its analysis
    bool planTransfer();
    void requestBlock();
    void handleBlockReply(const QByteArray &message);
    void updateTransferLabel();
    void analyseDownload(const QByteArray &data);
    // Writes the decoded files into the station archive, with the progress
    // dialog showing it.
    ArchiveResult archiveDownload(const DecodedDownload &decoded);

    // State, for the operations and for tests
    int pendingCommand() const { return m_pendingCommand; }
    int retryCount() const { return m_retryCount; }
    int currentBlock() const { return m_currentBlock; }
    int blockCount() const { return m_blockCount; }
    QByteArray transferData() const { return m_transferData; }
    QString transferMessage() const { return m_transferMessage; }
    const QList<AKTBlokItem *> &blockPlan() const { return m_blockPlan; }
    const std::vector<std::unique_ptr<VLXFile>> &fileList() const { return m_fileList; }
    bool isAbakLoaded() const { return m_abakLoaded; }
    QString currentLanguage() const { return m_currentLanguage; }
    QProgressDialog *progressDialog() const { return m_progress; }
    QTimer *watchdogTimer() const { return m_watchdogTimer; }
    TimerThread *timerThread() const { return m_timerThread; }
    RS232Communication *rs232() const { return m_rs232; }
    GPRSCommunication *gprs() const { return m_gprs; }
    GSMCommunication *gsm() const { return m_gsm; }
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
    void onDataReceived(QByteArray message);
    void onTimeout();
    void onThreadFinished();
    void onPrgDlgCancelled();
    void onConnectionClosed();
    void onSocketError(int error, QString errorString);

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
    void trace(const QString &line) { emit debuging(line); }
    void setPending(int code) { m_pendingCommand = code; }
    void showBusy(const QString &label);
    void hideProgress();
    void endReadWithShortRecord();
    // The password prompt; a cancel shows the cancel box with that title.
    bool askPassword(const QString &cancelTitle, QString *password);
    void updateFlow();
    AlarmSettings alarmSettingsFromWidgets() const;
    static bool sameAlarmSettings(const AlarmSettings &a, const AlarmSettings &b);
    void startTransfer(const QByteArray &reply);
    void clearBlockPlan();
    // The kept copy of the logger's memory (formcopy.cpp).
    CopyPlan planFromCopy(qint64 usedBytes);
    bool takeBlock(const QByteArray &payload);
    void planWholeMemoryAgain();
    void showPlan(const CopyPlan &plan);
    QString transferLabelText(const QString &packets, const QString &bytes, const QString &timeLeft,
                              const QString &message) const;
    void keepTransferWidth();
    int keptBlocks() const;
    QString keptForNextTry() const;   // the informative line of a box that ends a transfer early
    int plannedBlockNo(int index) const;
    void disconnectGprs();
    void forgetRatingTable();

    Ui::Form *ui;
    DebugLog m_debugLog;

    RS232Communication *m_rs232 = nullptr;
    GPRSCommunication *m_gprs = nullptr;
    GSMCommunication *m_gsm = nullptr;

    QTimer *m_watchdogTimer = nullptr;
    TimerThread *m_timerThread = nullptr;
    QProgressDialog *m_progress = nullptr;

    std::unique_ptr<AbakReader> m_abakReader;
    bool m_abakLoaded = false;
    Converter m_converter;

    int m_pendingCommand = 0;
    bool m_timerExpired = false;
    int m_retryCount = 0;

    QString m_currentLanguage;
    bool m_languageListReady = false;

    // Transfer
    std::vector<std::unique_ptr<VLXFile>> m_fileList;
    QList<AKTBlokItem *> m_blockPlan;
    int m_blockCount = 0;
    int m_currentBlock = 0;
    int m_lastBlockNo = -1;
    QByteArray m_transferData;
    QString m_transferMessage;

    // The kept copy of the logger's memory: what it holds for this logger,
    // where its stable bytes end, and how this transfer uses each block.
    std::unique_ptr<MemoryCopy> m_memoryCopy;
    QString m_copySerial;        // empty: nothing is kept for this transfer
    QByteArray m_copy;
    qint64 m_copyStableEnd = 0;
    CopyPlan m_copyPlan;
    qint64 m_plannedBytes = 0;
    QString m_planNote;          // what the "Mesaj" row says while nothing else is to be said
    bool m_keepingCopy = false;  // this transfer keeps its blocks for the next try
    qint64 m_keptBytes = 0;      // the copy's bytes from address 0 now
    qint64 m_lineBytes = 0;      // the bytes this plan asks the logger for
    QElapsedTimer m_transferClock;

    // The alarm settings last sent, while their read-back is awaited.
    std::optional<AlarmSettings> m_alarmCheck;
};

#endif // FORM_H
