#include "boxspy.h"
#include "findmodem.h"
#include "findmodemthread.h"
#include "modemplayer.h"
#include "options.h"
#include "rs232connection.h"
#include "ptypair.h"
#include "waits.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <atomic>
#include <fcntl.h>
#include <memory>
#include <termios.h>
#include <unistd.h>

namespace {

// The finder's sleeps, shortened: a probe's answer has this long to arrive,
// with room for a busy machine.
constexpr int shortModemSleep = 200;

// A modem that answers "at" with `probeAnswer` and the speed setting with
// `prepareAnswer`; it notes the line speed the port had when it was prepared.
struct Modem {
    QByteArray probeAnswer = "\r\nOK\r\n";
    QByteArray prepareAnswer = "\r\nOK\r\n";
    std::shared_ptr<std::atomic<int>> preparedAt = std::make_shared<std::atomic<int>>(0);

    ModemPlayer::Script script(const QString &slavePath) const
    {
        const QByteArray path = slavePath.toLocal8Bit();
        return [=](const QByteArray &line) -> QByteArrayList {
            if (line == "at")
                return {probeAnswer};
            if (line == "ATL+IPR=115200") {
                const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
                if (fd >= 0) {
                    termios tio {};
                    if (::tcgetattr(fd, &tio) == 0)
                        *preparedAt = ::cfgetospeed(&tio) == B115200 ? 115200
                            : ::cfgetospeed(&tio) == B9600           ? 9600
                                                                     : -1;
                    ::close(fd);
                }
                return {prepareAnswer};
            }
            return {};
        };
    }
};

} // namespace

// The modem finder with pseudo-terminals as its ports: a ModemPlayer answers
// on the master side like an AT modem (a pseudo-terminal takes any speed, so
// a modem there answers at both). Waits are shortened; dialogs are shown
// without a blocking exec().
class TestFindModem : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void portFromEntry_takesNameInParentheses_data();
    void portFromEntry_takesNameInParentheses();
    void entryText_unlistedPort_isNameInParentheses();
    void speedOf_mapsCodes_data();
    void speedOf_mapsCodes();
    void answerIsOk_needsOkAnywhere_data();
    void answerIsOk_needsOkAnywhere();

    void portsToSearch_systemPortsThenCommandLinePorts();
    void construction_showsSearchPanelAndSearchingStatus();
    void search_modemAnsweringBothSpeeds_listedTwice();
    void prepare_chosenEntry_preparesAtItsSpeedAndAccepts_data();
    void prepare_chosenEntry_preparesAtItsSpeedAndAccepts();
    void prepare_answeredError_rejects();
    void search_deviceAnsweringError_notListedAndRejects();
    void search_noPorts_showsNotFoundAndRejects();
    void search_portThatCannotOpen_skippedSilently();
    void closeDuringSearch_stopsSearchThreadAtOnce();
    void destroyDuringSearch_stopsSearchThread();

private:
    // Shows a finder searching `ports` and waits until the search ended.
    std::unique_ptr<FindModem> searchUntilDone(const QStringList &ports);

    template<typename T> T *child(FindModem &dialog, const char *name)
    {
        return dialog.findChild<T *>(QLatin1String(name));
    }

    Waits::Values m_defaults;
    std::unique_ptr<BoxSpy> m_boxes;
};

void TestFindModem::initTestCase()
{
    m_defaults = Waits::current();
}

void TestFindModem::init()
{
    Waits::current() = m_defaults;
    Waits::current().modemSleep = shortModemSleep;
    m_boxes = std::make_unique<BoxSpy>();
}

void TestFindModem::cleanup()
{
    BOXSPY_VERIFY(*m_boxes);
    m_boxes.reset();
    FindModemThread::setPortsToSearch(std::nullopt);
    Waits::current() = m_defaults;
}

