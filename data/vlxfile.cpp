#include "vlxfile.h"

#include "paths.h"
#include "textexport.h"
#include "vlxdata.h"

#include <QDebug>

#include <limits>

namespace {

constexpr int pageSize = 1056;

} // namespace

VLXFile::VLXFile(QObject *parent)
    : QObject(parent)
{
}

VLXFile::~VLXFile() { qDeleteAll(m_records); }

QString VLXFile::fileNamePart(const QString &text)
{
    QString part = text;
    for (QChar &c : part) {
        if (c.unicode() < 0x20 || QStringView(u"/\\:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    }
    return part;
}

QString VLXFile::exportPathFor(const QString &stationNo, const QDateTime &fileDate)
{
    return Paths::exportDir() + QLatin1Char('/')
        + QStringLiteral("%1_%2.txt").arg(fileNamePart(stationNo), fileDate.toString(QStringLiteral("ddMMyy")));
}

QDateTime VLXFile::exportDate(const QDateTime &date)
{
    if (date.isValid() && date.date().year() <= 1999)
        return date.addYears(100);
    return date;
}

void VLXFile::setStationNo(const QString &stationNo)
{
    m_stationNo = stationNo;
    m_exportPath = exportPathFor(stationNo, m_fileDate);
}

void VLXFile::setFileDate(const QDateTime &date) { m_fileDate = exportDate(date); }

QString VLXFile::dateText() const { return m_fileDate.toString(QStringLiteral("dd.MM.yyyy")); }

void VLXFile::setEndPosition(int page, int offset, int previousPage, int previousOffset)
{
    m_endPage = page;
    m_endOffset = offset;
    const qint64 size = (qint64(page) * pageSize + offset)
        - (qint64(previousPage) * pageSize + previousOffset);
    m_sizeBytes = int(qBound(qint64(std::numeric_limits<int>::min()), size,
                             qint64(std::numeric_limits<int>::max())));
}

void VLXFile::append(const QDateTime &time, int channel, int type, float value1, float value2,
                     bool timeSet, bool missing)
{
    auto *record = new VLXData;
    record->setValues(time, channel, type, value1, value2, timeSet);
    record->setMissing(missing);
    m_records.append(record);
}

void VLXFile::addRecord(int channel, int type, float value1, float value2, bool timeSet)
{
    m_lastValue1 = value1;
    m_lastValue2 = value2;
    append(m_currentTime, channel, type, value1, value2, timeSet, false);
    m_currentTime = m_currentTime.addSecs(qint64(m_recordInterval) * 60);
}

void VLXFile::addRecordAt(const QDateTime &time, int channel, int type, float value1, float value2,
                          bool timeSet)
{
    m_lastValue1 = value1;
    m_lastValue2 = value2;
    append(time, channel, type, value1, value2, timeSet, false);
}

void VLXFile::addGap(bool timeSet)
{
    append(m_currentTime, 0, VLXData::Instant, m_lastValue1, m_lastValue2, timeSet, true);
    m_currentTime = m_currentTime.addSecs(qint64(m_recordInterval) * 60);
}

bool VLXFile::exportText(QString *errorText) const { return exportTextTo(m_exportPath, errorText); }

bool VLXFile::exportTextTo(const QString &path, QString *errorText) const
{
    return TextExport::save(path, [this](QIODevice &out) { return TextExport::write(*this, out); }, errorText);
}
