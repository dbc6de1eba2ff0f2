#include "database.h"
#include "paths.h"

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
    void notSqliteFile_opensWithOnlyTheDiagnosticLine();
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

void TestDatabase::notSqliteFile_opensWithOnlyTheDiagnosticLine()
{
    TestEnv::freshAppDir(QStringLiteral("db-garbage"));
    QDir().mkpath(Paths::dataRoot());
    QFile file(Paths::databaseFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();

    BoxSpy boxes;
    diagnostics.clear();
    qInstallMessageHandler(collect);
    QVERIFY(openDatabase());
    qInstallMessageHandler(nullptr);
    // One line: the first statement failed and the second was not tried.
    QCOMPARE(diagnostics.size(), 1);
    QVERIFY(diagnostics.first().startsWith('"'));
    QVERIFY(diagnostics.first().endsWith('"'));
    QVERIFY(!diagnostics.first().startsWith("DBERR"));
    BOXSPY_VERIFY(boxes);
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
