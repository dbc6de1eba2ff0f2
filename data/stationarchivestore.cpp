// The station archive's writing half: one store of a download's files in one
// transaction, by the rules of ArchiveRules, and the quick check that keeps
// anything from being written into a damaged database. Reading (the list of
// files, the chart's series and its cache) is in stationarchive.cpp.
#include "stationarchive.h"

#include "archivelocation.h"
#include "archiverules.h"
#include "pgarchive.h"
#include "sqlitefile.h"
#include "sqliterowwriter.h"
#include "compactdownload.h"
#include "vlxfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <limits>

namespace {

constexpr int pageSize = 1056;

// Rows go in by statements of this many rows each, and each row as two bound
// values: Qt's binding costs more per value than SQLite's insert of the row,
// and a full memory has over two million rows. The first value carries the
// row's time in seconds with its type, channel and time-stamp mark in the
// low five bits (see packedRow); SQLite turns it back into the columns.
constexpr int rowsPerInsert = 128;

// The archive's own table beside the program's two, whose statements must
// stay as they are: per file entry, a counter that takes a new value in every
// store that changes the entry's rows (the chart's cache is stamped with it;
// row ids alone come back the same when rows are written again), and the
// entry it is a revision of. Older versions of the program ignore it.
const char *const createRevisionTable =
    "CREATE TABLE IF NOT EXISTS data_revision (data INTEGER PRIMARY KEY NOT NULL, "
    "revision INTEGER NOT NULL, revises INTEGER)";

// The quick check's verdict on a connection, its database name and the
// message (empty when sound), kept on its driver: the check reads the whole
// file, and a connection made anew gets a driver of its own.
const char *const verdictProperty = "vlxArchiveVerdict";

QString insertStatement(int rows)
{
    QString sql = QStringLiteral(
        "INSERT INTO datadetay (data, tarih, saat, tip, deger, chno, chname, timeset) "
        "SELECT ?, date(column1 >> 5, 'unixepoch'), time(column1 >> 5, 'unixepoch'), "
        "column1 & 3, column2, (column1 >> 2) & 3, "
        "CASE (column1 >> 2) & 3 WHEN 1 THEN ? ELSE ? END, (column1 >> 4) & 1 FROM (VALUES ");
    for (int i = 0; i < rows; ++i)
        sql += i == 0 ? QStringLiteral("(?,?)") : QStringLiteral(",(?,?)");
    return sql + QLatin1Char(')');
}

// seconds << 5 | timeSet << 4 | channel << 2 | type
qint64 packedRow(const ArchiveRow &row)
{
    const qint64 seconds = row.msecs / 1000;
    return (seconds << 5) | (qint64(row.timeSet) << 4) | (qint64(row.channel & 3) << 2)
        | qint64(row.type & 3);
}

void recordVerdict(QSqlDatabase &db, const QString &message)
{
    if (db.driver())
        db.driver()->setProperty(verdictProperty, QStringList{db.databaseName(), message});
}

} // namespace

struct StationArchive::Statements {
    explicit Statements(const QSqlDatabase &db)
        : findFiles(db), addFile(db), freeId(db), updateFile(db), countRows(db), rowAt(db),
          nextDetailFile(db), fileExists(db), newRevision(db), bumpRevision(db), insertBatch(db),
          insertOne(db)
    {
    }
    // The driver's text of the first statement that cannot be prepared.
    QString prepare();

    QSqlQuery findFiles;
    QSqlQuery addFile;
    QSqlQuery freeId;
    QSqlQuery updateFile;
    QSqlQuery countRows;
    QSqlQuery rowAt;
    QSqlQuery nextDetailFile;
    QSqlQuery fileExists;
    QSqlQuery newRevision;
    QSqlQuery bumpRevision;
    QSqlQuery insertBatch;
    QSqlQuery insertOne;
    // The rows' fast way into SQLite, where the connection allows it.
    std::unique_ptr<SqliteRowWriter> rowWriter;
    // Rows whose `data` row is gone (the table was lost and made anew),
    // newest first; looked for once per store, when a file is new.
    std::optional<std::vector<ArchiveRules::Entry>> orphans;
};

// A file's entries under its station number and install time, newest first;
// or, for a file without any, the orphaned rows that might be its own.
struct StationArchive::Entries {
    std::vector<ArchiveRules::Entry> list;
    bool orphans = false;
};

