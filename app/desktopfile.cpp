#include "desktopfile.h"

#include <QDebug>
#include <QDesktopServices>
#include <QUrl>

bool DesktopFile::open(const QString &path)
{
    const QUrl url = QUrl::fromLocalFile(path);
    if (QDesktopServices::openUrl(url))
        return true;
    qDebug().noquote() << QLatin1Char('"') + url.path() + QStringLiteral("\" acilamadi.");
    return false;
}
