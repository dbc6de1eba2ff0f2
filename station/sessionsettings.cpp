// The records the read chain gets from the logger, and the setting
// commands: parameter upload with the clock, password change, sensor zero
// and alarm set with its read-back check. Passwords are asked for at the
// moment of the operation and never kept.
#include "stationsession.h"

#include "commands.h"
#include "debuglog.h"
#include "formtext.h"
#include "stationdecisions.h"
#include "upload.h"
#include "vlxfile.h"

#include <QDebug>
#include <QFile>

namespace {

// A copy of the last upload for the service technician, with the password
// masked. A file that cannot be written costs only the copy.
void writeUploadTrace(const QByteArray &frame, const QString &password)
{
    QFile file(QStringLiteral("temp.txt"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    file.write(Upload::traceText(frame, password));
}

QString twoDecimals(double value) { return QString::number(value, 'f', 2); }

} // namespace

bool StationSession::readParameterRecord(const QByteArray &message)
{
    emit trace(VLX_TRACE("(05) PAR %1:%2"));
    ParameterRecord record;
    if (!parseParameterRecord(message, &record))
        return false;
    m_parameters = record;
    emit parametersRead(record);
    return true;
}

void StationSession::readFileList(const QByteArray &reply)
{
    emit trace(VLX_TRACE("(07) DOS %1:%2"));
    m_fileListRecord = parseFileList(reply);

    const QString stationName = m_parameters ? m_parameters->stationName : QString();
    const QString stationNo = m_parameters ? m_parameters->stationNo : QString();
    m_fileList.clear();
    int previousPage = 0;
    int previousOffset = 0;
    for (const FileListEntry &entry : m_fileListRecord.files) {
        auto file = std::make_unique<VLXFile>();
        file->setFileDate(entry.date);
        file->setEndPosition(entry.endPage, entry.endOffset, previousPage, previousOffset);
        file->setStationName(stationName);
        file->setStationNo(stationNo);
        previousPage = entry.endPage;
        previousOffset = entry.endOffset;
        m_fileList.push_back(std::move(file));
    }
    emit fileListRead(m_fileListRecord);
}

bool StationSession::readAlarmRecord(const QByteArray &message)
{
    emit trace(VLX_TRACE("(09) ALR %1:%2"));
    AlarmRecord record;
    if (!parseAlarmRecord(message, &record))
        return false;
    m_alarms = record;
    emit alarmsRead(record);
    return true;
}

bool StationSession::holdsSettings(const AlarmRecord &record, const AlarmSettings &sent)
{
    // Thresholds travel with two decimals: compare them as they were sent.
    for (int i = 0; i < 4; ++i) {
        if (twoDecimals(float(record.thresholds[i])) != twoDecimals(sent.thresholds[i]))
            return false;
    }
    return record.relay1 == sent.relay1 && record.relay2 == sent.relay2
        && record.channel1On == sent.channel1On && record.channel2On == sent.channel2On;
}

void StationSession::uploadParameters(UploadRequest request)
{
    const QString cancelled = FormText::tr("İşlem kullanıcı tarafından iptal edildi!");
    if (!begin(UploadParameters, FormText::tr("Parametre Yükleme")))
        return;
    const std::optional<QString> password = m_decisions->password();
    if (!password) {
        finish(UploadParameters, StationOutcome::Cancelled, StationNotice::Critical, FormText::tr("İptal"),
               cancelled);
        return;
    }
    const int action = m_decisions->storedDataAction();
    if (action != 0 && action != 1) {
        finish(UploadParameters, StationOutcome::Cancelled, StationNotice::Critical, FormText::tr("İptal"),
               cancelled);
        return;
    }
    request.password = *password;
    request.fileAction = action;
    // The logger's clock is set to the moment the frame leaves.
    request.clock = QDateTime::currentDateTime();

    const QByteArray frame = Commands::par(request);
    writeUploadTrace(frame, request.password);
    m_alarmCheck.reset();
    m_pendingCommand = Commands::PendingPAR;
    sendCommand(frame, false);
}

void StationSession::changePassword()
{
    if (!begin(ChangePassword, FormText::tr("Şifre Değiştir")))
        return;
    const std::optional<std::pair<QString, QString>> passwords = m_decisions->passwordChange();
    if (!passwords) {
        finish(ChangePassword, StationOutcome::Cancelled, StationNotice::Critical, FormText::tr("Hata"),
               FormText::tr("İşlem kullanıcı tarafından iptal edildi!"));
        return;
    }
    m_alarmCheck.reset();
    m_pendingCommand = Commands::PendingSIF;
    sendCommand(Commands::sif(passwords->first, passwords->second), false);
}

void StationSession::zeroSensor()
{
    if (!begin(ZeroSensor, FormText::tr("Sensör Sıfırla")))
        return;
    std::optional<QString> password;
    if (m_decisions->sensorOutOfWater())
        password = m_decisions->password();
    if (!password) {
        finish(ZeroSensor, StationOutcome::Cancelled, StationNotice::Critical, FormText::tr("Hata"),
               FormText::tr("İşlem kullanıcı tarafından iptal edildi!"));
        return;
    }
    m_alarmCheck.reset();
    m_pendingCommand = Commands::PendingSEN;
    sendCommand(Commands::sen(*password), false);
}

void StationSession::setAlarms(const AlarmSettings &settings)
{
    if (!begin(SetAlarms, FormText::tr("Alarm Kur")))
        return;
    const QByteArray frame = Commands::ayu(settings);
    qDebug().noquote() << QStringLiteral("ALR Kur:") << QLatin1Char('"') + QString::fromUtf8(frame) + QLatin1Char('"');
    m_pendingCommand = Commands::PendingAYU;
    // Any answer makes the session read the alarms back and compare them
    // with what was sent.
    m_alarmCheck = settings;
    sendCommand(frame, false);
}
