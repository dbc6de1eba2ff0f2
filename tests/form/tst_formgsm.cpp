// The working form's GSM button against the simulator's AT modem: the modem
// finder, the dial, the read chain over the call, the hang-up, and the ways a
// call does not come about.
//
// The simulator runs as a process of its own: the finder's preparation blocks
// this thread without processing events, and the modem has to answer all the
// same.
#include "formfixture.h"

#include "findmodem.h"
#include "findmodemthread.h"
#include "gsmcommunication.h"
#include "messagebox.h"
#include "rs232connection.h"
#include "waits.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

const QString phone = QStringLiteral("05321234567");
const QString readDone = QStringLiteral("Parametre bilgileri okundu");

QString simulatorPath()
{
    // Tests are built into tests/bin, the simulator into bin.
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString &candidate : {here.filePath(QStringLiteral("vlxlogger-sim")),
                                     here.filePath(QStringLiteral("../../bin/vlxlogger-sim"))}) {
        if (QFileInfo(candidate).isExecutable())
            return QDir::cleanPath(candidate);
    }
    return QString();
}

// The simulator with its modem, as a separate process; every line it prints
// is kept.
class SimProcess
{
public:
    bool start(const QStringList &extra)
    {
        const QString program = simulatorPath();
        if (program.isEmpty())
            return false;
        m_process.setProgram(program);
        m_process.setArguments(QStringList{QStringLiteral("--modem"), QStringLiteral("--pty"),
                                           QStringLiteral("--modem-delay"), QStringLiteral("50")}
                               + extra);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return false;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000 && !hasLine(QStringLiteral("READY"))) {
            m_process.waitForReadyRead(100);
            collect();
        }
        for (const QString &line : std::as_const(m_lines)) {
            if (line.startsWith(QLatin1String("PTY ")))
                m_pty = line.mid(4).trimmed();
        }
        return !m_pty.isEmpty();
    }
    ~SimProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(3000))
                m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

    QString pty() const { return m_pty; }
    // Every line printed so far (reads what is waiting first).
    QStringList lines()
    {
        collect();
        return m_lines;
    }
    bool hasLine(const QString &line) { return lines().contains(line); }
    int count(const QString &line) { return static_cast<int>(lines().count(line)); }

private:
    void collect()
    {
        m_buffer += m_process.readAllStandardOutput();
        qsizetype end;
        while ((end = m_buffer.indexOf('\n')) >= 0) {
            m_lines << QString::fromUtf8(m_buffer.left(end)).trimmed();
            m_buffer.remove(0, end + 1);
        }
    }

    QProcess m_process;
    QByteArray m_buffer;
    QStringList m_lines;
    QString m_pty;
};

// Once the finder lists the modems, picks the first entry and presses
// "Select"; the preparation then runs inside that click.
void pickFirstModemWhenListed(bool *picked)
{
    whenModal<FindModem>(
        [picked](FindModem *finder) {
            auto *poll = new QTimer(finder);
            QObject::connect(poll, &QTimer::timeout, finder, [finder, poll, picked] {
                auto *list = finder->findChild<QComboBox *>(QStringLiteral("comboBox"));
                auto *panel = finder->findChild<QWidget *>(QStringLiteral("widgetSelect"));
                if (!list || !panel || !panel->isVisible() || list->count() == 0)
                    return;
                poll->stop();
                list->setCurrentIndex(0);
                *picked = true;
                finder->findChild<QPushButton *>(QStringLiteral("btnSelect"))->click();
            });
            poll->start(10);
        },
        15000);
}

} // namespace

class TestFormGsm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void gsm_modemFound_dialsReadsChainAndHangsUp_data();
    void gsm_modemFound_dialsReadsChainAndHangsUp();
    void gsm_emptyOrBlankPhone_refusedWithFocusBack_data();
    void gsm_emptyOrBlankPhone_refusedWithFocusBack();
    void gsm_noModemFound_finderRejected_nothingMoreHappens();
    void gsm_dialRefused_cancelledWithoutBoxThenRedialConnects_data();
    void gsm_dialRefused_cancelledWithoutBoxThenRedialConnects();

private:
    QString m_simulator;
};

void TestFormGsm::initTestCase()
{
    m_simulator = simulatorPath();
    if (m_simulator.isEmpty())
        QSKIP("vlxlogger-sim is not built");
}

