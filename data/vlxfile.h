#ifndef VLXFILE_H
#define VLXFILE_H

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

class VLXData;

// One logger data file: either an entry of the logger's file list (date, end
// position, size) or a decoded download with its records.
//
// File-list entry:
//   auto *f = new VLXFile;
//   f->setFileDate(QDateTime(QDate(13, 12, 7), QTime(0, 0), Qt::UTC));   // year 13 -> 2013
//   f->setEndPosition(3, 0, 1, 528);                                     // sizeBytes() == 1584
//   f->setStationName(name);
//   f->setStationNo(no);   // after the date: derives exportPath()
//
// Decoded download (see decodedownload.h):
//   QString error;
//   if (!file->exportText(&error)) ...   // tell the user
//
// The file owns its records and deletes them with itself.
class VLXFile : public QObject
{
    Q_OBJECT
public:
    explicit VLXFile(QObject *parent = nullptr);
    ~VLXFile() override;

    QString stationName() const { return m_stationName; }
    void setStationName(const QString &name) { m_stationName = name; }

    QString stationNo() const { return m_stationNo; }
    // Stores the number and sets exportPath() to
    // <data root>/VLXLogger/<number>_<fileDate as ddMMyy>.txt. Set the date first.
    void setStationNo(const QString &stationNo);

    QDateTime fileDate() const { return m_fileDate; }
    // Stores the date; a year of 1999 or earlier is moved forward by 100 years.
    void setFileDate(const QDateTime &date);
    QString dateText() const;   // fileDate as "dd.MM.yyyy"

    int recordInterval() const { return m_recordInterval; }
    void setRecordInterval(int minutes) { m_recordInterval = minutes; }

    int endPage() const { return m_endPage; }
    int endOffset() const { return m_endOffset; }
    int sizeBytes() const { return m_sizeBytes; }
    // Stores the end position and sets sizeBytes() to its distance from the
    // previous file's end (pages of 1056 bytes).
    void setEndPosition(int page, int offset, int previousPage, int previousOffset);

    QString exportPath() const { return m_exportPath; }

    // A text of the logger's (the station number) as part of a file name:
    // it must not be able to name a folder or a device-style path, so
    // control characters and / \ : * ? " < > | become "_".
    static QString fileNamePart(const QString &text);
    // The export of a file of that station and date, and the date as the
    // export names it (a year of 1999 or earlier moved on by 100 years).
    static QString exportPathFor(const QString &stationNo, const QDateTime &fileDate);
    static QDateTime exportDate(const QDateTime &date);

    // A decoded file's place in the logger's memory: the address of its
    // header and the address where its records end (the next header, or
    // where the decoding stopped). Both 0 for a file-list entry.
    qsizetype startAddress() const { return m_startAddress; }
    qsizetype endAddress() const { return m_endAddress; }
    void setDataRange(qsizetype start, qsizetype end)
    {
        m_startAddress = start;
        m_endAddress = end;
    }

    QString channel1Name() const { return m_channel1Name; }
    void setChannel1Name(const QString &name) { m_channel1Name = name; }
    QString channel2Name() const { return m_channel2Name; }
    void setChannel2Name(const QString &name) { m_channel2Name = name; }
    QString channel1Unit() const { return m_channel1Unit; }
    void setChannel1Unit(const QString &unit) { m_channel1Unit = unit; }
    QString channel2Unit() const { return m_channel2Unit; }
    void setChannel2Unit(const QString &unit) { m_channel2Unit = unit; }

    float lastValue1() const { return m_lastValue1; }
    float lastValue2() const { return m_lastValue2; }

    QDateTime currentTime() const { return m_currentTime; }
    void setCurrentTime(const QDateTime &time) { m_currentTime = time; }

    const QList<VLXData *> &records() const { return m_records; }

    // Appends a record at currentTime(), then advances currentTime() by the
    // record interval.
    void addRecord(int channel, int type, float value1, float value2, bool timeSet);
    // Appends a record at the given time; currentTime() is unchanged.
    void addRecordAt(const QDateTime &time, int channel, int type, float value1, float value2,
                     bool timeSet);
    // Appends a missing record at currentTime() repeating the last values,
    // then advances currentTime() by the record interval.
    void addGap(bool timeSet);
    // Appends a record as the download parser read it, clock and last
    // values left alone (the parser hands them over at the file's end).
    void appendRecord(const QDateTime &time, int channel, int type, float value1, float value2,
                      bool timeSet, bool missing)
    {
        append(time, channel, type, value1, value2, timeSet, missing);
    }
    void setLastValues(float value1, float value2)
    {
        m_lastValue1 = value1;
        m_lastValue2 = value2;
    }

    // Writes the text export to exportPath() (exportTextTo: to another path).
    // The file is replaced only when the whole export was written; on failure
    // the previous file stays as it was, false is returned and errorText (if
    // given) says why.
    bool exportText(QString *errorText = nullptr) const;
    bool exportTextTo(const QString &path, QString *errorText = nullptr) const;

private:
    void append(const QDateTime &time, int channel, int type, float value1, float value2,
                bool timeSet, bool missing);

    QString m_stationName;
    QString m_stationNo;
    QDateTime m_fileDate;
    int m_recordInterval = 0;
    int m_endPage = 0;
    int m_endOffset = 0;
    int m_sizeBytes = 0;
    QString m_exportPath;
    qsizetype m_startAddress = 0;
    qsizetype m_endAddress = 0;
    QString m_channel1Name;
    QString m_channel2Name;
    QString m_channel1Unit;
    QString m_channel2Unit;
    float m_lastValue1 = -1.0f;
    float m_lastValue2 = -1.0f;
    QDateTime m_currentTime;
    QList<VLXData *> m_records;
};

#endif // VLXFILE_H
