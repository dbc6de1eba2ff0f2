// The station engine's links and protocol core: connecting over each link,
// sending through the open one, routing every complete reply by the awaited
// answer, the time-outs, and the bookkeeping of the one running operation.
#include "stationsession.h"

#include "aktblokitem.h"
#include "commands.h"
#include "debuglog.h"
#include "dispatch.h"
#include "formtext.h"
#include "gprscommunication.h"
#include "gsmcommunication.h"
#include "memorycopy.h"
#include "rs232communication.h"
#include "rs232connection.h"
#include "stationdecisions.h"
#include "timerthread.h"
#include "vlxfile.h"
#include "waits.h"

#include <QCoreApplication>
#include <QDebug>
#include <QTimer>



StationSession::StationSession(StationDecisions *decisions, QObject *parent)
    : QObject(parent), m_decisions(decisions), m_rawDumpFile(QStringLiteral("raw_data.txt"))
{
    m_rs232 = new RS232Communication(this);
    m_gprs = new GPRSCommunication(this);
    m_gsm = new GSMCommunication(this);

    const Waits::Values &waits = Waits::current();
    m_watchdogTimer = new QTimer(this);
    m_watchdogTimer->setInterval(waits.watchdogDefault);
    m_timerThread = new TimerThread(this);
    m_timerThread->setDelay(waits.delayDefault);
    connect(m_watchdogTimer, &QTimer::timeout, this, &StationSession::onTimeout);
    connect(m_timerThread, &TimerThread::finished, this, &StationSession::onThreadFinished);

    m_replyTimer = new QTimer(this);
    m_replyTimer->setSingleShot(true);
    m_replyTimer->setInterval(waits.replyTimeout);
    connect(m_replyTimer, &QTimer::timeout, this, &StationSession::onReplyTimeout);

    m_archiveDatabase = [] { return QSqlDatabase::database(); };
}

StationSession::~StationSession()
{
    clearBlockPlan();
    // The links go first: a GSM call still up is hung up while the rest of
    // the session is there to take what the modem says.
    delete m_rs232;
    delete m_gprs;
    delete m_gsm;
    m_rs232 = nullptr;
    m_gprs = nullptr;
    m_gsm = nullptr;
}

void StationSession::setArchiveDatabase(std::function<QSqlDatabase()> database)
{
    m_archiveDatabase = std::move(database);
}

void StationSession::setReplyTimeout(int ms) { m_replyTimer->setInterval(ms); }

StationSession::Link StationSession::openLink() const
{
    if (m_rs232->isOpen())
        return Rs232Link;
    if (m_gprs->isOpen())
        return GprsLink;
    if (m_gsm->isOpen())
        return GsmLink;
    return NoLink;
}

QString StationSession::linkTarget() const
{
    return isOpen() ? m_linkTarget : QString();
}

QStringList StationSession::availablePorts() const { return m_rs232->availablePorts(); }

// Operations

bool StationSession::begin(Operation operation, const QString &title)
{
    // The same operation asked for again while its answer is awaited starts
    // over (a read pressed twice reads once more); anything else waits for
    // the running one, and a transfer under way is never restarted.
    const bool restart = m_operation == operation && m_pendingCommand != Commands::PendingAKT;
    if (m_operation != NoOperation && !restart) {
        StationOutcome refused;
        refused.result = StationOutcome::Refused;
        refused.error = FormText::tr("Başka bir işlem sürüyor; lütfen bitmesini bekleyin.");
        refused.notices << StationNotice{StationNotice::Critical, title, refused.error, QString()};
        emit finished(operation, refused);
        return false;
    }
    m_operation = operation;
    return true;
}

void StationSession::finish(Operation operation, StationOutcome outcome)
{
    m_replyTimer->stop();
    if (m_operation == operation)
        m_operation = NoOperation;
    if (outcome.error.isEmpty() && outcome.result != StationOutcome::Done) {
        for (const StationNotice &notice : outcome.notices) {
            if (notice.kind == StationNotice::Critical) {
                outcome.error = notice.text;
                break;
            }
        }
    }
    emit finished(operation, outcome);
}