void TestFormGsm::init()
{
    QLocale::setDefault(QLocale::c());
}

void TestFormGsm::cleanup()
{
    FindModemThread::setPortsToSearch(std::nullopt);
}

void TestFormGsm::gsm_modemFound_dialsReadsChainAndHangsUp_data()
{
    QTest::addColumn<QStringList>("modemLines");
    // Answers as CR LF word CR LF in one piece, or with the closing LF apart:
    // then the LF of "CONNECT 9600" comes after the link went online.
    QTest::newRow("CR LF together") << QStringList();
    QTest::newRow("LF apart") << QStringList{QStringLiteral("--modem-lf-apart")};
}

void TestFormGsm::gsm_modemFound_dialsReadsChainAndHangsUp()
{
    QFETCH(QStringList, modemLines);
    FormFixture f(QStringLiteral("formgsm_session"));
    // The product's minute for the dial and for each hang-up: the modem's
    // answers end them.
    Waits::current().gsmSleep = Waits::Values().gsmSleep;
    Waits::current().gsmPasses = Waits::Values().gsmPasses;
    SimProcess sim;
    QVERIFY(sim.start(QStringList{QStringLiteral("--station-name"), QStringLiteral("Kuyu Başı"),
                                  QStringLiteral("--station-no"), QStringLiteral("4321")}
                      + modemLines));
    FindModemThread::setPortsToSearch(QStringList{sim.pty()});
    f.createForm();
    GSMCommunication *gsm = f.form->gsm();
    QSignalSpy modemAnswered(gsm, &GSMCommunication::connected);
    QSignalSpy messages(gsm, &GSMCommunication::dataReceived);
    f.widget<QLineEdit>("txtPhone")->setText(QStringLiteral("  ") + phone + QStringLiteral(" "));

    bool picked = false;
    pickFirstModemWhenListed(&picked);
    f.boxes.expect(MessageBox::Information, QStringLiteral("Parametre Oku"), readDone);
    f.click("btnGSM");

    QVERIFY(picked);
    QVERIFY(gsm->isOpen());
    QCOMPARE(gsm->portName(), sim.pty());
    QCOMPARE(modemAnswered.size(), 1);
    // The number is dialed trimmed, and the modem connected the call.
    QTRY_VERIFY(sim.hasLine(QStringLiteral("modem: ATD") + phone));
    QVERIFY(sim.hasLine(QStringLiteral("modem: call connected")));
    // The modem was probed and prepared before the dial.
    QVERIFY(sim.count(QStringLiteral("modem: at")) >= 1);
    QCOMPARE(sim.count(QStringLiteral("modem: ATL+IPR=115200")), 1);
    // The read chain runs behind the busy indicator.
    QCOMPARE(f.form->pendingCommand(), 1);
    QVERIFY(f.form->progressDialog()->isVisible());

    QTRY_COMPARE_WITH_TIMEOUT(f.boxes.pending(), 0, 10000);
    BOXSPY_VERIFY(f.boxes);
    QVERIFY(!f.form->progressDialog()->isVisible());
    QCOMPARE(f.text("txtIstasyonAdi"), QStringLiteral("Kuyu Başı"));
    QCOMPARE(f.text("txtIstasyonNo"), QStringLiteral("4321"));
    QVERIFY(!f.text("txtSeriNo").isEmpty());
    QCOMPARE(f.text("txtDosyaAdedi"), QStringLiteral("1"));
    // PAR, DOS and ALR, each a message of its own that begins with its word.
    QCOMPARE(messages.size(), 3);
    QVERIFY(messages.at(0).at(0).toByteArray().startsWith("PAR"));
    QVERIFY(messages.at(1).at(0).toByteArray().startsWith("DOS"));
    QVERIFY(messages.at(2).at(0).toByteArray().startsWith("ALR"));
    const QByteArray parameterRecord = messages.at(0).at(0).toByteArray();

    QCOMPARE(f.widget<QPushButton>("btnGSM")->text(), QStringLiteral("Bağlantıyı Kes"));
    QVERIFY(f.widget<QPushButton>("btnGSM")->isEnabled());
    QVERIFY(!f.widget<QPushButton>("btnRS232")->isEnabled());
    QVERIFY(!f.widget<QPushButton>("btnGPRS")->isEnabled());
    QVERIFY(!f.widget<QLineEdit>("txtPhone")->isEnabled());
    QVERIFY(!f.widget<QLineEdit>("txtHost")->isEnabled());
    QVERIFY(f.widget<QPushButton>("btnParametreOku")->isEnabled());
    QVERIFY(f.widget<QPushButton>("btnVeriAktar")->isEnabled());

    // Hang-up: the modem confirms the first one at once, the second meets a
    // closed line and has nothing to do. Either waiting its minute would
    // show here; the bound leaves room for a busy machine.
    QElapsedTimer hangUp;
    hangUp.start();
    f.click("btnGSM");
    QVERIFY2(hangUp.elapsed() < 5000, qPrintable(QString::number(hangUp.elapsed())));
    QVERIFY(!gsm->isOpen());
    QVERIFY(!gsm->connection()->isOpen());
    QCOMPARE(gsm->callState(), int(GSMCommunication::HangingUp));
    QTRY_VERIFY(sim.hasLine(QStringLiteral("modem: call ended")));
    QTRY_VERIFY(sim.hasLine(QStringLiteral("modem: ATZ")));
    QVERIFY(!f.form->progressDialog()->isVisible());
    QCOMPARE(f.text("txtIstasyonAdi"), QString());
    QCOMPARE(f.text("txtDosyaAdedi"), QStringLiteral("0"));
    QCOMPARE(f.widget<QPushButton>("btnGSM")->text(), QStringLiteral("GSM"));
    QVERIFY(f.widget<QPushButton>("btnGSM")->isEnabled());
    QVERIFY(f.widget<QPushButton>("btnGPRS")->isEnabled());
    QVERIFY(f.widget<QLineEdit>("txtPhone")->isEnabled());
    QVERIFY(!f.widget<QPushButton>("btnParametreOku")->isEnabled());

    // The same parameter record, arriving after the hang-up while the form
    // awaits one, fills nothing: the link drops it and the form no longer
    // listens to the link.
    f.form->sendOKU();
    QCOMPARE(f.form->pendingCommand(), 1);
    emit gsm->connection()->dataReceived(parameterRecord);
    QCOMPARE(messages.size(), 3);
    emit gsm->dataReceived(parameterRecord);
    QCoreApplication::processEvents();
    QCOMPARE(f.text("txtIstasyonAdi"), QString());
    QCOMPARE(f.text("txtIstasyonNo"), QString());
    BOXSPY_VERIFY(f.boxes);
}

