#include "database.h"
#include "paths.h"
#include "compactdownload.h"
#include "stationarchive.h"
#include "vlxfile.h"

#include "boxspy.h"
#include "testenv.h"

#include <QtTest>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace {
const char *const dataStatement =
    "CREATE TABLE [data] (     [id] INTEGER  NOT NULL PRIMARY KEY,    "
    "[istasyonadi] VARCHAR(14)  NOT NULL,   [istasyonno] VARCHAR(14)  NOT NULL,    "
    "[kurulumtarihi] TIMESTAMP  NOT NULL,   [page] INTEGER DEFAULT '0' NOT NULL,   "
    "[buff] INTEGER DEFAULT '0' NOT NULL    )";
const char *const detayStatement =
    "CREATE TABLE [datadetay] (    [id] INTEGER  PRIMARY KEY NOT NULL,         "
    "[data] INTEGER  NOT NULL,                   [tarih] DATE  NOT NULL,                     "
    "[saat] TIME  NOT NULL,                      [tip] INTEGER DEFAULT '1' NOT NULL,         "
    "[deger] NUMERIC(18,4) DEFAULT '0' NOT NULL, [chno] INTEGER DEFAULT '1' NOT NULL,        "
    "[chname] VARCHAR(255),                      [timeset] INTEGER DEFAULT '1' NOT NULL      )";

QStringList diagnostics;
void collect(QtMsgType, const QMessageLogContext &, const QString &message)
{
    diagnostics << message;
}

QMap<QString, QString> storedTables()
{
    QMap<QString, QString> tables;
    QSqlQuery query(QSqlDatabase::database());
    query.exec(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'table'"));
    while (query.next())
        tables.insert(query.value(0).toString(), query.value(1).toString());
    return tables;
}

void dropConnection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
}
} // namespace

class TestDatabase : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void firstStart_createsFileWithBothTablesAsStated();
    void secondStart_keepsTablesAndRows();
    void damagedFile_namedInABoxAndLeftAsItIs_data();
    void damagedFile_namedInABoxAndLeftAsItIs();
    void missingDataRoot_showsDbErrorBoxAndFails();
};

void TestDatabase::cleanup()
{
    qInstallMessageHandler(nullptr);
    dropConnection();
}

void TestDatabase::firstStart_createsFileWithBothTablesAsStated()
{
    TestEnv::freshAppDir(QStringLiteral("db-first"));
    QDir().mkpath(Paths::dataRoot());
    BoxSpy boxes;
    QVERIFY(openDatabase());
    QVERIFY(QFileInfo::exists(Paths::databaseFile()));
    const auto tables = storedTables();
    QCOMPARE(tables.size(), 2);
    // SQLite keeps the text of a CREATE TABLE as written from the table name
    // on, behind its own "CREATE TABLE ".
    QCOMPARE(tables.value("data"), QString::fromLatin1(dataStatement));
    QCOMPARE(tables.value("datadetay"), QString::fromLatin1(detayStatement));
    QSqlQuery index(QSqlDatabase::database());
    index.exec("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL");
    QVERIFY(index.next());
    QCOMPARE(index.value(0).toInt(), 0);
    BOXSPY_VERIFY(boxes);
}

void TestDatabase::secondStart_keepsTablesAndRows()
{
    TestEnv::freshAppDir(QStringLiteral("db-second"));
    QDir().mkpath(Paths::dataRoot());
    QVERIFY(openDatabase());
    const auto before = storedTables();
    QSqlQuery insert(QSqlDatabase::database());
    QVERIFY(insert.exec("INSERT INTO data (istasyonadi, istasyonno, kurulumtarihi) "
                        "VALUES ('ST1', '1234', '2013-12-07 14:30')"));
    dropConnection();

    diagnostics.clear();
    qInstallMessageHandler(collect);
    QVERIFY(openDatabase());
    QVERIFY(createTables());
    qInstallMessageHandler(nullptr);
    QVERIFY2(diagnostics.isEmpty(), qPrintable(diagnostics.join('\n')));
    QCOMPARE(storedTables(), before);
    QSqlQuery count(QSqlDatabase::database());
    count.exec("SELECT istasyonadi, page, buff FROM data");
    QVERIFY(count.next());
    QCOMPARE(count.value(0).toString(), QStringLiteral("ST1"));
    QCOMPARE(count.value(1).toInt(), 0);
    QCOMPARE(count.value(2).toInt(), 0);
    QVERIFY(!count.next());
}

