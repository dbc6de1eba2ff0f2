#include "sqliterowwriter.h"

#include "stationarchive.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>

#ifdef VLX_SQLITE_DIRECT
#include <sqlite3.h>

#include <array>
#include <cstdio>
#include <unordered_map>
#endif

namespace {
constexpr qint64 msecsPerDay = 86400000;
bool bulkAllowed = true;
} // namespace

void SqliteRowWriter::allowBulkPath(bool allowed) { bulkAllowed = allowed; }

#ifdef VLX_SQLITE_DIRECT

struct SqliteRowWriter::Impl {
    static constexpr int rowsPerStatement = 64;
    static constexpr int fixed = 3;      // ?1 file id, ?2 and ?3 the channel names
    static constexpr int perRow = 6;     // date, time, type, value, channel, time-stamp mark

    sqlite3 *handle = nullptr;
    sqlite3_stmt *batch = nullptr;
    sqlite3_stmt *single = nullptr;
    // Texts handed to SQLite without a copy live here until the writer goes.
    std::unordered_map<qint64, std::array<char, 11>> days;
    std::vector<std::array<char, 9>> clocks;
    QByteArray names[2];

    ~Impl()
    {
        sqlite3_finalize(batch);
        sqlite3_finalize(single);
    }

    sqlite3_stmt *prepare(int rows)
    {
        QByteArray sql = "INSERT INTO datadetay (data, tarih, saat, tip, deger, chno, chname, timeset) VALUES ";
        for (int r = 0; r < rows; ++r) {
            const int p = fixed + r * perRow;
            sql += QByteArray(r == 0 ? "" : ",")
                + QStringLiteral("(?1, ?%1, ?%2, ?%3, ?%4, ?%5, CASE ?%5 WHEN 1 THEN ?2 ELSE ?3 END, ?%6)")
                      .arg(p + 1).arg(p + 2).arg(p + 3).arg(p + 4).arg(p + 5).arg(p + 6).toLatin1();
        }
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &statement, nullptr) != SQLITE_OK) {
            sqlite3_finalize(statement);
            return nullptr;
        }
        return statement;
    }

    const char *dayText(qint64 day)
    {
        auto found = days.find(day);
        if (found != days.end())
            return found->second.data();
        std::array<char, 11> text{};
        const QByteArray date = QDate::fromJulianDay(day + 2440588).toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
        std::snprintf(text.data(), text.size(), "%s", date.constData());
        return days.emplace(day, text).first->second.data();
    }

    const char *clockText(int second)
    {
        if (clocks.empty()) {
            clocks.resize(86400);
            for (int s = 0; s < 86400; ++s)
                std::snprintf(clocks[std::size_t(s)].data(), 9, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
        }
        return clocks[std::size_t(second)].data();
    }

    void bindRow(sqlite3_stmt *statement, int slot, const ArchiveRow &row)
    {
        qint64 day = row.msecs / msecsPerDay;
        qint64 ofDay = row.msecs % msecsPerDay;
        if (ofDay < 0) {
            ofDay += msecsPerDay;
            --day;
        }
        const int p = fixed + slot * perRow;
        sqlite3_bind_text(statement, p + 1, dayText(day), -1, SQLITE_STATIC);
        sqlite3_bind_text(statement, p + 2, clockText(int(ofDay / 1000)), 8, SQLITE_STATIC);
        sqlite3_bind_int(statement, p + 3, row.type);
        sqlite3_bind_double(statement, p + 4, double(row.value));
        sqlite3_bind_int(statement, p + 5, row.channel);
        sqlite3_bind_int(statement, p + 6, row.timeSet ? 1 : 0);
    }

    QString lastError() const { return QString::fromUtf8(sqlite3_errmsg(handle)); }

    int failure = 0;
};

SqliteRowWriter::SqliteRowWriter(const QSqlDatabase &db) : d(std::make_unique<Impl>())
{
    if (!db.driver() || db.driverName() != QLatin1String("QSQLITE"))
        return;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    sqlite3 *candidate = *static_cast<sqlite3 *const *>(handle.data());
    // The handle is only ours to use when the driver runs on this very
    // library: the same version, and the library knows the handle's file.
    QSqlQuery version(db);
    if (!candidate || !version.exec(QStringLiteral("SELECT sqlite_version()")) || !version.next()
        || version.value(0).toString() != QString::fromLatin1(sqlite3_libversion())
        || !sqlite3_db_filename(candidate, "main"))
        return;
    d->handle = candidate;
    d->batch = d->prepare(Impl::rowsPerStatement);
    d->single = d->prepare(1);
    if (!d->batch || !d->single)
        d->handle = nullptr;
}

SqliteRowWriter::~SqliteRowWriter() = default;

bool SqliteRowWriter::isUsable() const { return d->handle != nullptr && bulkAllowed; }

int SqliteRowWriter::lastErrorCode() const { return d->failure; }

bool SqliteRowWriter::insert(qint64 dataId, const QString &channel1Name, const QString &channel2Name,
                             const std::vector<ArchiveRow> &rows, std::size_t from, std::size_t to,
                             QString *error)
{
    d->names[0] = channel1Name.toUtf8();
    d->names[1] = channel2Name.toUtf8();
    for (sqlite3_stmt *statement : {d->batch, d->single}) {
        sqlite3_bind_int64(statement, 1, dataId);
        sqlite3_bind_text(statement, 2, d->names[0].constData(), int(d->names[0].size()), SQLITE_STATIC);
        sqlite3_bind_text(statement, 3, d->names[1].constData(), int(d->names[1].size()), SQLITE_STATIC);
    }
    std::size_t i = from;
    while (i < to) {
        const bool full = to - i >= std::size_t(Impl::rowsPerStatement);
        sqlite3_stmt *statement = full ? d->batch : d->single;
        const int count = full ? Impl::rowsPerStatement : 1;
        for (int slot = 0; slot < count; ++slot)
            d->bindRow(statement, slot, rows[i + std::size_t(slot)]);
        const int stepped = sqlite3_step(statement);
        sqlite3_reset(statement);
        if (stepped != SQLITE_DONE) {
            d->failure = sqlite3_extended_errcode(d->handle);
            if (error)
                *error = d->lastError();
            return false;
        }
        i += std::size_t(count);
    }
    return true;
}

#else

struct SqliteRowWriter::Impl {
};

SqliteRowWriter::SqliteRowWriter(const QSqlDatabase &) : d(std::make_unique<Impl>()) {}
SqliteRowWriter::~SqliteRowWriter() = default;
bool SqliteRowWriter::isUsable() const { return false; }
int SqliteRowWriter::lastErrorCode() const { return 0; }
bool SqliteRowWriter::insert(qint64, const QString &, const QString &, const std::vector<ArchiveRow> &,
                             std::size_t, std::size_t, QString *)
{
    return false;
}

#endif
