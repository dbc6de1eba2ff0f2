#ifndef DOWNLOADSUMMARY_H
#define DOWNLOADSUMMARY_H

#include <QString>
#include <QStringList>

// What a finished download brought, for the lines below "Aktarım Tamamlandı":
// a user who downloads the same logger every week needs to see at once
// whether new records came and from when to when, not only that the
// transfer ended.
//
//   DownloadSummary s;
//   s.archived = stored.ok; s.newRecords = stored.recordsAdded; ...
//   box.informativeText = s.text();
struct DownloadSummary {
    bool archived = false;      // the station archive took the download
    qint64 newRecords = 0;      // instantaneous records the archive did not hold
    qint64 newSummaries = 0;    // daily summary values the archive did not hold
    qint64 firstNewMsecs = 0;   // span of the new ones (UTC, as decoded)
    qint64 lastNewMsecs = 0;
    qint64 rowsAdded = 0;       // archive rows written (one per record and channel)
    QStringList files;          // the files stored: "<station number>, <install time>"
    QString exportPath;         // the export opened for the user
    bool exportOpened = true;   // false: the desktop had no application for it

    // One line per fact, translated in the "Form" context.
    QString text() const;
};

#endif // DOWNLOADSUMMARY_H
