#include "formfixture.h"

#include "database.h"
#include "options.h"
#include "testenv.h"
#include "waits.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTimer>

FormFixture::FormFixture(const QString &name)
{
    appDir = TestEnv::freshAppDir(name);
    QDir().mkpath(appDir + QStringLiteral("/Tevo_Data/VLXLogger"));
    QDir().mkpath(appDir + QStringLiteral("/Tevo_Data/Debi"));
    // raw_data.txt and temp.txt land in the working directory.
    QDir::setCurrent(appDir);
    shortenWaits();
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
    // The program's database, as start-up opens it: a real SQLite file in
    // this test's data root.
    closeDatabase();
    openDatabase();
}

FormFixture::~FormFixture()
{
    destroyForm();
    closeDatabase();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    Options::setExtraPorts({});
}

void FormFixture::closeDatabase()
{
    const QString name = QLatin1String(QSqlDatabase::defaultConnection);
    if (!QSqlDatabase::contains(name))
        return;
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}

void FormFixture::shortenWaits()
{
    Waits::Values &w = Waits::current();
    w = Waits::Values();
    w.blockPause = 1;
    w.connectSettle = 0;
    w.gprsSettle = 0;
    w.gsmSettle = 0;
    w.watchdogDefault = 100;
    w.watchdogRS232 = 100;
    w.watchdogGPRS = 100;
    w.watchdogGSM = 100;
    shortenBlockTimeout(10000);
    w.tcpConnect = 5000;
    w.tcpWrite = 5000;
    w.gsmSleep = 5;
    w.gsmPasses = 400;
    // The modem's answer to a probe has this long to arrive.
    w.modemSleep = 300;
    w.archiveWatch = 50;
}

void FormFixture::shortenBlockTimeout(int delayMs)
{
    Waits::Values &w = Waits::current();
    w.delayDefault = delayMs;
    w.delayRS232 = delayMs;
    w.delayGPRS = delayMs;
    w.delayGSM = delayMs;
}

Form *FormFixture::createForm()
{
    if (!sim.ptyPath().isEmpty())
        Options::setExtraPorts({sim.ptyPath()});
    form = std::make_unique<Form>();
    form->resize(750, 600);
    form->show();
    if (!sim.ptyPath().isEmpty()) {
        auto *ports = widget<QComboBox>("cmbPortList");
        ports->setCurrentIndex(ports->findText(sim.ptyPath()));
    }
    return form.get();
}

void FormFixture::destroyForm() { form.reset(); }

QString FormFixture::text(const char *name) const
{
    QWidget *w = form->findChild<QWidget *>(QString::fromLatin1(name));
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        return edit->text();
    if (auto *label = qobject_cast<QLabel *>(w))
        return label->text();
    if (auto *box = qobject_cast<QComboBox *>(w))
        return box->currentText();
    qFatal("no text widget %s", name);
    return QString();
}

void FormFixture::click(const char *name) { widget<QPushButton>(name)->click(); }

QString FormFixture::tcpHost() const
{
    return QStringLiteral("127.0.0.1:%1").arg(const_cast<SimServer &>(sim).tcpPort());
}

void whenModalWidget(const char *className, std::function<void(QWidget *)> action, int timeoutMs)
{
    auto *timer = new QTimer(qApp);
    auto *elapsed = new QElapsedTimer;
    elapsed->start();
    const QByteArray wanted(className);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && wanted == modal->metaObject()->className() && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            delete elapsed;
            action(modal);
            return;
        }
        if (elapsed->elapsed() > timeoutMs) {
            qWarning("no modal %s appeared", wanted.constData());
            timer->stop();
            timer->deleteLater();
            delete elapsed;
        }
    });
    timer->start(10);
}