QString StationArchive::Statements::prepare()
{
    const QString nextRevision =
        QStringLiteral("(SELECT coalesce(max(revision), 0) + 1 FROM data_revision)");
    const std::pair<QSqlQuery *, QString> statements[] = {
        {&findFiles, QStringLiteral("SELECT id FROM data WHERE istasyonno = ? AND kurulumtarihi = ? "
                                    "ORDER BY id DESC")},
        {&addFile, QStringLiteral("INSERT INTO data (id, istasyonadi, istasyonno, kurulumtarihi, "
                                  "page, buff) VALUES (?, ?, ?, ?, ?, ?)")},
        // A new entry's id lies above every id any table still knows, so
        // that it never takes over orphaned rows, a revision mark or a cache.
        {&freeId, QStringLiteral("SELECT max(coalesce((SELECT max(id) FROM data), 0), "
                                 "coalesce((SELECT max(data) FROM datadetay), 0), "
                                 "coalesce((SELECT max(data) FROM data_revision), 0)) + 1")},
        {&updateFile, QStringLiteral("UPDATE data SET istasyonadi = ?, page = ?, buff = ? WHERE id = ?")},
        {&countRows, QStringLiteral("SELECT count(*) FROM datadetay WHERE data = ?")},
        {&rowAt, QStringLiteral("SELECT CAST(strftime('%s', tarih || ' ' || saat) AS INTEGER), tip, "
                                "deger, chno FROM datadetay WHERE data = ? ORDER BY id LIMIT 1 OFFSET ?")},
        {&nextDetailFile, QStringLiteral("SELECT data FROM datadetay WHERE data > ? ORDER BY data LIMIT 1")},
        {&fileExists, QStringLiteral("SELECT 1 FROM data WHERE id = ?")},
        {&newRevision, QStringLiteral("INSERT OR REPLACE INTO data_revision (data, revision, revises) "
                                      "VALUES (?, %1, ?)")
                           .arg(nextRevision)},
        {&bumpRevision, QStringLiteral("INSERT INTO data_revision (data, revision) VALUES (?, %1) "
                                       "ON CONFLICT (data) DO UPDATE SET revision = excluded.revision")
                            .arg(nextRevision)},
        {&insertBatch, insertStatement(rowsPerInsert)},
        {&insertOne, insertStatement(1)},
    };
    for (const auto &[query, sql] : statements) {
        if (!query->prepare(sql))
            return query->lastError().text();
    }
    return QString();
}

StationArchive::StationArchive()
{
    if (ArchiveLocation::current().isServer())
        m_server = std::make_unique<PgArchive>(ArchiveLocation::serverConnection());
    else
        m_db = QSqlDatabase::database();
}

StationArchive::StationArchive(const QSqlDatabase &db)
    : m_db(db)
{
}

StationArchive::StationArchive(std::shared_ptr<PgConnection> server)
    : m_server(std::make_unique<PgArchive>(std::move(server)))
{
}

StationArchive::~StationArchive() = default;

QString StationArchive::lastError() const { return m_server ? m_server->lastError() : m_error; }

QString StationArchive::damageText(const QString &path, const QString &finding)
{
    return QCoreApplication::translate(
               "StationArchive",
               "Veritabanı bozuk: %1\n(%2)\nDosyayı yedeğinden geri yükleyin ya da başka bir yere "
               "taşıyın; yerine yeni, boş bir veritabanı açılır. Bozuk veritabanına hiçbir şey "
               "yazılmaz.")
        .arg(QDir::toNativeSeparators(path), finding);
}

bool StationArchive::checkDatabase(QString *problem)
{
    if (problem)
        problem->clear();
    if (m_server)
        return true;   // the server keeps its own files sound
    QString finding;
    {
        QSqlQuery check(m_db);
        if (!m_db.isOpen())
            return true;
        if (!check.exec(QStringLiteral("PRAGMA quick_check(3)"))) {
            // Not being able to look (a lock held too long) is no finding;
            // nothing is kept, and the next store looks again.
            if (!SqliteFile::isDamage(check.lastError()))
                return true;
            finding = check.lastError().databaseText();
        } else {
            QStringList lines;
            while (check.next())
                lines << check.value(0).toString();
            if (!lines.isEmpty() && lines != QStringList{QStringLiteral("ok")})
                finding = lines.join(QStringLiteral("; "));
        }
    }
    const QString message = finding.isEmpty() ? QString() : damageText(m_db.databaseName(), finding);
    recordVerdict(m_db, message);
    if (problem)
        *problem = message;
    return finding.isEmpty();
}