std::unique_ptr<FindModem> TestFindModem::searchUntilDone(const QStringList &ports)
{
    FindModemThread::setPortsToSearch(ports);
    auto dialog = std::make_unique<FindModem>();
    dialog->show();
    const bool done = QTest::qWaitFor(
        [&] {
            const bool ended = dialog->searchThread()->isFinished() && !dialog->isVisible();
            return ended || !child<QWidget>(*dialog, "widgetSelect")->isHidden();
        },
        20000);
    if (!done)
        qWarning("the search did not end");
    return dialog;
}

void TestFindModem::portFromEntry_takesNameInParentheses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("port");
    QTest::newRow("friendly name") << "USB Modem (COM3)" << "COM3";
    QTest::newRow("unlisted port") << "/dev/pts/4 (/dev/pts/4)" << "/dev/pts/4";
    QTest::newRow("two parentheses") << "Modem (COM1) (COM2)" << "COM1";
    QTest::newRow("no parentheses") << "COM7" << "COM7";
    QTest::newRow("only closing") << "COM5) modem" << "COM5";
    QTest::newRow("only opening") << "Modem (COM4" << "COM4";
    QTest::newRow("closing before opening") << "a)b(COM9" << "COM9";
    QTest::newRow("closing before opening, closed again") << "x)y(COM2)" << "COM2)";
    QTest::newRow("empty parentheses") << "Modem ()" << "";
    QTest::newRow("empty") << "" << "";
}

void TestFindModem::portFromEntry_takesNameInParentheses()
{
    QFETCH(QString, text);
    QFETCH(QString, port);
    QCOMPARE(FindModem::portFromEntry(text), port);
}

void TestFindModem::entryText_unlistedPort_isNameInParentheses()
{
    const QString name = QStringLiteral("/dev/vlx-not-listed");
    QCOMPARE(FindModem::entryText(name), name + QStringLiteral(" (") + name + QStringLiteral(")"));
    QCOMPARE(FindModem::portFromEntry(FindModem::entryText(name)), name);
}

void TestFindModem::speedOf_mapsCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("speed");
    QTest::newRow("1") << 1 << 9600;
    QTest::newRow("2") << 2 << 115200;
    QTest::newRow("no data") << 0 << 9600;
}

void TestFindModem::speedOf_mapsCodes()
{
    QFETCH(int, code);
    QFETCH(int, speed);
    QCOMPARE(FindModemThread::speedOf(code), speed);
}

void TestFindModem::answerIsOk_needsOkAnywhere_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("ok");
    QTest::newRow("standard") << QByteArray("\r\nOK\r\n") << true;
    QTest::newRow("echo first") << QByteArray("at\r\r\nOK\r\n") << true;
    QTest::newRow("bare") << QByteArray("OK") << true;
    QTest::newRow("error") << QByteArray("\r\nERROR\r\n") << false;
    QTest::newRow("lower case") << QByteArray("ok") << false;
    QTest::newRow("nothing") << QByteArray() << false;
}

void TestFindModem::answerIsOk_needsOkAnywhere()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, ok);
    QCOMPARE(FindModemThread::answerIsOk(answer), ok);
}

void TestFindModem::portsToSearch_systemPortsThenCommandLinePorts()
{
    const QStringList system = RS232Connection::availablePorts();
    const QStringList before = Options::extraPorts();
    QStringList extra {QStringLiteral("/dev/vlx-extra-1"), QStringLiteral("/dev/vlx-extra-2")};
    if (!system.isEmpty())
        extra << system.first();   // named twice, searched once
    Options::setExtraPorts(extra);
    const QStringList ports = FindModemThread::portsToSearch();
    Options::setExtraPorts(before);

    const QStringList expected = system
        + QStringList{QStringLiteral("/dev/vlx-extra-1"), QStringLiteral("/dev/vlx-extra-2")};
    QCOMPARE(ports, expected);
    FindModemThread::setPortsToSearch(QStringList{QStringLiteral("only")});
    QCOMPARE(FindModemThread::portsToSearch(), QStringList{QStringLiteral("only")});
}

