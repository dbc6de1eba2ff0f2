// vlxdecode: turns a kept download into its text exports again, or writes the
// raw dump of a file's bytes. It refuses what the program refuses, with the
// program's own words.
//
//   vlxdecode INPUT                  every file's export, in the export folder
//   vlxdecode INPUT -d FOLDER        every file's export, in FOLDER
//   vlxdecode INPUT -o OUTPUT        the newest file's export, to OUTPUT
//   vlxdecode INPUT --db DATABASE    ... and every file into the station archive
//   vlxdecode INPUT --db postgresql://user@host:port/dbname   ... on that server
//   vlxdecode --dump INPUT -o OUTPUT
//   INPUT is a regular file, or - for standard input.
//   vlxdecode INPUT --csv FILE [--flow]  the newest file as the chart's CSV
//
// Exit status: 0 written, 1 the data are not a valid download, 2 usage or
// file error.

#include "archivelocation.h"
#include "archiveseries.h"
#include "archivetables.h"
#include "csvexport.h"
#include "compactdownload.h"
#include "decodedownload.h"
#include "paths.h"
#include "peakmemory.h"
#include "pgconnection.h"
#include "ratingtable.h"
#include "rawdump.h"
#include "stationarchive.h"
#include "textexport.h"
#include "vlxfile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTextStream>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// What --stats prints on standard error when the run ends: where the time
// went and how much memory the run took at most.
struct RunStats {
    bool enabled = false;
    QElapsedTimer clock;
    QList<QPair<QString, qint64>> phases;   // name, milliseconds
    qint64 records = 0;
    qint64 files = 0;
    qint64 rowsAdded = -1;

    void phase(const QString &name)
    {
        if (!enabled)
            return;
        phases.append({name, clock.restart()});
    }
    ~RunStats()
    {
        if (!enabled)
            return;
        QTextStream err(stderr);
        err << QStringLiteral("vlxdecode: stats: %1 files, %2 records").arg(files).arg(records);
        if (rowsAdded >= 0)
            err << QStringLiteral(", %1 rows added").arg(rowsAdded);
        err << Qt::endl;
        qint64 total = 0;
        for (const auto &p : phases) {
            err << QStringLiteral("vlxdecode: stats: %1 %2 ms").arg(p.first).arg(p.second) << Qt::endl;
            total += p.second;
        }
        err << QStringLiteral("vlxdecode: stats: total %1 ms, peak memory %2 MiB")
                   .arg(total)
                   .arg(double(peakMemoryKiB()) / 1024.0, 0, 'f', 1)
            << Qt::endl;
    }
};

RunStats stats;

enum ExitCode { Written = 0, InvalidDownload = 1, UsageOrIoError = 2 };

// A download is at most the logger's memory; its raw dump takes at most
// eleven bytes of text per byte. Anything larger is neither.
constexpr qint64 loggerMemoryBytes = 9863168;
constexpr qint64 inputLimit = 16 * loggerMemoryBytes;

int fail(const QString &message, int code)
{
    QTextStream(stderr) << message << Qt::endl;
    return code;
}

// Reads at most inputLimit bytes, in pieces: standard input has no size to
// check beforehand. Only a regular file or standard input ("-") is read: a
// FIFO or a device would block or never end.
bool readInput(const QString &path, QByteArray &bytes, QString &error)
{
    QFile file;
    const bool standardInput = path == QLatin1String("-");
    const QString name = standardInput ? QStringLiteral("standard input") : path;
    if (standardInput) {
#ifdef Q_OS_WIN
        // The download's bytes as they are, not as a text console turns them.
        _setmode(_fileno(stdin), _O_BINARY);
#endif
        if (!file.open(stdin, QIODevice::ReadOnly)) {
            error = QStringLiteral("vlxdecode: cannot read %1: %2").arg(name, file.errorString());
            return false;
        }
    } else {
        const QFileInfo info(path);
        if (info.exists() && !info.isFile()) {
            error = QStringLiteral("vlxdecode: %1 is not a regular file (a folder, FIFO or device); "
                                   "give - to read standard input")
                        .arg(path);
            return false;
        }
        file.setFileName(path);
        if (!file.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("vlxdecode: cannot read %1: %2").arg(path, file.errorString());
            return false;
        }
    }
    constexpr qint64 piece = 1 << 20;
    bytes.clear();
    // A regular file's bytes go into one buffer of their size: growing it
    // piece by piece would hold two copies of a full memory at its last step.
    if (file.size() > 0 && file.size() <= inputLimit)
        bytes.reserve(file.size() + 1);
    for (;;) {
        const QByteArray part = file.read(piece);
        if (part.isEmpty())
            break;
        if (bytes.size() + part.size() > inputLimit) {
            error = QStringLiteral("vlxdecode: %1 is larger than %2 bytes, more than any download "
                                   "or raw dump of one")
                        .arg(name)
                        .arg(inputLimit);
            return false;
        }
        bytes.append(part);
    }
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("vlxdecode: cannot read %1: %2").arg(name, file.errorString());
        return false;
    }
    return true;
}