void TestFormGsm::gsm_emptyOrBlankPhone_refusedWithFocusBack_data()
{
    QTest::addColumn<QString>("phone");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks") << QStringLiteral("   ");
}

void TestFormGsm::gsm_emptyOrBlankPhone_refusedWithFocusBack()
{
    QFETCH(QString, phone);
    FormFixture f(QStringLiteral("formgsm_blank"));
    // A finder would have nothing to find; it must not even start.
    FindModemThread::setPortsToSearch(QStringList());
    f.createForm();
    f.form->activateWindow();
    auto *field = f.widget<QLineEdit>("txtPhone");
    field->setText(phone);
    f.widget<QPushButton>("btnGSM")->setFocus();

    bool finderShown = false;
    whenModal<FindModem>([&finderShown](FindModem *finder) {
        finderShown = true;
        finder->reject();
    }, 500);
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Hata"),
                   QStringLiteral("Lütfen geçerli bir IP adresi girin!"));
    f.click("btnGSM");
    BOXSPY_VERIFY(f.boxes);
    QTRY_VERIFY(field->hasFocus());
    QCOMPARE(field->selectedText(), phone);
    QTest::qWait(600);   // let the watch for a finder run out
    QVERIFY(!finderShown);
    QVERIFY(!f.form->gsm()->isOpen());
    QVERIFY(!f.form->progressDialog()->isVisible());
    QCOMPARE(f.widget<QPushButton>("btnGSM")->text(), QStringLiteral("GSM"));
}