void TestFindModem::construction_showsSearchPanelAndSearchingStatus()
{
    // A search that takes long enough to look at the dialog while it runs.
    Waits::current().modemSleep = 60000;
    FindModemThread::setPortsToSearch(QStringList());
    FindModem dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Find Modem"));
    QCOMPARE(dialog.size(), QSize(311, 80));
    QVERIFY(!child<QWidget>(dialog, "widgetSearch")->isHidden());
    QVERIFY(child<QWidget>(dialog, "widgetSelect")->isHidden());
    QCOMPARE(child<QLabel>(dialog, "lblStatus")->text(), FindModem::searchingText());
    QCOMPARE(child<QLabel>(dialog, "lblPort")->text(), QStringLiteral("N/A"));
    QCOMPARE(child<QLabel>(dialog, "label")->text(), QStringLiteral("Port"));
    QCOMPARE(child<QLabel>(dialog, "label_2")->text(), QStringLiteral("Available Modems"));
    QCOMPARE(child<QPushButton>(dialog, "btnSelect")->text(), QStringLiteral("Select"));
    auto *bar = child<QProgressBar>(dialog, "progressBar");
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 0);
    QCOMPARE(dialog.selectedPort(), QString());
    QCOMPARE(dialog.stage(), 1);
    QTRY_VERIFY(dialog.searchThread()->isRunning());
}

void TestFindModem::search_modemAnsweringBothSpeeds_listedTwice()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    Modem modem;
    ModemPlayer player(pty, modem.script(pty.slavePath()));

    auto dialog = searchUntilDone({pty.slavePath()});
    QVERIFY(!child<QWidget>(*dialog, "widgetSelect")->isHidden());
    QVERIFY(child<QWidget>(*dialog, "widgetSearch")->isHidden());
    QCOMPARE(dialog->result(), 0);
    QVERIFY(dialog->isVisible());
    QCOMPARE(child<QLabel>(*dialog, "lblStatus")->text(), FindModem::foundText());
    QCOMPARE(child<QLabel>(*dialog, "lblPort")->text(), pty.slavePath());

    auto *list = child<QComboBox>(*dialog, "comboBox");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->currentIndex(), -1);
    const QString entry = FindModem::entryText(pty.slavePath());
    QCOMPARE(list->itemText(0), entry);
    QCOMPARE(list->itemText(1), entry);
    QCOMPARE(list->itemData(0).toInt(), int(FindModemThread::Baud9600));
    QCOMPARE(list->itemData(1).toInt(), int(FindModemThread::Baud115200));
    QCOMPARE(player.count("at"), 2);
}

void TestFindModem::prepare_chosenEntry_preparesAtItsSpeedAndAccepts_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("speed");
    QTest::newRow("9600 entry") << 0 << 9600;
    QTest::newRow("115200 entry") << 1 << 115200;
}

void TestFindModem::prepare_chosenEntry_preparesAtItsSpeedAndAccepts()
{
    QFETCH(int, entry);
    QFETCH(int, speed);
    PtyPair pty;
    QVERIFY(pty.isValid());
    Modem modem;
    ModemPlayer player(pty, modem.script(pty.slavePath()));
    auto dialog = searchUntilDone({pty.slavePath()});
    auto *list = child<QComboBox>(*dialog, "comboBox");
    QCOMPARE(list->count(), 2);

    list->setCurrentIndex(entry);
    QCOMPARE(dialog->selectedPort(), pty.slavePath());
    QCOMPARE(dialog->preparationSpeed(), speed);
    QSignalSpy finished(dialog.get(), &QDialog::finished);
    child<QPushButton>(*dialog, "btnSelect")->click();

    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(dialog->selectedPort(), pty.slavePath());
    QCOMPARE(dialog->stage(), 2);
    QCOMPARE(child<QLabel>(*dialog, "lblStatus")->text(), FindModem::readyText());
    QCOMPARE(player.count("ATL+IPR=115200"), 1);
    QCOMPARE(modem.preparedAt->load(), speed);
}