bool StationArchive::knownVerdict(QString *problem) const
{
    const QStringList verdict =
        m_db.driver() ? m_db.driver()->property(verdictProperty).toStringList() : QStringList();
    if (verdict.size() != 2 || verdict.first() != m_db.databaseName())
        return false;
    *problem = verdict.last();
    return true;
}

bool StationArchive::soundForWriting(QString *problem)
{
    if (knownVerdict(problem))
        return problem->isEmpty();
    return checkDatabase(problem);
}

bool StationArchive::fail(const QString &error)
{
    m_error = error;
    return false;
}

bool StationArchive::fail(const QSqlQuery &query)
{
    m_damaged = m_damaged || SqliteFile::isDamage(query.lastError());
    return fail(query.lastError().text());
}

bool StationArchive::ensureSchema(QString *error)
{
    QSqlQuery table(m_db);
    if (!ensureIndex(error))
        return false;
    if (table.exec(QString::fromLatin1(createRevisionTable)))
        return true;
    *error = table.lastError().text();
    return false;
}

ArchiveResult StationArchive::store(const std::vector<std::unique_ptr<VLXFile>> &files,
                                    const Progress &progress)
{
    std::vector<CompactFile> compact;
    compact.reserve(files.size());
    for (const auto &file : files)
        compact.push_back(compactOf(*file));
    return store(compact, progress);
}

ArchiveResult StationArchive::store(const std::vector<CompactFile> &files, const Progress &progress)
{
    if (m_server)
        return m_server->store(files, progress);
    ArchiveResult result;
    m_error.clear();
    m_damaged = false;
    if (!m_db.isOpen()) {
        result.error = m_db.lastError().text().trimmed().isEmpty() ? QStringLiteral("database not open")
                                                                   : m_db.lastError().text();
        return result;
    }
    if (!soundForWriting(&result.error))
        return result;
    // The log starts empty: on a disk that fills up during the store, what
    // the rollback leaves in it can then be given back, where committed
    // pages still in it would first have to be copied into a file that can
    // no longer grow.
    SqliteFile::releaseLog(m_db);
    if (!SqliteFile::begin(m_db, &result.error))
        return result;

    m_statements = std::make_unique<Statements>(m_db);
    bool ok = ensureSchema(&m_error);
    if (ok) {
        const QString error = m_statements->prepare();
        ok = error.isEmpty() || fail(error);
    }

    std::vector<std::vector<ArchiveRow>> rows;
    qint64 total = 0;
    for (const auto &file : files) {
        rows.push_back(rowsOf(file));
        total += qint64(rows.back().size());
    }
    std::vector<Stored> stored(files.size());
    qint64 done = 0;
    for (std::size_t i = 0; ok && i < files.size(); ++i)
        ok = storeFile(files[i], rows[i], done, total, progress, result, stored[i]);

    m_statements.reset();
    ok = ok && SqliteFile::commit(m_db, &m_error);
    if (!ok) {
        SqliteFile::rollback(m_db);
        result = ArchiveResult();
        if (m_damaged) {
            result.error = damageText(m_db.databaseName(), m_error);
            recordVerdict(m_db, result.error);
        } else {
            result.error = m_error.trimmed().isEmpty() ? QStringLiteral("unknown error") : m_error;
        }
        return result;
    }
    SqliteFile::releaseLog(m_db);
    result.ok = true;
    writeCaches(files, rows, stored, result);
    return result;
}

