#include "decodedownload.h"

#include "vlxdata.h"
#include "vlxfile.h"

#include <QFileInfo>

namespace {

// Builds one VLXFile per header, one VLXData per record.
class FileBuilder : public DownloadSink
{
public:
    explicit FileBuilder(DecodedDownload &result) : m_result(result) {}

    void fileStarted(const DecodedHeader &header, qsizetype address) override
    {
        m_result.files.push_back(std::make_unique<VLXFile>());
        m_file = m_result.files.back().get();
        m_file->setDataRange(address, address);
        m_file->setFileDate(header.installTime);
        m_file->setStationName(header.stationName);
        m_file->setStationNo(header.stationNo);
        m_file->setCurrentTime(header.installTime);
        m_file->setRecordInterval(header.recordInterval);
        m_file->setChannel1Name(header.channel1Name);
        m_file->setChannel2Name(header.channel2Name);
        m_file->setChannel1Unit(header.channel1Unit);
        m_file->setChannel2Unit(header.channel2Unit);
    }
    void recordRead(const DecodedRecord &r) override
    {
        m_file->appendRecord(timeOf(r.msecs), r.channel, r.type, r.value1, r.value2, r.timeSet, r.missing);
    }
    void fileEnded(qsizetype address, const FileClock &clock) override
    {
        m_file->setDataRange(m_file->startAddress(), address);
        m_file->setCurrentTime(timeOf(clock.msecs));
        m_file->setLastValues(clock.lastValue1, clock.lastValue2);
    }

private:
    static QDateTime timeOf(qint64 msecs)
    {
        return msecs == LoggerBytes::NoTime ? QDateTime() : QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
    }

    DecodedDownload &m_result;
    VLXFile *m_file = nullptr;
};

} // namespace

bool DecodedDownload::exportReplacedLater(std::size_t index) const
{
    if (index >= files.size())
        return false;
    const QString name = QFileInfo(files[index]->exportPath()).fileName();
    for (std::size_t later = index + 1; later < files.size(); ++later) {
        if (QFileInfo(files[later]->exportPath()).fileName() == name)
            return true;
    }
    return false;
}

bool isValidDownload(const QByteArray &data)
{
    return data.size() >= 3 && LoggerBytes::marker(data, data.size() - 3) == LoggerBytes::Erased;
}

DecodedDownload decodeDownload(const QByteArray &data, const DecodeCallbacks &callbacks)
{
    DecodedDownload result;
    FileBuilder builder(result);
    const DownloadParse parsed = parseDownload(data, builder, callbacks);
    result.headerCut = parsed.headerCut;
    result.end = parsed.end;
    return result;
}