// A download ends in FF FF FF and a dump in its byte-count line, so the two
// never look alike: anything that is not a valid download is tried as a dump.
QByteArray downloadBytes(const QByteArray &input)
{
    if (isValidDownload(input))
        return input;
    QByteArray listed;
    if (RawDump::parse(input, &listed))
        return listed;
    return input;
}

// Writes one export and prints its path.
bool writeExport(const CompactFile &file, const QString &path, QString &error)
{
    QString why;
    if (!TextExport::save(file, path, &why)) {
        error = QStringLiteral("vlxdecode: cannot write %1: %2").arg(path, why);
        return false;
    }
    QTextStream(stdout) << QDir::toNativeSeparators(path) << Qt::endl;
    return true;
}

// A warning line for a download kept beside the archived file it disagrees with.
QString revisionWarning(const ArchiveRevision &revision)
{
    return QStringLiteral("vlxdecode: warning: station %1, file installed %2: the download "
                          "disagrees with the archived records (%3 archived, %4 in the download); "
                          "the archived records are kept and the download is stored beside them "
                          "as a revision")
        .arg(revision.stationNo,
             revision.installTime.toString(QStringLiteral("dd.MM.yyyy hh:mm")))
        .arg(revision.archivedRecords)
        .arg(revision.downloadedRecords);
}

// Stores the files in the archive of the database at path (nothing to do
// for an empty path), through the default connection as the program does.
// A report of what a store did, or the error naming where.
bool reportStored(const QString &where, const CompactDownload &decoded, const ArchiveResult &stored,
                  QString &error)
{
    stats.rowsAdded = stored.rowsAdded;
    stats.phase(QStringLiteral("archive"));
    if (!stored.ok) {
        // A server's messages begin with its name already.
        const QString reason = stored.error.startsWith(where + QLatin1String(": "))
            ? stored.error.mid(where.size() + 2) : stored.error;
        error = QStringLiteral("vlxdecode: cannot store in %1: %2").arg(where, reason);
        return false;
    }
    QTextStream(stdout) << QStringLiteral("%1: %2 files, %3 rows added, %4 removed")
                               .arg(where)
                               .arg(decoded.files.size())
                               .arg(stored.rowsAdded)
                               .arg(stored.rowsRemoved)
                        << Qt::endl;
    for (const ArchiveRevision &revision : stored.revisions)
        QTextStream(stderr) << revisionWarning(revision) << Qt::endl;
    return true;
}

// Stores the files in the archive on the server of a postgresql:// URL;
// the password from libpq's own means (PGPASSWORD, the password file).
bool archiveOnServer(const QString &url, const CompactDownload &decoded, QString &error)
{
    QString problem;
    const ArchiveLocation where = ArchiveLocation::resolve(url, ArchiveLocation::FileAllowed, &problem);
    if (!problem.isEmpty()) {
        error = QStringLiteral("vlxdecode: ") + problem;
        return false;
    }
    auto server = std::make_shared<PgConnection>();
    if (!server->open(where.url)) {
        error = QStringLiteral("vlxdecode: cannot connect to %1").arg(server->errorText());
        return false;
    }
    StationArchive archive(server);
    return reportStored(where.displayName(), decoded, archive.store(decoded.files), error);
}

