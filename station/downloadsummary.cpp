#include "downloadsummary.h"

#include "formtext.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>

namespace {

QString timeText(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC).toString(QStringLiteral("dd.MM.yyyy hh:mm"));
}

} // namespace

QString DownloadSummary::text() const
{
    QStringList lines;
    if (archived) {
        if (newRecords + newSummaries == 0) {
            lines << FormText::tr("Yeni kayıt yok: arşiv bu verileri zaten içeriyordu.");
        } else {
            QString count = FormText::tr("Yeni kayıt: %1").arg(newRecords);
            if (newSummaries > 0)
                count += FormText::tr(" ve %1 günlük özet değeri").arg(newSummaries);
            lines << count;
            lines << FormText::tr("Yeni kayıtlar: %1 – %2").arg(timeText(firstNewMsecs), timeText(lastNewMsecs));
        }
        if (!files.isEmpty())
            lines << FormText::tr("Kaydedilen dosyalar: %1").arg(files.join(QStringLiteral("; ")));
    }
    if (!exportPath.isEmpty())
        lines << FormText::tr("Dışa aktarım: %1").arg(QDir::toNativeSeparators(exportPath));
    if (!exportOpened)
        lines << FormText::tr("Dışa aktarım dosyası masaüstü uygulamasıyla açılamadı.");
    return lines.join(QLatin1Char('\n'));
}