bool StationArchive::storeFile(const CompactFile &file, const std::vector<ArchiveRow> &rows,
                               qint64 &done, qint64 total, const Progress &progress,
                               ArchiveResult &result, Stored &stored)
{
    using ArchiveRules::Decision;
    Statements &s = *m_statements;
    Entries entries;
    if (!entriesOf(file, entries))
        return false;
    const Decision decision = ArchiveRules::decide(
        entries.list, rows, [this](qint64 id, qint64 place, std::optional<ArchiveRow> &row) {
            return storedRowAt(id, place, row);
        });
    if (decision.kind == Decision::Failed)
        return false;

    bool addsEntry = true;
    qint64 revises = 0;
    std::size_t from = 0;
    if (decision.kind == Decision::Extend) {
        stored.id = decision.entry;
        stored.rowsAreDownload = qint64(rows.size()) >= decision.storedRows;
        from = std::size_t(std::min(decision.storedRows, qint64(rows.size())));
        // Orphaned rows get their `data` row back; a known entry takes the
        // download's name and end unless the download is the shorter one.
        addsEntry = entries.orphans;
        if (addsEntry) {
            auto &orphans = *s.orphans;
            orphans.erase(std::find_if(orphans.begin(), orphans.end(),
                                       [&](const ArchiveRules::Entry &e) { return e.id == stored.id; }));
        } else if (stored.rowsAreDownload) {
            s.updateFile.bindValue(0, file.header.stationName);
            s.updateFile.bindValue(1, file.endAddress / pageSize);
            s.updateFile.bindValue(2, file.endAddress % pageSize);
            s.updateFile.bindValue(3, stored.id);
            if (!s.updateFile.exec())
                return fail(s.updateFile);
        }
    } else {
        if (!s.freeId.exec() || !s.freeId.next())
            return fail(s.freeId);
        stored.id = s.freeId.value(0).toLongLong();
        s.freeId.finish();
        if (decision.kind == Decision::Revision && !entries.orphans) {
            revises = decision.entry;
            stored.revision = int(result.revisions.size());
            result.revisions << ArchiveRevision{file.header.stationNo, file.fileDate, revises, stored.id, 0, 0};
        }
    }
    if (addsEntry) {
        if (!addEntry(file, stored.id))
            return false;
        ++result.filesAdded;
    }
    result.fileIds << stored.id;
    const qint64 before = result.rowsAdded;
    if (!insertRows(stored.id, file, rows, from, done, total, progress, result))
        return false;
    if (addsEntry || result.rowsAdded > before)
        return markChanged(stored.id, addsEntry, revises);
    return true;
}

bool StationArchive::entriesOf(const CompactFile &file, Entries &entries)
{
    Statements &s = *m_statements;
    s.findFiles.bindValue(0, file.header.stationNo);
    s.findFiles.bindValue(1, timestampText(file.fileDate));
    if (!s.findFiles.exec())
        return fail(s.findFiles);
    std::vector<qint64> ids;
    while (s.findFiles.next())
        ids.push_back(s.findFiles.value(0).toLongLong());
    s.findFiles.finish();
    for (qint64 id : ids) {
        s.countRows.bindValue(0, id);
        if (!s.countRows.exec() || !s.countRows.next())
            return fail(s.countRows);
        entries.list.push_back({id, s.countRows.value(0).toLongLong()});
        s.countRows.finish();
    }
    if (!entries.list.empty())
        return true;
    entries.orphans = true;
    return orphanEntries(entries);
}

// Rows of `datadetay` whose `data` row is missing: the table was lost (a
// damaged file repaired, a table dropped) and made anew. A download that
// agrees with them is their file, and takes them back instead of writing
// every record a second time. The walk seeks the index once per file.
bool StationArchive::orphanEntries(Entries &entries)
{
    Statements &s = *m_statements;
    if (!s.orphans) {
        std::vector<ArchiveRules::Entry> found;
        qint64 after = std::numeric_limits<qint64>::min();
        for (;;) {
            s.nextDetailFile.bindValue(0, after);
            if (!s.nextDetailFile.exec())
                return fail(s.nextDetailFile);
            if (!s.nextDetailFile.next())
                break;
            after = s.nextDetailFile.value(0).toLongLong();
            s.nextDetailFile.finish();
            s.fileExists.bindValue(0, after);
            if (!s.fileExists.exec())
                return fail(s.fileExists);
            const bool known = s.fileExists.next();
            s.fileExists.finish();
            if (known)
                continue;
            s.countRows.bindValue(0, after);
            if (!s.countRows.exec() || !s.countRows.next())
                return fail(s.countRows);
            found.insert(found.begin(), {after, s.countRows.value(0).toLongLong()});
            s.countRows.finish();
        }
        s.nextDetailFile.finish();
        s.orphans = std::move(found);
    }
    entries.list = *s.orphans;
    return true;
}

bool StationArchive::storedRowAt(qint64 dataId, qint64 place, std::optional<ArchiveRow> &row)
{
    QSqlQuery &rowAt = m_statements->rowAt;
    rowAt.bindValue(0, dataId);
    rowAt.bindValue(1, place);
    if (!rowAt.exec())
        return fail(rowAt);
    row.reset();
    if (rowAt.next()) {
        ArchiveRow stored;
        stored.msecs = rowAt.value(0).toLongLong() * 1000;
        stored.type = qint8(rowAt.value(1).toInt());
        stored.value = float(rowAt.value(2).toDouble());
        stored.channel = qint8(rowAt.value(3).toInt());
        row = stored;
    }
    rowAt.finish();
    return true;
}