bool archive(const QString &path, const CompactDownload &decoded, QString &error)
{
    stats.phase(QStringLiteral("export"));
    if (path.isEmpty())
        return true;
    if (ArchiveLocation::isServerUrl(path))
        return archiveOnServer(path, decoded, error);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(path);
        QString problem;
        switch (openArchive(db, &problem)) {
        case ArchiveOpen::NotOpened:
            error = QStringLiteral("vlxdecode: cannot open the database %1: %2").arg(path, problem);
            break;
        case ArchiveOpen::Damaged:
            error = QStringLiteral("vlxdecode: ") + problem;
            break;
        case ArchiveOpen::Opened: {
            StationArchive archive(db);
            ok = reportStored(QDir::toNativeSeparators(path), decoded, archive.store(decoded.files), error);
            break;
        }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
    return ok;
}

// The newest file's records as the chart's CSV of the whole file, with the
// flow from the station's rating table when asked: no table, no CSV.
bool writeCsv(const CompactFile &file, const QString &path, bool withFlow, QString &error)
{
    const ArchiveSeries series = ArchiveSeries::fromFile(file);
    CsvExport::FlowColumn flow;
    if (withFlow) {
        RatingCurve curve;
        QString why;
        if (!RatingTable::loadCurve(series.stationNo, &curve, &why)) {
            error = QStringLiteral("vlxdecode: no rating for station %1: %2").arg(series.stationNo, why);
            return false;
        }
        flow.unit = curve.unit;
        flow.values = curve.flowSeries(series.times, series.values[0]);
    }
    const double first = series.times.empty() ? 0 : double(series.times.front());
    const double last = series.times.empty() ? -1 : double(series.times.back());
    const QByteArray csv = CsvExport::document(series, first, last, CsvExport::Format(), withFlow ? &flow : nullptr);
    QString why;
    if (!CsvExport::write(path, csv, &why)) {
        error = QStringLiteral("vlxdecode: cannot write %1: %2").arg(path, why);
        return false;
    }
    QTextStream(stdout) << QDir::toNativeSeparators(path) << Qt::endl;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vlxdecode"));
    // The export's diagnostic lines are for the program's debug output, not
    // for this tool's console.
    qSetMessagePattern(QString());
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &msg) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            QTextStream(stderr) << msg << Qt::endl;
    });

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes the text exports of a logger download (the bytes as received, or a "
        "raw_data.txt dump of them), or with --dump the raw dump of a file's bytes.\n"
        "Every file in the memory gets its own export, named <station number>_<ddMMyy>.txt "
        "after its install date, in the export folder (<data root>/VLXLogger) unless -d "
        "names another; of two files with the same name the later one is written. With -o "
        "only the newest file's export is written, to OUTPUT. With --db every file is also "
        "stored in the station archive of that SQLite database (created when missing), "
        "adding only records not stored yet; a download that disagrees with the archived "
        "records of its file is stored beside them as a revision, with a warning. With --csv the newest file is written as the "
        "chart page's CSV of the whole file instead of the text exports (which -o or -d "
        "still ask for); --flow adds its column \"Debi [<unit>]\", the flow from the "
        "station's rating table <data root>/Debi/<station number>.abk.\n"
        "Exit status: 0 written, 1 the data are not a valid download (no complete file "
        "header, or not ending in erased space), 2 usage or file error."));
    parser.addHelpOption();
    const QCommandLineOption outputOption(
        {QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("Write the newest file's export to <file>."), QStringLiteral("file"));
    const QCommandLineOption folderOption(
        {QStringLiteral("d"), QStringLiteral("dir")},
        QStringLiteral("Write every file's export into <folder> (created when missing)."),
        QStringLiteral("folder"));
    const QCommandLineOption databaseOption(
        QStringLiteral("db"),
        QStringLiteral("Also store every file in the station archive of the SQLite database <file>, "
                       "or of the PostgreSQL server of a postgresql:// URL (password from PGPASSWORD "
                       "or the password file)."),
        QStringLiteral("file|url"));
    const QCommandLineOption dumpOption(
        QStringLiteral("dump"), QStringLiteral("Write the raw dump of INPUT's bytes to OUTPUT."));
    parser.addOption(outputOption);
    parser.addOption(folderOption);
    parser.addOption(databaseOption);
    const QCommandLineOption csvOption(
        QStringLiteral("csv"),
        QStringLiteral("Write the newest file's records to <file> as CSV, as the chart page does."),
        QStringLiteral("file"));
    const QCommandLineOption flowOption(
        QStringLiteral("flow"),
        QStringLiteral("With --csv: add the flow from the station's rating table."));
    parser.addOption(dumpOption);
    parser.addOption(csvOption);
    parser.addOption(flowOption);
    const QCommandLineOption statsOption(
        QStringLiteral("stats"),
        QStringLiteral("Print the figures of the run on standard error: files, records, rows added, "
                       "the time of each phase (read, decode, export, archive) and the peak memory."));
    parser.addOption(statsOption);
    parser.addPositionalArgument(QStringLiteral("INPUT"),
                                 QStringLiteral("Download bytes or raw dump to read (a regular "
                                                "file, or - for standard input)."));

    if (!parser.parse(QCoreApplication::arguments()))
        return fail(QStringLiteral("vlxdecode: ") + parser.errorText() + QLatin1Char('\n')
                        + parser.helpText(),
                    UsageOrIoError);
    if (parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << parser.helpText();
        return Written;
    }
    const QStringList inputs = parser.positionalArguments();
    if (inputs.size() != 1)
        return fail(QStringLiteral("vlxdecode: exactly one INPUT is needed\n") + parser.helpText(),
                    UsageOrIoError);
    const bool dump = parser.isSet(dumpOption);
    const QString output = parser.value(outputOption);
    const QString folder = parser.value(folderOption);
    if (parser.isSet(outputOption) && output.isEmpty())
        return fail(QStringLiteral("vlxdecode: the output path is empty"), UsageOrIoError);
    if (parser.isSet(folderOption) && folder.isEmpty())
        return fail(QStringLiteral("vlxdecode: the folder path is empty"), UsageOrIoError);
    if (parser.isSet(outputOption) && parser.isSet(folderOption))
        return fail(QStringLiteral("vlxdecode: -o and -d exclude each other\n") + parser.helpText(),
                    UsageOrIoError);
    const QString database = parser.value(databaseOption);
    if (parser.isSet(databaseOption) && database.isEmpty())
        return fail(QStringLiteral("vlxdecode: the database path is empty"), UsageOrIoError);
    QString urlProblem;
    if (ArchiveLocation::isServerUrl(database) && !PgConnection::parses(database, &urlProblem))
        return fail(QStringLiteral("vlxdecode: --db: the URL does not parse: ") + urlProblem, UsageOrIoError);
    if (dump && parser.isSet(databaseOption))
        return fail(QStringLiteral("vlxdecode: --dump and --db exclude each other\n")
                        + parser.helpText(),
                    UsageOrIoError);
    if (dump && output.isEmpty())
        return fail(QStringLiteral("vlxdecode: --dump needs -o OUTPUT\n") + parser.helpText(),
                    UsageOrIoError);
    const QString csv = parser.value(csvOption);
    if (parser.isSet(csvOption) && csv.isEmpty())
        return fail(QStringLiteral("vlxdecode: the CSV path is empty"), UsageOrIoError);
    if (dump && parser.isSet(csvOption))
        return fail(QStringLiteral("vlxdecode: --dump and --csv exclude each other\n") + parser.helpText(),
                    UsageOrIoError);
    if (parser.isSet(flowOption) && !parser.isSet(csvOption))
        return fail(QStringLiteral("vlxdecode: --flow needs --csv FILE\n") + parser.helpText(),
                    UsageOrIoError);

    stats.enabled = parser.isSet(statsOption);
    stats.clock.start();
    QByteArray input;
    QString error;
    if (!readInput(inputs.first(), input, error))
        return fail(error, UsageOrIoError);
    stats.phase(QStringLiteral("read"));

    if (dump) {
        if (!RawDump::write(output, input, &error))
            return fail(QStringLiteral("vlxdecode: cannot write %1: %2").arg(output, error),
                        UsageOrIoError);
        QTextStream(stdout) << QDir::toNativeSeparators(output) << Qt::endl;
        return Written;
    }

    QByteArray data = downloadBytes(input);
    if (!isValidDownload(data))
        return fail(QStringLiteral("Veri hatalı!"), InvalidDownload);

    const CompactDownload decoded = decodeCompact(data);
    // From here on the records are all there is to write.
    data = QByteArray();
    input = QByteArray();
    stats.files = qint64(decoded.files.size());
    for (const CompactFile &file : decoded.files)
        stats.records += qint64(file.records.size());
    stats.phase(QStringLiteral("decode"));
    if (decoded.files.empty())
        return fail(decoded.headerCut ? QStringLiteral("Verideki dosya başlığı eksik.")
                                      : QStringLiteral("Veride dosya başlığı bulunamadı."),
                    InvalidDownload);
    if (decoded.headerCut)
        QTextStream(stderr) << "vlxdecode: the last file header is cut short; the files before "
                               "it are written"
                            << Qt::endl;

    if (!csv.isEmpty()) {
        if (!writeCsv(*decoded.newest(), csv, parser.isSet(flowOption), error))
            return fail(error, UsageOrIoError);
        if (output.isEmpty() && folder.isEmpty())
            return archive(database, decoded, error) ? Written : fail(error, UsageOrIoError);
    }

    if (!output.isEmpty()) {
        if (!writeExport(*decoded.newest(), output, error))
            return fail(error, UsageOrIoError);
        return archive(database, decoded, error) ? Written : fail(error, UsageOrIoError);
    }

    // The program creates its export folder at start-up; this tool may run first.
    const QString target = folder.isEmpty() ? Paths::exportDir() : folder;
    if (!QDir().mkpath(target))
        return fail(QStringLiteral("vlxdecode: cannot create the folder %1").arg(target),
                    UsageOrIoError);
    for (std::size_t i = 0; i < decoded.files.size(); ++i) {
        if (decoded.exportReplacedLater(i))
            continue;
        const CompactFile &file = decoded.files[i];
        const QString name = QFileInfo(file.exportPath).fileName();
        if (!writeExport(file, QDir(target).filePath(name), error))
            return fail(error, UsageOrIoError);
    }
    return archive(database, decoded, error) ? Written : fail(error, UsageOrIoError);
}
