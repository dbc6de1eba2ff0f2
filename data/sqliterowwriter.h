#ifndef SQLITEROWWRITER_H
#define SQLITEROWWRITER_H

#include <QSqlDatabase>
#include <QString>

#include <memory>
#include <vector>

struct ArchiveRow;

// The bulk path of the station archive's rows into SQLite: a full memory has
// over two million `datadetay` rows, and through Qt's binding (a QVariant per
// value, a lock per call) writing them costs several times what SQLite's own
// insert does. This writer talks to the connection's SQLite library directly:
// one multi-row INSERT prepared once, the file id and channel names bound
// once per file, per row only what varies, date and time texts made once per
// day and per second and handed over without a copy. It runs inside the
// caller's transaction on the same connection.
//
//   SqliteRowWriter writer(db);
//   if (writer.isUsable()) writer.insert(dataId, name1, name2, rows, from, to, &error);
//
// Where the connection's SQLite cannot be reached this way (another driver, a
// SQLite linked into the driver itself, as Qt's own Windows builds have it)
// isUsable() is false and the caller writes through Qt.
class SqliteRowWriter
{
public:
    explicit SqliteRowWriter(const QSqlDatabase &db);
    ~SqliteRowWriter();
    SqliteRowWriter(const SqliteRowWriter &) = delete;
    SqliteRowWriter &operator=(const SqliteRowWriter &) = delete;

    bool isUsable() const;

    // With false, no writer is usable: every store takes Qt's path, as it
    // does where the SQLite library cannot be reached (tests of that path).
    static void allowBulkPath(bool allowed);

    // SQLite's extended result code of the last failed insert.
    int lastErrorCode() const;

    // Inserts rows[from, to) of the file `dataId`. False with SQLite's
    // message on failure; the rows written before it stay in the caller's
    // transaction (which then rolls back).
    bool insert(qint64 dataId, const QString &channel1Name, const QString &channel2Name,
                const std::vector<ArchiveRow> &rows, std::size_t from, std::size_t to, QString *error);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

#endif // SQLITEROWWRITER_H
