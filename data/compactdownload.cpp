#include "compactdownload.h"

#include "vlxdata.h"
#include "vlxfile.h"

#include <QFileInfo>

namespace {

class CompactBuilder : public DownloadSink
{
public:
    explicit CompactBuilder(CompactDownload &result, qsizetype bytes) : m_result(result), m_bytes(bytes) {}

    void fileStarted(const DecodedHeader &header, qsizetype address) override
    {
        m_result.files.emplace_back();
        CompactFile &file = m_result.files.back();
        file.header = header;
        file.fileDate = VLXFile::exportDate(header.installTime);
        file.exportPath = VLXFile::exportPathFor(header.stationNo, file.fileDate);
        file.startAddress = address;
        file.endAddress = address;
        // A record takes at least 8 bytes of the memory.
        file.records.reserve(std::size_t((m_bytes - address) / 8 + 1));
    }
    void recordRead(const DecodedRecord &record) override { m_result.files.back().records.push_back(record); }
    void fileEnded(qsizetype address, const FileClock &) override
    {
        m_result.files.back().endAddress = address;
    }

private:
    CompactDownload &m_result;
    qsizetype m_bytes;
};

} // namespace

bool CompactDownload::exportReplacedLater(std::size_t index) const
{
    if (index >= files.size())
        return false;
    const QString name = QFileInfo(files[index].exportPath).fileName();
    for (std::size_t later = index + 1; later < files.size(); ++later) {
        if (QFileInfo(files[later].exportPath).fileName() == name)
            return true;
    }
    return false;
}

CompactDownload decodeCompact(const QByteArray &data, const DecodeCallbacks &callbacks)
{
    CompactDownload result;
    CompactBuilder builder(result, data.size());
    const DownloadParse parsed = parseDownload(data, builder, callbacks);
    result.headerCut = parsed.headerCut;
    result.end = parsed.end;
    return result;
}

CompactFile compactOf(const VLXFile &file)
{
    CompactFile compact;
    compact.header.stationName = file.stationName();
    compact.header.stationNo = file.stationNo();
    compact.header.installTime = file.fileDate();
    compact.header.recordInterval = file.recordInterval();
    compact.header.channel1Name = file.channel1Name();
    compact.header.channel2Name = file.channel2Name();
    compact.header.channel1Unit = file.channel1Unit();
    compact.header.channel2Unit = file.channel2Unit();
    compact.fileDate = file.fileDate();
    compact.exportPath = file.exportPath();
    compact.startAddress = file.startAddress();
    compact.endAddress = file.endAddress();
    compact.records.reserve(std::size_t(file.records().size()));
    for (const VLXData *d : file.records()) {
        DecodedRecord r;
        r.msecs = d->time().isValid() ? d->time().toMSecsSinceEpoch() : LoggerBytes::NoTime;
        r.value1 = d->value1();
        r.value2 = d->value2();
        r.channel = qint8(d->channel());
        r.type = qint8(d->type());
        r.timeSet = d->timeSet();
        r.missing = d->missing();
        compact.records.push_back(r);
    }
    return compact;
}
