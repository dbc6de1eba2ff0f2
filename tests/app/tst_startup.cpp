#include "application.h"
#include "form.h"
#include "mainwindow.h"
#include "options.h"
#include "paths.h"
#include "startup.h"

#include "boxspy.h"
#include "testenv.h"

#include <QtTest>
#include <QSqlDatabase>

namespace {
void dropConnection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void firstStart_createsDataFoldersAndShowsTheWindow();
    void secondStart_leavesExistingFoldersAlone();
    void dataRootNotCreatable_twoBoxesAndExitStatusOne();
    void settings_languageFallsBackToTurkish_data();
    void settings_languageFallsBackToTurkish();
    void commandLine_portsAreCollected_data();
    void commandLine_portsAreCollected();
};

void TestStartup::cleanup()
{
    Application::setLanguage(QString());
    dropConnection();
}

void TestStartup::firstStart_createsDataFoldersAndShowsTheWindow()
{
    TestEnv::freshAppDir(QStringLiteral("startup-first"));
    BoxSpy boxes;
    bool ran = false;
    const int status = Startup::start([&](MainWindow &window) {
        ran = true;
        [&] {
            QVERIFY(window.isVisible());
            QCOMPARE(window.windowTitle(), QStringLiteral("VLXLogger - v1.6 (Build: 1)"));
            const Qt::WindowFlags expected = Qt::Window | Qt::WindowTitleHint
                | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                | Qt::WindowMaximizeButtonHint | Qt::CustomizeWindowHint;
            QCOMPARE(window.windowFlags(), expected);
            QVERIFY(!(window.windowFlags() & Qt::WindowCloseButtonHint));
            QVERIFY(window.centralWidget() != nullptr);
            QCOMPARE(window.centralWidget(), static_cast<QWidget *>(window.form()));
        }();
        return 42;
    });
    QVERIFY(ran);
    QCOMPARE(status, 42);
    QVERIFY(QFileInfo(Paths::dataRoot()).isDir());
    QVERIFY(QFileInfo(Paths::exportDir()).isDir());
    QVERIFY(QFileInfo(Paths::ratingDir()).isDir());
    QVERIFY(Paths::ratingDir().endsWith(QStringLiteral("/Debi")));
    QVERIFY(QFileInfo(Paths::databaseFile()).isFile());
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("VLXLogger"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("1.6"));
    BOXSPY_VERIFY(boxes);
}

void TestStartup::secondStart_leavesExistingFoldersAlone()
{
    TestEnv::freshAppDir(QStringLiteral("startup-second"));
    QDir().mkpath(Paths::exportDir());
    QDir().mkpath(Paths::ratingDir());
    writeFile(Paths::exportDir() + "/ST1_1234_071213.txt", "kept");
    writeFile(Paths::ratingDir() + "/1234.abk", "<abak/>");
    BoxSpy boxes;
    QCOMPARE(Startup::start([](MainWindow &) { return 0; }), 0);
    QCOMPARE(QDir(Paths::exportDir()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList{"ST1_1234_071213.txt"});
    QCOMPARE(QDir(Paths::ratingDir()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList{"1234.abk"});
    QFile kept(Paths::exportDir() + "/ST1_1234_071213.txt");
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("kept"));
    BOXSPY_VERIFY(boxes);
}

void TestStartup::dataRootNotCreatable_twoBoxesAndExitStatusOne()
{
    const QString appDir = TestEnv::freshAppDir(QStringLiteral("startup-blocked"));
    // A plain file where the parent of the data root should be.
    writeFile(appDir + "/blocker", "not a folder");
    qputenv("VLXLOGGER_DATA_ROOT", (appDir + "/blocker/Tevo_Data").toUtf8());
    BoxSpy boxes;
    boxes.expect(MessageBox::Critical, QStringLiteral("DBERROR"));
    boxes.expect(MessageBox::Critical, QStringLiteral("Veritabanı Hatası"),
                 QStringLiteral("Veritabanı bağlantısı sağlanamadı!"));
    bool ran = false;
    QCOMPARE(Startup::start([&](MainWindow &) { ran = true; return 0; }), 1);
    QVERIFY(!ran);
    BOXSPY_VERIFY(boxes);
    QCOMPARE(boxes.shown().at(1).buttons, QStringList{QStringLiteral("Tamam")});
    QVERIFY(boxes.shown().at(1).parent == nullptr);
}

void TestStartup::settings_languageFallsBackToTurkish_data()
{
    QTest::addColumn<QByteArray>("settings");  // empty: no settings.ini
    QTest::addColumn<QString>("locale");       // installed afterwards, empty for none
    QTest::addColumn<QString>("exitText");

    QTest::newRow("no settings.ini") << QByteArray() << "tr_TR" << QString::fromUtf8("Çıkış");
    QTest::newRow("garbled settings.ini")
        << QByteArray("\x00\xff\xfe[[[\n=\x01\x02lang=\r\n[Application\nlang", 30) << "tr_TR"
        << QString::fromUtf8("Çıkış");
    QTest::newRow("unknown language") << QByteArray("[Application]\nlang=de_DE\n") << ""
                                      << QString::fromUtf8("Çıkış");
    QTest::newRow("English") << QByteArray("[Application]\nlang=en_US\n") << "en_US"
                             << QStringLiteral("Exit");
    QTest::newRow("Turkish") << QByteArray("[Application]\nlang=tr_TR\n") << "tr_TR"
                             << QString::fromUtf8("Çıkış");
}

void TestStartup::settings_languageFallsBackToTurkish()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, locale);
    QFETCH(QString, exitText);
    const QString appDir = TestEnv::freshAppDir(QStringLiteral("startup-settings"));
    QVERIFY(TestEnv::copyTranslations(appDir));
    if (!settings.isEmpty())
        writeFile(Paths::settingsFile(), settings);
    BoxSpy boxes;
    boxes.expect(MessageBox::Question, exitText, QString(), 1);
    QString installed = QStringLiteral("(not run)");
    QCOMPARE(Startup::start([&](MainWindow &window) -> int {
                 installed = Application::currentLocale();
                 window.close();
                 return 0;
             }),
             0);
    QCOMPARE(installed, locale);
    BOXSPY_VERIFY(boxes);
}

void TestStartup::commandLine_portsAreCollected_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QStringList>("ports");
    QTest::newRow("none") << QStringList{"vlxlogger"} << true << QStringList{};
    QTest::newRow("two ports") << QStringList{"vlxlogger", "--port", "/dev/pts/7", "--port=/dev/ttyUSB0"}
                               << true << QStringList{"/dev/pts/7", "/dev/ttyUSB0"};
    QTest::newRow("unknown option") << QStringList{"vlxlogger", "--bogus"} << false << QStringList{};
    QTest::newRow("port without name") << QStringList{"vlxlogger", "--port"} << false << QStringList{};
}

void TestStartup::commandLine_portsAreCollected()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, valid);
    QFETCH(QStringList, ports);
    Options::setExtraPorts({});
    QString error;
    QCOMPARE(Startup::parseCommandLine(arguments, &error), valid);
    QCOMPARE(error.isEmpty(), valid);
    QCOMPARE(Options::extraPorts(), ports);
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