bool StationArchive::addEntry(const CompactFile &file, qint64 dataId)
{
    QSqlQuery &add = m_statements->addFile;
    add.bindValue(0, dataId);
    add.bindValue(1, file.header.stationName);
    add.bindValue(2, file.header.stationNo);
    add.bindValue(3, timestampText(file.fileDate));
    add.bindValue(4, file.endAddress / pageSize);
    add.bindValue(5, file.endAddress % pageSize);
    return add.exec() || fail(add);
}

bool StationArchive::markChanged(qint64 dataId, bool newEntry, qint64 revises)
{
    QSqlQuery &mark = newEntry ? m_statements->newRevision : m_statements->bumpRevision;
    mark.bindValue(0, dataId);
    if (newEntry)
        mark.bindValue(1, revises > 0 ? QVariant(revises) : QVariant());
    return mark.exec() || fail(mark);
}

bool StationArchive::insertRows(qint64 dataId, const CompactFile &file,
                                const std::vector<ArchiveRow> &rows, std::size_t from,
                                qint64 &done, qint64 total, const Progress &progress,
                                ArchiveResult &result)
{
    Statements &s = *m_statements;
    constexpr qint64 reportEvery = 8192;
    // Rows already stored count as handled, so that the bar of a store that
    // adds a few rows to a long file ends full.
    done += qint64(from);
    qint64 nextReport = done;

    if (!s.rowWriter)
        s.rowWriter = std::make_unique<SqliteRowWriter>(m_db);
    if (s.rowWriter->isUsable()) {
        std::size_t i = from;
        while (i < rows.size()) {
            const std::size_t to = std::min(rows.size(), i + std::size_t(reportEvery));
            QString error;
            if (!s.rowWriter->insert(dataId, file.header.channel1Name, file.header.channel2Name, rows, i, to,
                                     &error)) {
                m_damaged = m_damaged || SqliteFile::isDamageCode(s.rowWriter->lastErrorCode());
                return fail(error);
            }
            done += qint64(to - i);
            result.rowsAdded += qint64(to - i);
            i = to;
            if (progress)
                progress(done, total);
        }
        if (progress && from == rows.size())
            progress(done, total);
        countAdded(rows, from, result);
        return true;
    }

    for (QSqlQuery *query : {&s.insertBatch, &s.insertOne}) {
        query->bindValue(0, dataId);
        query->bindValue(1, file.header.channel1Name);
        query->bindValue(2, file.header.channel2Name);
    }
    std::size_t i = from;
    while (i < rows.size()) {
        const bool batch = rows.size() - i >= std::size_t(rowsPerInsert);
        QSqlQuery &query = batch ? s.insertBatch : s.insertOne;
        const int count = batch ? rowsPerInsert : 1;
        for (int slot = 0; slot < count; ++slot) {
            const ArchiveRow &row = rows[i + std::size_t(slot)];
            query.bindValue(3 + 2 * slot, packedRow(row));
            query.bindValue(4 + 2 * slot, double(row.value));
        }
        if (!query.exec())
            return fail(query);
        i += std::size_t(count);
        done += count;
        result.rowsAdded += count;
        if (progress && done >= nextReport) {
            progress(done, total);
            nextReport = done + reportEvery;
        }
    }
    if (progress)
        progress(done, total);
    countAdded(rows, from, result);
    return true;
}

// The two rows of one measurement (one per channel) share its time and make
// one record; every summary row is a value of its own.
void StationArchive::countAdded(const std::vector<ArchiveRow> &rows, std::size_t from,
                                ArchiveResult &result)
{
    const ArchiveRow *previous = nullptr;
    for (std::size_t i = from; i < rows.size(); ++i) {
        const ArchiveRow &row = rows[i];
        if (row.type != 0)
            ++result.summariesAdded;
        else if (!previous || previous->type != 0 || previous->msecs != row.msecs)
            ++result.recordsAdded;
        previous = &row;
        if (result.firstAddedMsecs == 0 || row.msecs < result.firstAddedMsecs)
            result.firstAddedMsecs = row.msecs;
        if (result.lastAddedMsecs == 0 || row.msecs > result.lastAddedMsecs)
            result.lastAddedMsecs = row.msecs;
    }
}