void StationSession::finish(Operation operation, StationOutcome::Result result, StationNotice::Kind kind,
                            const QString &title, const QString &text, const QString &details)
{
    StationOutcome outcome;
    outcome.result = result;
    outcome.notices << StationNotice{kind, title, text, details};
    finish(operation, outcome);
}

// Nothing is awaited from a link that is gone: a transfer in progress stops
// instead of retrying into the void, and the operation that ran ends.
void StationSession::forgetAwaited()
{
    m_pendingCommand = 0;
    m_watchdogTimer->stop();
    m_timerThread->stop();
    m_replyTimer->stop();
    m_alarmCheck.reset();
    m_parameters.reset();
    m_alarms.reset();
    if (m_operation != NoOperation) {
        StationOutcome closed;
        closed.result = StationOutcome::Failed;
        closed.error = FormText::tr("Bağlantı kapandı.");
        finish(m_operation, closed);
    }
}

void StationSession::cancel()
{
    m_pendingCommand = 0;
    m_alarmCheck.reset();
    m_replyTimer->stop();
    if (m_operation != NoOperation && m_operation != Connect) {
        StationOutcome cancelled;
        cancelled.result = StationOutcome::Cancelled;
        cancelled.error = FormText::tr("İşlem kullanıcı tarafından iptal edildi!");
        finish(m_operation, cancelled);
    }
}

// Connection control

void StationSession::connectRs232(const QString &port, int baud)
{
    if (!begin(Connect, FormText::tr("Error")))
        return;
    m_linkTarget = QStringLiteral("serial:") + port;
    m_rs232->setPort(port);
    m_rs232->connection()->setBaudRate(baud);
    m_watchdogTimer->setInterval(Waits::current().watchdogRS232);
    m_timerThread->setDelay(Waits::current().delayRS232);
    if (!m_rs232->open(port)) {
        finish(Connect, StationOutcome::Failed, StationNotice::Critical, FormText::tr("Error"), FormText::tr("Port açılamadı"));
        return;
    }
    connect(m_rs232, &RS232Communication::dataReceived, this, &StationSession::onDataReceived,
            Qt::UniqueConnection);
    emit linkChanged();
    finish(Connect, StationOutcome());
    // The serial cable answers at once: the read starts without a busy wait.
    m_operation = ReadParameters;
    sendOKU();
}

void StationSession::routeGprs(bool on)
{
    if (on) {
        connect(m_gprs, &GPRSCommunication::dataReceived, this, &StationSession::onDataReceived,
                Qt::UniqueConnection);
        connect(m_gprs, &GPRSCommunication::connectionClosed, this, &StationSession::onConnectionClosed,
                Qt::UniqueConnection);
        connect(m_gprs, &GPRSCommunication::socketError, this, &StationSession::onSocketError,
                Qt::UniqueConnection);
        connect(m_gprs, &GPRSCommunication::debugging, this, &StationSession::trace, Qt::UniqueConnection);
    } else {
        disconnect(m_gprs, &GPRSCommunication::dataReceived, this, &StationSession::onDataReceived);
        disconnect(m_gprs, &GPRSCommunication::connectionClosed, this, &StationSession::onConnectionClosed);
        disconnect(m_gprs, &GPRSCommunication::socketError, this, &StationSession::onSocketError);
        disconnect(m_gprs, &GPRSCommunication::debugging, this, &StationSession::trace);
    }
}

