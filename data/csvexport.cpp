#include "csvexport.h"

#include "archiveseries.h"
#include "textexport.h"
#include "vlxfile.h"

#include <QDateTime>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace CsvExport {

namespace {

QByteArray field(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\r') && !bytes.contains('\n'))
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

QByteArray column(const ArchiveSeries &series, int channel)
{
    return field(QStringLiteral("%1 [%2]").arg(series.channelName[channel], series.channelUnit[channel]));
}

} // namespace

QByteArray document(const ArchiveSeries &series, double from, double to)
{
    QByteArray out = "time," + column(series, 0) + ',' + column(series, 1) + "\r\n";
    const auto begin = std::lower_bound(series.times.begin(), series.times.end(), qint64(std::ceil(from)));
    const auto end = std::upper_bound(series.times.begin(), series.times.end(), qint64(std::floor(to)));
    for (auto it = begin; it < end; ++it) {
        const std::size_t i = std::size_t(it - series.times.begin());
        out += QDateTime::fromSecsSinceEpoch(*it, Qt::UTC).toString(QStringLiteral("yyyy-MM-ddThh:mm")).toLatin1();
        for (int c = 0; c < 2; ++c) {
            out += ',';
            if (!std::isnan(series.values[c][i]))
                out += TextExport::valueText(series.values[c][i]);
        }
        out += "\r\n";
    }
    return out;
}

bool write(const QString &path, const ArchiveSeries &series, double from, double to,
           QString *errorText)
{
    QSaveFile out(path);
    const QByteArray bytes = document(series, from, to);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        if (errorText)
            *errorText = out.errorString();
        return false;
    }
    return true;
}

QString defaultFileName(const ArchiveSeries &series)
{
    return QStringLiteral("%1_%2.csv")
        .arg(VLXFile::fileNamePart(series.stationNo),
             series.installTime.toString(QStringLiteral("ddMMyy")));
}

} // namespace CsvExport
