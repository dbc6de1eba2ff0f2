#include "startup.h"

#include "application.h"
#include "database.h"
#include "mainwindow.h"
#include "messagebox.h"
#include "options.h"
#include "paths.h"

#include <QCommandLineParser>
#include <QDir>
#include <QSettings>
#include <QStyleFactory>

#include <cstdio>

namespace {
constexpr int versionMajor = 1;
constexpr int versionMinor = 6;
} // namespace

namespace Startup {

void createDataDirectories()
{
    // One level each, in order: the folders below the root need the root.
    const QStringList paths = {Paths::dataRoot(), Paths::exportDir(), Paths::ratingDir()};
    for (const QString &path : paths) {
        if (!QDir(path).exists())
            QDir().mkdir(path);
    }
}

bool parseCommandLine(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("VLXLogger: water-level data logger tool"));
    parser.addHelpOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("Offer serial port NAME in addition to the ports the system lists "
                       "(pseudo-terminals, /dev/serial/by-id links). Repeatable."),
        QStringLiteral("NAME"));
    parser.addOption(portOption);
    if (!parser.parse(arguments)) {
        if (error)
            *error = parser.errorText();
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        std::exit(0);
    }
    Options::setExtraPorts(parser.values(portOption));
    return true;
}

int start(const std::function<int(MainWindow &)> &runLoop)
{
    // Qt 6 converts every 8-bit string as UTF-8: the program's Turkish
    // literals and the bytes exchanged with the logger need nothing more.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    Application::loadTranslations(
        QCoreApplication::translate("Application", "%1/lang/").arg(Paths::appDir()));

    QCoreApplication::setApplicationName(QStringLiteral("VLXLogger"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(versionMajor).arg(versionMinor));

    QSettings settings(Paths::settingsFile(), QSettings::IniFormat);
    Application::setLanguage(
        settings.value(QStringLiteral("Application/lang"), QStringLiteral("tr_TR")).toString());

    createDataDirectories();

    if (!openDatabase()) {
        MessageBox::critical(nullptr, QObject::tr("Veritabanı Hatası"),
                             QObject::tr("Veritabanı bağlantısı sağlanamadı!"), QObject::tr("Tamam"));
        return 1;
    }

    MainWindow window;
    // No close button hint and no context help: closing goes through the
    // confirmation of the window's close event.
    window.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                          | Qt::CustomizeWindowHint);
    window.show();
    return runLoop(window);
}

} // namespace Startup

int runVlxLogger(int argc, char *argv[])
{
    Application app(argc, argv);
    QString error;
    if (!Startup::parseCommandLine(QCoreApplication::arguments(), &error)) {
        std::fprintf(stderr, "vlxlogger: %s\n", qPrintable(error));
        return 2;
    }
    return Startup::start([](MainWindow &) { return QCoreApplication::exec(); });
}