void StationSession::connectGprs(const QString &host, quint16 port)
{
    if (!begin(Connect, FormText::tr("Hata")))
        return;
    emit busy(FormText::tr("Bağlantı için bekleniyor..."));
    QCoreApplication::processEvents();
    Waits::sleep(Waits::current().connectSettle);
    QCoreApplication::processEvents();

    m_watchdogTimer->setInterval(Waits::current().watchdogGPRS);
    m_timerThread->setDelay(Waits::current().delayGPRS);
    m_linkTarget = QStringLiteral("tcp:%1:%2").arg(host).arg(port);
    m_gprs->setPort(QString::number(port));
    if (!m_gprs->open(host)) {
        finish(Connect, StationOutcome::Failed, StationNotice::Critical, FormText::tr("Hata"),
               FormText::tr("Bağlantı sağlanamadı!"));
        emit progressHidden();
        QCoreApplication::processEvents();
        return;
    }
    routeGprs(true);
    emit linkChanged();
    Waits::sleep(Waits::current().gprsSettle);
    QCoreApplication::processEvents();
    // The peer may have hung up while we waited; its closing ended the connect.
    if (m_operation != Connect)
        return;
    finish(Connect, StationOutcome());
    if (m_gprs->isOpen())
        readParameters();
}

void StationSession::connectGsm(const QString &modemPort, const QString &phone)
{
    if (!begin(Connect, FormText::tr("Hata")))
        return;
    emit busy(FormText::tr("Bağlantı için bekleniyor..."));
    Waits::sleep(Waits::current().connectSettle);

    m_watchdogTimer->setInterval(Waits::current().watchdogGSM);
    m_timerThread->setDelay(Waits::current().delayGSM);
    m_linkTarget = QStringLiteral("serial:") + modemPort;
    m_gsm->setPort(modemPort);
    if (!m_gsm->open(phone)) {
        StationOutcome failed;
        failed.result = StationOutcome::Failed;
        failed.error = FormText::tr("Modem bağlantıyı kuramadı.");
        finish(Connect, failed);
        return;
    }
    connect(m_gsm, &GSMCommunication::dataReceived, this, &StationSession::onDataReceived, Qt::UniqueConnection);
    emit linkChanged();
    emit busyLabel(QStringLiteral("Modem bekleniyor..."));
    QCoreApplication::processEvents();
    Waits::sleep(Waits::current().gsmSettle);
    finish(Connect, StationOutcome());
    readParameters();
}

void StationSession::disconnectLink()
{
    switch (openLink()) {
    case Rs232Link:
        m_rs232->close();
        disconnect(m_rs232, &RS232Communication::dataReceived, this, &StationSession::onDataReceived);
        break;
    case GprsLink:
        m_gprs->close();
        routeGprs(false);
        break;
    case GsmLink:
        // The first hang-up may meet a modem still busy with data; the second
        // one makes sure the call is down. After a confirmed first one the
        // modem's port is closed and the second returns at once.
        m_gsm->close();
        m_gsm->close();
        disconnect(m_gsm, &GSMCommunication::dataReceived, this, &StationSession::onDataReceived);
        break;
    case NoLink:
        break;
    }
    forgetAwaited();
    emit linkChanged();
}

void StationSession::onConnectionClosed()
{
    routeGprs(false);
    forgetAwaited();
    emit linkClosed();
}

void StationSession::onSocketError(int error, QString errorString)
{
    // A line lost in the middle of a transfer leaves the accepted blocks in
    // the kept copy; the user learns that the next download goes on from there.
    const QString kept = m_pendingCommand == Commands::PendingAKT ? keptForNextTry() : QString();
    emit linkError(error, errorString, kept);
}

// Sending and dispatch

void StationSession::sendCommand(const QByteArray &command, bool binaryReply)
{
    // A block request has its own supervision; every other command waits
    // for its answer at most the reply time-out.
    if (binaryReply || m_replyTimer->interval() <= 0)
        m_replyTimer->stop();
    else
        m_replyTimer->start();
    // The frame goes out NUL-terminated; a frame never holds a 0 byte.
    if (m_rs232->isOpen())
        m_rs232->send(command.constData(), binaryReply);
    else if (m_gprs->isOpen())
        m_gprs->send(command.constData(), binaryReply);
    else if (m_gsm->isOpen())
        m_gsm->send(command.constData(), binaryReply);
}