void TestDatabase::damagedFile_namedInABoxAndLeftAsItIs_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("not an SQLite file") << "garbage";
    QTest::newRow("first page zeroed") << "first";
    QTest::newRow("three pages overwritten") << "pages";
}

void TestDatabase::damagedFile_namedInABoxAndLeftAsItIs()
{
    QFETCH(QString, damage);
    TestEnv::freshAppDir(QStringLiteral("db-damaged"));
    QDir().mkpath(Paths::dataRoot());
    QVERIFY(openDatabase());
    QSqlQuery fill(QSqlDatabase::database());
    QVERIFY(fill.exec("INSERT INTO datadetay (data, tarih, saat, deger) WITH RECURSIVE n(i) AS "
                      "(SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                      "SELECT 1, '2013-12-07', '14:30:00', i FROM n"));
    fill.finish();
    dropConnection();
    QFile file(Paths::databaseFile());
    QVERIFY(file.open(QIODevice::ReadWrite));
    const qint64 pageSize = 4096;
    if (damage == QLatin1String("garbage"))
        QVERIFY(file.resize(0) && file.write(QByteArray(4096, 'x')) == 4096);
    for (qint64 page : damage == QLatin1String("first") ? QList<qint64>{0} : QList<qint64>{3, 6, 9}) {
        if (damage != QLatin1String("garbage") && file.seek(page * pageSize))
            QCOMPARE(file.write(QByteArray(int(pageSize), page == 0 ? '\0' : '\xA5')), pageSize);
    }
    QVERIFY(file.seek(0));
    const QByteArray damaged = file.readAll();
    file.close();

    BoxSpy boxes;
    boxes.expect(MessageBox::Critical, QString::fromUtf8("Veritabanı"));
    QVERIFY(openDatabase());
    BOXSPY_VERIFY(boxes);
    const MessageBox::Request box = boxes.shown().first();
    QVERIFY(box.parent == nullptr);
    QVERIFY2(box.text.contains(QDir::toNativeSeparators(Paths::databaseFile())), qPrintable(box.text));
    QVERIFY2(box.text.contains(QString::fromUtf8("geri yükleyin")), qPrintable(box.text));
    // A store is refused with the same words, and nothing is written.
    StationArchive archive;
    const ArchiveResult stored = archive.store(std::vector<CompactFile>());
    QVERIFY(!stored.ok);
    QCOMPARE(stored.error, box.text);
    dropConnection();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll() == damaged);
    QVERIFY(!QFileInfo::exists(Paths::databaseFile() + QStringLiteral("-wal")));
}

void TestDatabase::missingDataRoot_showsDbErrorBoxAndFails()
{
    TestEnv::freshAppDir(QStringLiteral("db-missing"));
    // The data root was never created.
    BoxSpy boxes;
    boxes.expect(MessageBox::Critical, QStringLiteral("DBERROR"));
    diagnostics.clear();
    qInstallMessageHandler(collect);
    QVERIFY(!openDatabase());
    qInstallMessageHandler(nullptr);
    BOXSPY_VERIFY(boxes);
    const MessageBox::Request box = boxes.shown().first();
    QVERIFY(box.parent == nullptr);
    QCOMPARE(box.buttons, QStringList{QStringLiteral("OK")});
    QVERIFY(!box.text.isEmpty());
    QCOMPARE(diagnostics.size(), 1);
    QCOMPARE(diagnostics.first(), QStringLiteral("DBERR \"%1\"").arg(box.text));
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
