#include "memorycopy.h"

#include "archivelocation.h"
#include "paths.h"
#include "pgconnection.h"
#include "pgschema.h"
#include "sqlitefile.h"

#include <QAtomicInt>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <array>

namespace {

const char *const createTable =
    "CREATE TABLE IF NOT EXISTS memoryblock ("
    " serial TEXT NOT NULL,"
    " address INTEGER NOT NULL,"
    " bytes BLOB NOT NULL,"
    " crc INTEGER NOT NULL,"
    " PRIMARY KEY (serial, address)) WITHOUT ROWID";

std::array<quint32, 256> crcTable()
{
    std::array<quint32, 256> table {};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

quint32 crcUpdate(quint32 crc, const char *bytes, qsizetype size)
{
    static const std::array<quint32, 256> table = crcTable();
    for (qsizetype i = 0; i < size; ++i)
        crc = table[(crc ^ quint8(bytes[i])) & 0xFF] ^ (crc >> 8);
    return crc;
}

QAtomicInt connectionCount;

} // namespace

// Prepared once per connection; values are bound per call.
struct MemoryCopy::Statements {
    QSqlQuery select;
    QSqlQuery insert;
    QSqlQuery trim;
    QSqlQuery remove;

    // The four statements on `table` of db; `insert` keeps a block, replacing
    // the one at its address. Null with the driver's text on failure.
    static std::unique_ptr<Statements> prepare(const QSqlDatabase &db, const QString &table,
                                               const QString &insert, QString *error)
    {
        auto s = std::make_unique<Statements>();
        s->select = QSqlQuery(db);
        s->insert = QSqlQuery(db);
        s->trim = QSqlQuery(db);
        s->remove = QSqlQuery(db);
        s->select.setForwardOnly(true);
        if (!s->select.prepare(QStringLiteral("SELECT address, bytes, crc FROM %1 WHERE serial = ? ORDER BY address")
                                   .arg(table))
            || !s->insert.prepare(insert)
            || !s->trim.prepare(QStringLiteral("DELETE FROM %1 WHERE serial = ? AND address > ?").arg(table))
            || !s->remove.prepare(QStringLiteral("DELETE FROM %1 WHERE serial = ?").arg(table))) {
            *error = db.lastError().text();
            return nullptr;
        }
        return s;
    }
};

MemoryCopy::MemoryCopy(const QString &fileName)
    : m_fileName(fileName),
      m_connection(QStringLiteral("memorycopy-%1").arg(connectionCount.fetchAndAddRelaxed(1)))
{
    // A file that is not a database (or not ours) is no copy worth keeping.
    if (!open())
        recreate();
}

MemoryCopy::~MemoryCopy() { close(); }

bool MemoryCopy::isOpen() const { return m_statements != nullptr; }

quint32 MemoryCopy::blockChecksum(qint64 address, const QByteArray &bytes)
{
    char prefix[8];
    for (int i = 0; i < 8; ++i)
        prefix[i] = char(quint64(address) >> (56 - 8 * i));
    quint32 crc = crcUpdate(0xFFFFFFFFu, prefix, 8);
    return crcUpdate(crc, bytes.constData(), bytes.size()) ^ 0xFFFFFFFFu;
}

std::unique_ptr<MemoryCopy> MemoryCopy::forArchive()
{
    const ArchiveLocation where = ArchiveLocation::current();
    if (!where.isServer())
        return std::make_unique<MemoryCopy>(Paths::memoryCopyFile());
    return std::unique_ptr<MemoryCopy>(new MemoryCopy(QString(), where.displayName()));
}

MemoryCopy::MemoryCopy(const QString &, const QString &serverName)
    : m_fileName(serverName),
      m_connection(QStringLiteral("memorycopy-%1").arg(connectionCount.fetchAndAddRelaxed(1))),
      m_onServer(true)
{
    open();
}

bool MemoryCopy::openOnServer()
{
    QString error;
    const auto server = ArchiveLocation::serverConnection();
    if (!server->isOpen())
        return fail("open", server->errorText());
    if (!PgSchema::ensure(*server, &error))
        return fail("open", error);
    QSqlDatabase db = ArchiveLocation::openServerDatabase(m_connection);
    if (!db.isOpen())
        return fail("open", db.lastError().text());
    auto statements = Statements::prepare(
        db, QStringLiteral("memory_copy"),
        QStringLiteral("INSERT INTO memory_copy (serial, address, bytes, crc) VALUES (?, ?, ?, ?) "
                       "ON CONFLICT (serial, address) DO UPDATE SET bytes = EXCLUDED.bytes, crc = EXCLUDED.crc"),
        &error);
    if (!statements)
        return fail("open", error);
    m_statements = std::move(statements);
    return true;
}

bool MemoryCopy::open()
{
    if (m_onServer)
        return openOnServer();
    QDir().mkpath(QFileInfo(m_fileName).absolutePath());
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(QDir::toNativeSeparators(m_fileName));
    db.setConnectOptions(SqliteFile::connectOptions());
    if (!db.open())
        return fail("open", db.lastError().text());

    // The write-ahead log makes a block's transaction all or nothing even
    // when the program dies halfway; NORMAL keeps a commit from waiting for
    // the disk, which a power cut can cost the last blocks, never half of one.
    QSqlQuery setup(db);
    for (const char *statement : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL", createTable}) {
        if (!setup.exec(QString::fromLatin1(statement)))
            return fail("open", setup.lastError().text());
    }
    setup.finish();

    QString error;
    auto statements = Statements::prepare(
        db, QStringLiteral("memoryblock"),
        QStringLiteral("INSERT OR REPLACE INTO memoryblock (serial, address, bytes, crc) VALUES (?, ?, ?, ?)"),
        &error);
    if (!statements)
        return fail("open", error);
    m_statements = std::move(statements);
    return true;
}

void MemoryCopy::close()
{
    m_statements.reset();
    if (!QSqlDatabase::contains(m_connection))
        return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

bool MemoryCopy::recreate()
{
    close();
    if (m_onServer)
        return open();   // the server's table stays; a bad copy was discarded
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(m_fileName + QLatin1String(suffix));
    if (open())
        return true;
    close();
    return false;
}

bool MemoryCopy::fail(const char *method, const QString &error)
{
    m_error = error;
    qDebug().noquote() << QStringLiteral("[Hata] MemoryCopy::%1() : %2 (%3)")
                              .arg(QLatin1String(method), error, m_fileName);
    return false;
}

QByteArray MemoryCopy::load(const QString &serialNo)
{
    if (!m_statements || serialNo.isEmpty())
        return QByteArray();
    QSqlQuery &select = m_statements->select;
    select.bindValue(0, serialNo);
    if (!select.exec()) {
        // The file itself is damaged: start a new one.
        fail("load", select.lastError().text());
        recreate();
        return QByteArray();
    }
    QByteArray copy;
    QString damage;
    while (damage.isEmpty() && select.next()) {
        const qint64 address = select.value(0).toLongLong();
        const QByteArray bytes = select.value(1).toByteArray();
        const quint32 crc = quint32(select.value(2).toLongLong());
        if (address != copy.size())
            damage = QStringLiteral("no block at address %1").arg(copy.size());
        else if (bytes.isEmpty() || crc != blockChecksum(address, bytes))
            damage = QStringLiteral("the block at address %1 fails its checksum").arg(address);
        else
            copy += bytes;
    }
    select.finish();
    if (damage.isEmpty())
        return copy;
    fail("load", QStringLiteral("copy of %1 discarded: %2").arg(serialNo, damage));
    if (!discard(serialNo))
        recreate();
    return QByteArray();
}

bool MemoryCopy::storeBlock(const QString &serialNo, qint64 address, const QByteArray &bytes)
{
    if (!m_statements)
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QString error;
    if (m_onServer ? !db.transaction() : !SqliteFile::begin(db, &error))
        return fail("storeBlock", m_onServer ? db.lastError().text() : error);
    QSqlQuery &insert = m_statements->insert;
    insert.bindValue(0, serialNo);
    insert.bindValue(1, address);
    insert.bindValue(2, bytes);
    insert.bindValue(3, qint64(blockChecksum(address, bytes)));
    QSqlQuery &trim = m_statements->trim;
    trim.bindValue(0, serialNo);
    trim.bindValue(1, address);
    if (!insert.exec())
        error = insert.lastError().text();
    else if (!trim.exec())
        error = trim.lastError().text();
    else if (m_onServer ? db.commit() : SqliteFile::commit(db, &error))
        return true;
    if (m_onServer) {
        error = error.isEmpty() ? db.lastError().text() : error;
        db.rollback();
    } else {
        SqliteFile::rollback(db);
    }
    return fail("storeBlock", error);
}

bool MemoryCopy::discard(const QString &serialNo)
{
    if (!m_statements)
        return false;
    QSqlQuery &remove = m_statements->remove;
    remove.bindValue(0, serialNo);
    if (!remove.exec())
        return fail("discard", remove.lastError().text());
    return true;
}