void StationSession::sendOKU()
{
    emit trace(VLX_TRACE("(04) OKU %1:%2"));
    m_alarmCheck.reset();
    m_pendingCommand = Commands::PendingOKU;
    sendCommand(Commands::oku(), false);
}

void StationSession::sendDKU()
{
    emit trace(VLX_TRACE("(06) DKU %1:%2"));
    m_pendingCommand = Commands::PendingDKU;
    sendCommand(Commands::dku(), false);
}

void StationSession::sendALO()
{
    emit trace(VLX_TRACE("(08) ALO %1:%2"));
    m_pendingCommand = Commands::PendingALO;
    sendCommand(Commands::alo(), false);
}

void StationSession::sendVER()
{
    emit trace(VLX_TRACE("(10) VER %1:%2"));
    m_alarmCheck.reset();
    m_pendingCommand = Commands::PendingVER;
    sendCommand(Commands::ver(), false);
}

void StationSession::readParameters()
{
    if (!begin(ReadParameters, FormText::tr("Parametre Oku")))
        return;
    emit busy(FormText::tr("Veri için bekleniyor..."));
    QCoreApplication::processEvents();
    sendOKU();
}

void StationSession::download(bool wholeMemory)
{
    if (!begin(Download, FormText::tr("Veri Aktar")))
        return;
    m_wholeMemory = wholeMemory;
    m_blockRequests = 0;
    sendVER();
}

void StationSession::onDataReceived(QByteArray message)
{
    emit trace(VLX_TRACE("(15) Parse %1:%2"));
    dispatchResponse(message);
}

void StationSession::endReadWithShortRecord()
{
    m_pendingCommand = 0;
    m_alarmCheck.reset();
    emit progressHidden();
    finish(ReadParameters, StationOutcome::Failed, StationNotice::Critical, FormText::tr("Parametre Oku"),
           FormText::tr("Cihazdan gelen bilgi eksik!"));
}

void StationSession::dispatchResponse(const QByteArray &message)
{
    const ReplyAction action = dispatchAction(m_pendingCommand, message);
    if (action != ReplyAction::Ignore)
        m_replyTimer->stop();
    using N = StationNotice;
    using R = StationOutcome;
    switch (action) {
    case ReplyAction::Ignore:
        break;
    case ReplyAction::ShowParameters:
        if (readParameterRecord(message))
            sendDKU();
        else
            endReadWithShortRecord();
        break;
    case ReplyAction::ShowFileList:
        readFileList(message);
        sendALO();
        break;
    case ReplyAction::ShowAlarms: {
        // After "Alarm Kur" this record is the read-back: the logger must now
        // hold exactly what was sent. A record too short to read proves
        // nothing, so it too leaves the alarm set unconfirmed.
        const std::optional<AlarmSettings> sent = m_alarmCheck;
        m_alarmCheck.reset();
        const bool read = readAlarmRecord(message);
        if (!sent) {
            if (!read) {
                endReadWithShortRecord();
                break;
            }
            emit progressHidden();
            finish(ReadParameters, R::Done, N::Information, FormText::tr("Parametre Oku"), FormText::tr("Parametre bilgileri okundu"));
            break;
        }
        emit progressHidden();
        if (read && holdsSettings(*m_alarms, *sent)) {
            finish(SetAlarms, R::Done, N::Information, FormText::tr("Alarm Kur"), FormText::tr("Alarm bilgileri yüklendi."));
        } else {
            if (!read)
                m_pendingCommand = 0;
            finish(SetAlarms, R::Failed, N::Critical, FormText::tr("Alarm Kur"), FormText::tr("Alarm bilgileri doğrulanamadı!"));
        }
        break;
    }
    case ReplyAction::AlarmsSetAnswer: {
        // Whatever the logger answered, read the alarms back to see what it holds.
        const std::optional<AlarmSettings> sent = m_alarmCheck;
        sendALO();
        m_alarmCheck = sent;
        break;
    }
    case ReplyAction::PasswordChanged:
        finish(ChangePassword, R::Done, N::Information, FormText::tr("Şifre Değiştir"), FormText::tr("Şifre değişti."));
        break;
    case ReplyAction::OldPasswordWrong:
        finish(ChangePassword, R::Failed, N::Critical, FormText::tr("Şifre Değiştir"), FormText::tr("Eski şifre yanlış!"));
        break;
    case ReplyAction::SensorZeroed:
        finish(ZeroSensor, R::Done, N::Information, FormText::tr("Sensör Sıfırla"), FormText::tr("Sensör sıfırlandı."));
        break;
    case ReplyAction::SensorPasswordWrong:
        finish(ZeroSensor, R::Failed, N::Critical, FormText::tr("Sensör Sıfırla"), FormText::tr("Şifre yanlış!"));
        break;
    case ReplyAction::ParametersUploaded:
        finish(UploadParameters, R::Done, N::Information, FormText::tr("Parametre Yükleme"),
               FormText::tr("Parametre bilgileri yüklendi."));
        break;
    case ReplyAction::UploadPasswordWrong:
        finish(UploadParameters, R::Failed, N::Critical, FormText::tr("Parametre Yükleme"), FormText::tr("Şifre yanlış!"));
        break;
    case ReplyAction::StartTransfer:
        startTransfer(message);
        break;
    case ReplyAction::BlockReply:
        Waits::sleep(Waits::current().blockPause);
        handleBlockReply(message);
        break;
    }
}

