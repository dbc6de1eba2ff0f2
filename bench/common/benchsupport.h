#ifndef BENCHSUPPORT_H
#define BENCHSUPPORT_H

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

// Helpers shared by the benchmarks under bench/.
namespace BenchSupport {

// A download on the logger's line: 115200 baud, 8N1 (10 bits a byte).
constexpr int baud = 115200;
constexpr int requestBytes = 14;     // 0x02 "AKT" pppp 0x02 oooo 0x02 0x0D
constexpr int replyOverhead = 6;     // "D", block number, 0xFB 0xFB 0xFB
constexpr int blockBytes = 264;

// Seconds the line needs for `bytes` bytes.
double lineSeconds(qint64 bytes);

// Runs the event loop until `done` holds or `timeoutMs` has passed.
bool waitUntil(const std::function<bool()> &done, int timeoutMs);

// Settings, log, data root (with its export folder and its database, opened
// as start-up opens it), raw dump: all in `path`.
void useScratchFolder(const QString &path);

// The program's database in `file` as the default connection, its tables
// created: false when it cannot be opened.
bool openArchive(const QString &file);

// Peak resident memory of the process so far, KiB (0 where the system does
// not tell).
long peakKiB();

} // namespace BenchSupport

// Takes what the form asks the desktop to open: the export is only counted.
class UrlSink : public QObject
{
    Q_OBJECT
public:
    int count = 0;
    QString lastPath;
public slots:
    void openUrl(const QUrl &url)
    {
        ++count;
        lastPath = url.toLocalFile();
    }
};

#endif // BENCHSUPPORT_H