void TestFindModem::prepare_answeredError_rejects()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    Modem modem;
    modem.prepareAnswer = "\r\nERROR\r\n";
    ModemPlayer player(pty, modem.script(pty.slavePath()));
    auto dialog = searchUntilDone({pty.slavePath()});
    auto *list = child<QComboBox>(*dialog, "comboBox");
    QCOMPARE(list->count(), 2);

    list->setCurrentIndex(1);
    QSignalSpy finished(dialog.get(), &QDialog::finished);
    child<QPushButton>(*dialog, "btnSelect")->click();
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(child<QLabel>(*dialog, "lblStatus")->text(), FindModem::notReadyText());
    QCOMPARE(player.count("ATL+IPR=115200"), 1);
}

void TestFindModem::search_deviceAnsweringError_notListedAndRejects()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    Modem device;
    device.probeAnswer = "\r\nERROR\r\n";
    ModemPlayer player(pty, device.script(pty.slavePath()));

    auto dialog = searchUntilDone({pty.slavePath()});
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(child<QComboBox>(*dialog, "comboBox")->count(), 0);
    QCOMPARE(child<QLabel>(*dialog, "lblStatus")->text(), FindModem::notFoundText());
    // Asked at both speeds, listed at neither.
    QCOMPARE(player.count("at"), 2);
}

void TestFindModem::search_noPorts_showsNotFoundAndRejects()
{
    FindModemThread::setPortsToSearch(QStringList());
    FindModem dialog;
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.open();
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(child<QLabel>(dialog, "lblStatus")->text(), FindModem::notFoundText());
    QCOMPARE(child<QComboBox>(dialog, "comboBox")->count(), 0);
    QVERIFY(!dialog.isVisible());
}

void TestFindModem::search_portThatCannotOpen_skippedSilently()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    Modem modem;
    ModemPlayer player(pty, modem.script(pty.slavePath()));
    auto dialog = searchUntilDone({QStringLiteral("/dev/vlx-no-such-port"), pty.slavePath()});
    auto *list = child<QComboBox>(*dialog, "comboBox");
    QCOMPARE(list->count(), 2);
    QCOMPARE(FindModem::portFromEntry(list->itemText(0)), pty.slavePath());
    QCOMPARE(FindModem::portFromEntry(list->itemText(1)), pty.slavePath());
}

void TestFindModem::closeDuringSearch_stopsSearchThreadAtOnce()
{
    // Each sleep of an unstopped search would outlast the test's time limit.
    Waits::current().modemSleep = 600000;
    PtyPair pty;
    QVERIFY(pty.isValid());
    Modem modem;
    ModemPlayer player(pty, modem.script(pty.slavePath()));
    FindModemThread::setPortsToSearch(QStringList{pty.slavePath()});

    FindModem dialog;
    QSignalSpy complete(dialog.searchThread(), &FindModemThread::searchComplete);
    dialog.show();
    QTRY_COMPARE(player.count("at"), 1);   // the first probe sleeps now

    dialog.close();
    // close() returns only once the search has ended.
    QVERIFY(dialog.searchThread()->isFinished());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(complete.size(), 0);
    QCOMPARE(player.count("at"), 1);
}

void TestFindModem::destroyDuringSearch_stopsSearchThread()
{
    Waits::current().modemSleep = 600000;
    PtyPair pty;
    QVERIFY(pty.isValid());
    Modem modem;
    ModemPlayer player(pty, modem.script(pty.slavePath()));
    FindModemThread::setPortsToSearch(QStringList{pty.slavePath()});

    auto dialog = std::make_unique<FindModem>();
    QPointer<FindModemThread> search = dialog->searchThread();
    QSignalSpy finished(search.data(), &QThread::finished);
    dialog->show();
    QTRY_COMPARE(player.count("at"), 1);

    dialog.reset();
    QVERIFY(search.isNull());
    QCOMPARE(finished.size(), 1);
    // The port is free again: a second finder can probe it.
    Waits::current().modemSleep = shortModemSleep;
    auto again = searchUntilDone({pty.slavePath()});
    QCOMPARE(child<QComboBox>(*again, "comboBox")->count(), 2);
}

QTEST_MAIN(TestFindModem)
#include "tst_findmodem.moc"
