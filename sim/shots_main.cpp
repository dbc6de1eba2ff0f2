// vlxlogger-shots: pictures of the main window for the README. Runs the
// program's start-up against the in-process logger simulator (a station with
// a week of records and a rating table), connects over RS232, waits for the
// read chain to finish and saves the window with the parameter and the alarm
// page selected; then downloads the memory and saves the chart page showing
// it and the "Debi" page with the station's rating.
//
//   QT_QPA_PLATFORM=offscreen vlxlogger-shots doc/
//       -> doc/screenshot-parameters.png, doc/screenshot-alarms.png,
//          doc/screenshot-chart.png, doc/screenshot-rating.png
//
// The settings, debug log and data root live in a temporary folder, so the
// real home folder and build/bin stay untouched. Exit status: 0 pictures
// written, 1 the session failed, 2 usage.

#include "application.h"
#include "demorating.h"
#include "form.h"
#include "mainwindow.h"
#include "messagebox.h"
#include "options.h"
#include "paths.h"
#include "rs232communication.h"
#include "simoptions.h"
#include "simserver.h"
#include "startup.h"
#include "waits.h"

#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QUrl>


namespace {

constexpr int timeoutMs = 30000;
const char *const pageFiles[] = {"screenshot-parameters.png", "screenshot-alarms.png",
                                 "screenshot-chart.png", "screenshot-rating.png"};

// The logger as a station in service: named, numbered, recording, both
// alarms armed, the level alarm raised this morning.
bool prepareLogger(SimServer *sim, QString *error)
{
    SimOptions options;
    options.stationName = QStringLiteral("Baraj Gölü");
    options.stationNo = QStringLiteral("1234");
    options.serialNo = QStringLiteral("00031207");
    options.files = 1;
    options.days = 7;   // a week, a few kilobytes: the byte count fits its field
    options.interval = 15;
    if (!options.apply(sim, error))
        return false;

    SimLogger *logger = sim->logger();
    SimParameters &p = logger->parameters();
    p.offset = 12.5;
    p.battery = QStringLiteral("12.8 V");
    p.options[1] = 1;   // instantaneous record
    p.options[4] = 1;   // wait for the full hour
    logger->setFixedValues(247.3, 14.6);

    SimAlarms alarms;
    alarms.thresholds[0] = 250.0;
    alarms.thresholds[1] = 240.0;
    alarms.thresholds[2] = 22.0;
    alarms.thresholds[3] = 20.0;
    alarms.relay1 = 1;
    alarms.relay2 = 2;
    alarms.channel1On = true;
    alarms.channel2On = true;
    const QDateTime now = QDateTime::currentDateTime();
    alarms.lastAlarm[0] = now.addSecs(-5 * 3600);
    alarms.lastAlarmValue[0] = 251.2;
    alarms.lastAlarm[1] = now.addDays(-3);
    alarms.lastAlarmValue[1] = 22.4;
    logger->setAlarms(alarms);
    return true;
}

// Copies the built translations next to the temporary settings, so that the
// language list shows what the program shows.
void copyTranslations(const QString &appDir)
{
    const QDir from(QCoreApplication::applicationDirPath() + QStringLiteral("/lang"));
    QDir().mkpath(appDir + QStringLiteral("/lang"));
    for (const QString &name : from.entryList({QStringLiteral("*.qm")}, QDir::Files))
        QFile::copy(from.filePath(name), appDir + QStringLiteral("/lang/") + name);
}

// Takes the export the program asks the desktop to open.
class UrlSink : public QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl &) {}
};

} // namespace

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    // The operator's locale: the flow lookup reads the level with a decimal comma.
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2 || args.at(1).startsWith(QLatin1Char('-'))) {
        err << "usage: vlxlogger-shots OUTPUT-DIRECTORY" << Qt::endl;
        return 2;
    }
    const QString outDir = QDir(args.at(1)).absolutePath();
    if (!QDir().mkpath(outDir)) {
        err << "vlxlogger-shots: cannot create " << outDir << Qt::endl;
        return 1;
    }

    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        err << "vlxlogger-shots: no temporary folder" << Qt::endl;
        return 1;
    }
    const QString appDir = scratch.filePath(QStringLiteral("app"));
    QDir().mkpath(appDir);
    Paths::setAppDir(appDir);
    qputenv("VLXLOGGER_DATA_ROOT", scratch.filePath(QStringLiteral("data")).toUtf8());
    QDir::setCurrent(appDir);
    copyTranslations(appDir);
    Startup::createDataDirectories();
    QString error;
    // The flood three days into the week shown: the flow's step shows on the chart.
    bool written = false;
    if (!DemoRating::writeIfMissing(Paths::ratingDir() + QStringLiteral("/1234.abk"), QStringLiteral("Baraj Gölü"),
                                    QStringLiteral("1234"), QDateTime(QDate::currentDate().addDays(-4), QTime(6, 0), Qt::UTC),
                                    &written, &error)) {
        err << "vlxlogger-shots: " << error << Qt::endl;
        return 1;
    }

    SimServer sim;
    if (!prepareLogger(&sim, &error) || !sim.listenPty()) {
        err << "vlxlogger-shots: simulator: " << (error.isEmpty() ? QStringLiteral("no pty") : error)
            << Qt::endl;
        return 1;
    }
    Options::setExtraPorts({sim.ptyPath()});

    // The download's pause before each block is the logger's, not needed
    // against the simulator; the export is not opened in an editor.
    Waits::current().blockPause = 1;
    UrlSink opener;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opener, "open");

    // Every box is answered with its first button; the read chain and the
    // download end with an information box, which are the signals to take
    // the pictures.
    bool readDone = false;
    bool downloadDone = false;
    QStringList unexpected;
    MessageBox::setHandler([&](const MessageBox::Request &box) {
        if (box.text == QStringLiteral("Parametre bilgileri okundu"))
            readDone = true;
        else if (box.text == QStringLiteral("Aktarım Tamamlandı"))
            downloadDone = true;
        else if (box.title != QStringLiteral("Çıkış"))
            unexpected << box.title + QStringLiteral(": ") + box.text;
        return 0;
    });

    return Startup::start([&](MainWindow &window) {
        window.resize(750, 600);
        auto *ports = window.findChild<QComboBox *>(QStringLiteral("cmbPortList"));
        auto *rs232 = window.findChild<QPushButton *>(QStringLiteral("btnRS232"));
        auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        if (!ports || !rs232 || !tabs) {
            err << "vlxlogger-shots: the window lacks its port list, RS232 button or tabs" << Qt::endl;
            return 1;
        }
        ports->setCurrentIndex(ports->findText(sim.ptyPath()));

        int status = 1;
        bool downloadStarted = false;
        QTimer poll;
        poll.setInterval(50);
        QObject::connect(&poll, &QTimer::timeout, &window, [&] {
            if (!unexpected.isEmpty()) {
                err << "vlxlogger-shots: unexpected message: " << unexpected.join(QLatin1String("; "))
                    << Qt::endl;
                QCoreApplication::exit(1);
                return;
            }
            if (!readDone)
                return;
            auto save = [&](int page) {
                tabs->setCurrentIndex(page);
                // The chart lays out its axes in posted events, and draws again after.
                for (int pass = 0; pass < 3; ++pass)
                    QCoreApplication::processEvents();
                const QString file = outDir + QLatin1Char('/') + QLatin1String(pageFiles[page]);
                if (!window.grab().save(file)) {
                    err << "vlxlogger-shots: cannot write " << file << Qt::endl;
                    status = 1;
                } else {
                    QTextStream(stdout) << file << Qt::endl;
                }
            };
            if (!downloadStarted) {
                downloadStarted = true;
                status = 0;
                // "Hepsi" (all files): a single file's entry is wider than the list.
                if (auto *files = window.findChild<QComboBox *>(QStringLiteral("cmbDosya")))
                    files->setCurrentIndex(files->count() - 1);
                for (int page = 0; page < 2; ++page)
                    save(page);
                if (auto *download = window.findChild<QPushButton *>(QStringLiteral("btnVeriAktar")))
                    download->click();
                return;
            }
            if (!downloadDone)
                return;
            poll.stop();
            save(2);
            // The period after the flood: its points, on log scales.
            if (auto *periods = window.findChild<QComboBox *>(QStringLiteral("cmbDebiDonem")))
                periods->setCurrentIndex(periods->count() - 1);
            save(3);
            QCoreApplication::exit(status);
        });
        QTimer::singleShot(timeoutMs, &window, [&] {
            err << "vlxlogger-shots: the read chain or the download did not finish" << Qt::endl;
            QCoreApplication::exit(1);
        });
        QTimer::singleShot(200, rs232, &QPushButton::click);
        poll.start();
        const int result = QCoreApplication::exec();
        if (window.form()->rs232()->isOpen())
            rs232->click();   // close the link before the window goes
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        return result;
    });
}

#include "shots_main.moc"
