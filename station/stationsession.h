#ifndef STATIONSESSION_H
#define STATIONSESSION_H

#include "copyplan.h"
#include "records.h"
#include "stationoutcome.h"
#include "upload.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AKTBlokItem;
class GPRSCommunication;
class GSMCommunication;
class MemoryCopy;
class QTimer;
class RS232Communication;
class StationDecisions;
class TimerThread;
class VLXFile;
struct CompactDownload;
struct ArchiveResult;

// One connection to one logger, without a window. Everything the program
// does with a logger happens here: the three links and the one in use, the
// command protocol (every reply routed by the code of the awaited answer,
// the time-out and retries of block requests), the records read, the
// download with the kept copy of the logger's memory, and the analysis of
// what came (raw dump, decoding, text exports, station archive).
//
// The working form is a view of it: it calls one operation per button and
// maps the signals to its widgets and boxes. The collector and the tests
// drive it the same way, without a person; questions for a person go to the
// StationDecisions the caller supplies.
//
//   StationSession session(&decisions);
//   connect(&session, &StationSession::finished, this, &Me::onFinished);
//   session.connectGprs(QStringLiteral("10.1.2.3"), 80);   // then reads the parameters
//   ...                                                    // finished(ReadParameters, ...)
//   session.download();                                    // finished(Download, ...)
//   session.disconnectLink();
//
// One operation at a time: a second one started while one runs is refused
// (finished with Refused), never interleaved; the same one asked for again
// while its answer is awaited starts over.
class StationSession : public QObject
{
    Q_OBJECT
public:
    enum Operation {
        NoOperation,
        Connect,
        ReadParameters,
        Download,
        UploadParameters,
        ChangePassword,
        ZeroSensor,
        SetAlarms
    };
    Q_ENUM(Operation)

    enum Link { NoLink, Rs232Link, GprsLink, GsmLink };

    explicit StationSession(StationDecisions *decisions, QObject *parent = nullptr);
    ~StationSession() override;

    // Connection control. Each opens its link and then reads the parameters
    // (finished(Connect) comes first, finished(ReadParameters) when the read
    // chain ends). The GPRS and GSM connections wait as the logger and the
    // modem need, processing events meanwhile.
    void connectRs232(const QString &port, int baud = 115200);
    void connectGprs(const QString &host, quint16 port);
    void connectGsm(const QString &modemPort, const QString &phone);
    // Closes the open link (a GSM call is hung up); nothing is awaited after.
    void disconnectLink();
    Link openLink() const;
    // What the open link occupies, for callers that must not open a second
    // link to it: "serial:<port>" (the cable, or the GSM modem's port) or
    // "tcp:<host>:<port>"; empty when no link is open.
    QString linkTarget() const;
    bool isOpen() const { return openLink() != NoLink; }
    QStringList availablePorts() const;

    // The operations.
    void readParameters();
    // The used memory; only what the kept copy lacks unless wholeMemory.
    void download(bool wholeMemory = false);
    // The request as the user filled it in; the password, the stored-data
    // action and the clock are added here.
    void uploadParameters(UploadRequest request);
    void changePassword();
    void zeroSensor();
    // Sends the alarm settings and reads them back: confirmed only when the
    // logger holds what was sent.
    void setAlarms(const AlarmSettings &settings);
    // Stops waiting for the logger: later replies are ignored.
    void cancel();

    Operation operation() const { return m_operation; }

    // The protocol's steps, for the operations above and for tests.
    void sendCommand(const QByteArray &command, bool binaryReply);
    void sendOKU();
    void sendDKU();
    void sendALO();
    void sendVER();
    void dispatchResponse(const QByteArray &message);
    void handleBlockReply(const QByteArray &message);
    void analyseDownload(const QByteArray &data);
    // Reading one record: parsed, kept and announced. False when the
    // record is too short to be read.
    bool readParameterRecord(const QByteArray &message);
    void readFileList(const QByteArray &reply);
    bool readAlarmRecord(const QByteArray &message);

    // What was read.
    const std::optional<ParameterRecord> &parameters() const { return m_parameters; }
    const FileListRecord &fileListRecord() const { return m_fileListRecord; }
    const std::vector<std::unique_ptr<VLXFile>> &fileList() const { return m_fileList; }
    const std::optional<AlarmRecord> &alarms() const { return m_alarms; }

    // State, for views and tests.
    int pendingCommand() const { return m_pendingCommand; }
    int retryCount() const { return m_retryCount; }
    int currentBlock() const { return m_currentBlock; }
    int blockCount() const { return m_blockCount; }
    QByteArray transferData() const { return m_transferData; }
    QString transferMessage() const { return m_transferMessage; }
    const QList<AKTBlokItem *> &blockPlan() const { return m_blockPlan; }
    TransferProgress transferProgress() const;
    // Block requests sent since the last download started, repeats and
    // the checks of the kept copy included.
    int blockRequests() const { return m_blockRequests; }
    QTimer *watchdogTimer() const { return m_watchdogTimer; }
    TimerThread *timerThread() const { return m_timerThread; }
    RS232Communication *rs232() const { return m_rs232; }
    GPRSCommunication *gprs() const { return m_gprs; }
    GSMCommunication *gsm() const { return m_gsm; }