// Time-outs

void StationSession::onThreadFinished() { m_timerExpired = true; }

void StationSession::onTimeout()
{
    if (m_pendingCommand != Commands::PendingAKT || !m_timerExpired)
        return;
    m_timerExpired = false;
    if (m_retryCount == 10) {
        emit progressHidden();
        m_pendingCommand = 0;
        finish(Download, StationOutcome::Failed, StationNotice::Critical, FormText::tr("Aktarım Hatası"),
               FormText::tr("Cihaz uzun süredir yanıt vermiyor.Lütfen tekrar deneyin."), keptForNextTry());
        return;
    }
    ++m_retryCount;
    reportTransfer();
    qDebug().nospace() << "Timeout (" << m_retryCount << ")";
    m_timerThread->start();
    requestBlock();
}

// A command other than a block request that got no answer at all: the
// logger is gone or silent. Its operation ends with a clear word instead of
// waiting for ever.
void StationSession::onReplyTimeout()
{
    if (m_pendingCommand == 0 || m_pendingCommand == Commands::PendingAKT)
        return;
    Operation operation = ReadParameters;
    QString title = FormText::tr("Parametre Oku");
    switch (m_pendingCommand) {
    case Commands::PendingALO:
        if (m_alarmCheck) {
            operation = SetAlarms;
            title = FormText::tr("Alarm Kur");
        }
        break;
    case Commands::PendingAYU:
        operation = SetAlarms;
        title = FormText::tr("Alarm Kur");
        break;
    case Commands::PendingSIF:
        operation = ChangePassword;
        title = FormText::tr("Şifre Değiştir");
        break;
    case Commands::PendingSEN:
        operation = ZeroSensor;
        title = FormText::tr("Sensör Sıfırla");
        break;
    case Commands::PendingPAR:
        operation = UploadParameters;
        title = FormText::tr("Parametre Yükleme");
        break;
    case Commands::PendingVER:
        operation = Download;
        title = FormText::tr("Veri Aktar");
        break;
    default:
        break;
    }
    m_pendingCommand = 0;
    m_alarmCheck.reset();
    emit progressHidden();
    finish(operation, StationOutcome::Failed, StationNotice::Critical, title, FormText::tr("Cihaz yanıt vermiyor."));
}
