#include "downloadsummary.h"

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
            lines << QCoreApplication::translate("Form", "Yeni kayıt yok: arşiv bu verileri zaten içeriyordu.");
        } else {
            QString count = QCoreApplication::translate("Form", "Yeni kayıt: %1").arg(newRecords);
            if (newSummaries > 0)
                count += QCoreApplication::translate("Form", " ve %1 günlük özet değeri").arg(newSummaries);
            lines << count;
            lines << QCoreApplication::translate("Form", "Yeni kayıtlar: %1 – %2").arg(timeText(firstNewMsecs), timeText(lastNewMsecs));
        }
        if (!files.isEmpty())
            lines << QCoreApplication::translate("Form", "Kaydedilen dosyalar: %1").arg(files.join(QStringLiteral("; ")));
    }
    if (!exportPath.isEmpty())
        lines << QCoreApplication::translate("Form", "Dışa aktarım: %1").arg(QDir::toNativeSeparators(exportPath));
    if (!exportOpened)
        lines << QCoreApplication::translate("Form", "Dışa aktarım dosyası masaüstü uygulamasıyla açılamadı.");
    return lines.join(QLatin1Char('\n'));
}