    // Where the analysis writes: the station archive's database (the
    // default connection unless set; a collector gives each thread its
    // own) and the raw dump of every download (empty: none).
    void setArchiveDatabase(std::function<QSqlDatabase()> database);
    void setRawDumpFile(const QString &path) { m_rawDumpFile = path; }
    // How long a command other than a block request waits for its answer
    // before its operation fails; 0 waits for ever.
    void setReplyTimeout(int ms);

signals:
    // A line for the debug log, tagged "(NN) ..." as the protocol steps are.
    void trace(const QString &line);
    // A link was opened or closed by an operation.
    void linkChanged();
    // The open link went down on its own; nothing is awaited any more.
    void linkClosed();
    // The GPRS link reported an error; `kept` says what a transfer it broke
    // left for the next try (empty outside a transfer).
    void linkError(int code, const QString &text, const QString &kept);

    // The busy indicator of an operation without a measure of progress.
    void busy(const QString &label);
    void busyLabel(const QString &label);
    void progressHidden();
    // A download: its plan (shown from here on) and every step of it.
    void transferPlanned(const TransferProgress &progress);
    void transferProgressed(const TransferProgress &progress);
    // The analysis of a download: a null label keeps the last one, a
    // negative maximum keeps the range.
    void analysisProgress(const QString &label, qint64 value, qint64 maximum);
    void analysisEnded();

    void parametersRead(const ParameterRecord &record);
    void fileListRead(const FileListRecord &record);
    void alarmsRead(const AlarmRecord &record);
    void installTimeFound(const QDateTime &installTime);
    // A download was stored in the station archive: its files' archive ids,
    // in memory order.
    void archiveChanged(const QList<qint64> &fileIds);

    void finished(StationSession::Operation operation, const StationOutcome &outcome);

private slots:
    void onDataReceived(QByteArray message);
    void onTimeout();
    void onThreadFinished();
    void onReplyTimeout();
    void onConnectionClosed();
    void onSocketError(int error, QString errorString);

private:
    bool begin(Operation operation, const QString &title);
    void finish(Operation operation, StationOutcome outcome);
    void finish(Operation operation, StationOutcome::Result result, StationNotice::Kind kind,
                const QString &title, const QString &text, const QString &details = QString());
    void forgetAwaited();
    void routeGprs(bool on);
    void endReadWithShortRecord();
    void startTransfer(const QByteArray &reply);
    bool planTransfer();
    void showPlan(const CopyPlan &plan);
    void requestBlock();
    void reportTransfer();
    QString widestTransferMessage() const;
    CopyPlan planFromCopy(qint64 usedBytes);
    bool takeBlock(const QByteArray &payload);
    void planWholeMemoryAgain();
    int plannedBlockNo(int index) const;
    int keptBlocks() const;
    QString keptForNextTry() const;
    void clearBlockPlan();
    ArchiveResult archiveDownload(const CompactDownload &decoded);
    static bool holdsSettings(const AlarmRecord &record, const AlarmSettings &sent);

    StationDecisions *m_decisions;
    RS232Communication *m_rs232 = nullptr;
    GPRSCommunication *m_gprs = nullptr;
    GSMCommunication *m_gsm = nullptr;
    QTimer *m_watchdogTimer = nullptr;
    TimerThread *m_timerThread = nullptr;
    QTimer *m_replyTimer = nullptr;

    Operation m_operation = NoOperation;
    int m_pendingCommand = 0;
    bool m_timerExpired = false;
    int m_retryCount = 0;

    std::optional<ParameterRecord> m_parameters;
    FileListRecord m_fileListRecord;
    std::optional<AlarmRecord> m_alarms;
    // The alarm settings last sent, while their read-back is awaited.
    std::optional<AlarmSettings> m_alarmCheck;

    // Transfer
    bool m_wholeMemory = false;
    std::vector<std::unique_ptr<VLXFile>> m_fileList;
    QList<AKTBlokItem *> m_blockPlan;
    int m_blockCount = 0;
    int m_currentBlock = 0;
    int m_lastBlockNo = -1;
    int m_blockRequests = 0;
    QByteArray m_transferData;
    QString m_transferMessage;
    QElapsedTimer m_transferClock;
    qint64 m_lineBytes = 0;      // the bytes this plan asks the logger for

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

    std::function<QSqlDatabase()> m_archiveDatabase;
    QString m_rawDumpFile;
    QString m_linkTarget;        // set by each connect, for linkTarget()
};

#endif // STATIONSESSION_H