void TestFormGsm::gsm_noModemFound_finderRejected_nothingMoreHappens()
{
    FormFixture f(QStringLiteral("formgsm_nomodem"));
    FindModemThread::setPortsToSearch(QStringList());
    f.createForm();
    f.widget<QLineEdit>("txtPhone")->setText(phone);
    GSMCommunication *gsm = f.form->gsm();

    QString finderStatus;
    whenModal<FindModem>([&finderStatus](FindModem *finder) {
        // The finder tells the user itself, in its own status line.
        QObject::connect(finder, &QDialog::finished, finder, [&finderStatus, finder] {
            finderStatus = finder->findChild<QLabel *>(QStringLiteral("lblStatus"))->text();
        });
    });
    f.click("btnGSM");

    QCOMPARE(finderStatus, FindModem::notFoundText());
    BOXSPY_VERIFY(f.boxes);
    QVERIFY(f.boxes.shown().isEmpty());
    QVERIFY(!gsm->isOpen());
    // Nothing was dialed: the modem line was never opened, the call state is untouched.
    QVERIFY(!gsm->connection()->isOpen());
    QCOMPARE(gsm->callState(), int(GSMCommunication::Idle));
    QVERIFY(gsm->portName().isEmpty());
    QVERIFY(!f.form->progressDialog()->isVisible());
    QCOMPARE(f.form->pendingCommand(), 0);
    QCOMPARE(f.widget<QPushButton>("btnGSM")->text(), QStringLiteral("GSM"));
    QVERIFY(f.widget<QLineEdit>("txtPhone")->isEnabled());
}

void TestFormGsm::gsm_dialRefused_cancelledWithoutBoxThenRedialConnects_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("busy") << QStringLiteral("--modem-busy");
    QTest::newRow("no carrier") << QStringLiteral("--modem-no-carrier");
}

void TestFormGsm::gsm_dialRefused_cancelledWithoutBoxThenRedialConnects()
{
    QFETCH(QString, answer);
    FormFixture f(QStringLiteral("formgsm_refused"));
    // The product's minute: only the refusal can end the dial early.
    Waits::current().gsmSleep = Waits::Values().gsmSleep;
    Waits::current().gsmPasses = Waits::Values().gsmPasses;
    SimProcess sim;
    QVERIFY(sim.start({answer, QStringLiteral("--modem-refusals"), QStringLiteral("1")}));
    FindModemThread::setPortsToSearch(QStringList{sim.pty()});
    f.createForm();
    f.widget<QLineEdit>("txtPhone")->setText(phone);
    GSMCommunication *gsm = f.form->gsm();
    QSignalSpy messages(gsm, &GSMCommunication::dataReceived);

    bool picked = false;
    pickFirstModemWhenListed(&picked);
    f.click("btnGSM");

    QVERIFY(picked);
    QVERIFY(sim.hasLine(QStringLiteral("modem: ATD") + phone));
    QVERIFY(sim.lines().filter(QStringLiteral("FAULT modem answers")).size() == 1);
    // The refusal ends the wait, and the modem's port is free again.
    QVERIFY(gsm->lastWaitAnswered());
    QVERIFY(!gsm->isOpen());
    QVERIFY(!gsm->connection()->isOpen());
    QVERIFY(f.form->progressDialog()->wasCanceled());
    QVERIFY(!f.form->progressDialog()->isVisible());
    BOXSPY_VERIFY(f.boxes);
    QVERIFY(f.boxes.shown().isEmpty());
    QCOMPARE(f.form->pendingCommand(), 0);
    QCOMPARE(messages.size(), 0);
    QCOMPARE(f.widget<QPushButton>("btnGSM")->text(), QStringLiteral("GSM"));
    QVERIFY(!f.widget<QPushButton>("btnParametreOku")->isEnabled());

    // A second attempt finds the same modem and the call comes about.
    picked = false;
    pickFirstModemWhenListed(&picked);
    f.boxes.expect(MessageBox::Information, QStringLiteral("Parametre Oku"), readDone);
    f.click("btnGSM");
    QVERIFY(picked);
    QVERIFY(gsm->isOpen());
    QCOMPARE(gsm->portName(), sim.pty());
    QVERIFY(sim.hasLine(QStringLiteral("modem: call connected")));
    QTRY_COMPARE_WITH_TIMEOUT(f.boxes.pending(), 0, 10000);
    BOXSPY_VERIFY(f.boxes);
    f.click("btnGSM");
    QVERIFY(!gsm->isOpen());
    QCOMPARE(f.widget<QPushButton>("btnGSM")->text(), QStringLiteral("GSM"));
}

QTEST_MAIN(TestFormGsm)
#include "tst_formgsm.moc"
