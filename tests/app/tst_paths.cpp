#include "paths.h"

#include <QtTest>

class TestPaths : public QObject
{
    Q_OBJECT
private slots:
    void dataRoot_followsEnvironment();
    void fixedFolders_standUnderTheDataRoot();
};

void TestPaths::dataRoot_followsEnvironment()
{
    qputenv("VLXLOGGER_DATA_ROOT", "/tmp/vlx-root/");
    QCOMPARE(Paths::dataRoot(), QStringLiteral("/tmp/vlx-root"));
    qunsetenv("VLXLOGGER_DATA_ROOT");
#ifdef Q_OS_WIN
    QCOMPARE(Paths::dataRoot(), QStringLiteral("C:/Tevo_Data"));
#else
    QCOMPARE(Paths::dataRoot(), QDir::homePath() + QStringLiteral("/Tevo_Data"));
#endif
}

void TestPaths::fixedFolders_standUnderTheDataRoot()
{
    qputenv("VLXLOGGER_DATA_ROOT", "/tmp/vlx-root");
    QCOMPARE(Paths::exportDir(), QStringLiteral("/tmp/vlx-root/VLXLogger"));
    QCOMPARE(Paths::ratingDir(), QStringLiteral("/tmp/vlx-root/Debi"));
    QCOMPARE(Paths::databaseFile(), QStringLiteral("/tmp/vlx-root/data.db"));
    QCOMPARE(Paths::memoryCopyFile(), QStringLiteral("/tmp/vlx-root/memory.db"));
    Paths::setAppDir(QStringLiteral("/opt/vlx"));
    QCOMPARE(Paths::settingsFile(), QStringLiteral("/opt/vlx/settings.ini"));
    QCOMPARE(Paths::langDir(), QStringLiteral("/opt/vlx/lang"));
    QCOMPARE(Paths::logDir(), QStringLiteral("/opt/vlx/log"));
    Paths::setAppDir(QString());
}

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
