// The working form against the simulated logger: connecting, the read chain
// and what every widget then shows, the alarm tab's rules, the live flow and
// the form's settings.
#include "formfixture.h"

#include "abakreader.h"
#include "application.h"
#include "messagebox.h"
#include "options.h"
#include "paths.h"
#include "gprscommunication.h"
#include "rs232communication.h"
#include "vlxfile.h"
#include "testenv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardItemModel>
#include <QTcpServer>
#include <QtTest>

namespace {

const QString readDone = QStringLiteral("Parametre bilgileri okundu");

void writeRatingTable(const QString &stationNo, const QByteArray &values)
{
    QFile file(AbakReader::tablePath(stationNo));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ROOT><STATION NAME=\"Test\" CODE=\"" + stationNo.toUtf8()
               + "\"/><VALUES>" + values + "</VALUES></ROOT>\n");
}

bool itemEnabled(QComboBox *box, int row)
{
    auto *model = qobject_cast<QStandardItemModel *>(box->model());
    return model && model->item(row) && model->item(row)->isEnabled();
}

} // namespace

class TestFormRead : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void rs232_connect_readsEverythingWithoutProgressDialog();
    void gprs_hostWithPort_readsChainBehindBusyIndicator();
    void chain_cancelBetweenParAndDos_stopsTheChain();
    void chain_pressedAgain_restartsAtOku();
    void gprs_emptyOrBlankHost_refusedWithFocusBack_data();
    void gprs_emptyOrBlankHost_refusedWithFocusBack();
    void gprs_refusedConnection_saysNoConnection();
    void gprs_peerCloses_saysRemoteClosedAndResetsForm();
    void rs232_unknownPort_saysPortNotOpened();
    void parameters_shortRecord_endsReadWithBox();
    void parameters_optionDigitsAndDayName_shown();
    void parameters_stationNotYeni_serialNumberReadOnly();
    void alarms_relayRuleAndField6_1110();
    void alarms_relayRule_movesRelay2AwayFromRelay1();
    void flow_ratingTable_followsLocale_data();
    void flow_ratingTable_followsLocale();
    void language_switchToEnglishAndBack();
    void settings_savedUntrimmedAndLoaded();
    void splitHostPort_acceptsHostPortForms_data();
    void splitHostPort_acceptsHostPortForms();
    void debugLog_tracesTheChain();
};

void TestFormRead::init()
{
    QLocale::setDefault(QLocale::c());
}

void TestFormRead::rs232_connect_readsEverythingWithoutProgressDialog()
{
    FormFixture f(QStringLiteral("formread_rs232"));
    QVERIFY(f.sim.listenPty());
    SimLogger *logger = f.sim.logger();
    logger->setStationName(QStringLiteral("Baraj Gölü"));
    logger->setStationNo(QStringLiteral("1234"));
    logger->setFixedValues(123.45, 12.5);
    SimAlarms alarms;
    alarms.thresholds[0] = 12.346;
    alarms.relay1 = 2;
    alarms.relay2 = 1;
    alarms.channel1On = true;
    alarms.channel2On = true;
    alarms.lastAlarm[0] = QDateTime(QDate(2024, 3, 5), QTime(10, 30));
    logger->setAlarms(alarms);
    f.createForm();

    f.boxes.expect(MessageBox::Information, QStringLiteral("Parametre Oku"), readDone);
    f.click("btnRS232");
    QVERIFY(!f.form->progressDialog()->isVisible());
    QTRY_COMPARE(f.boxes.pending(), 0);
    BOXSPY_VERIFY(f.boxes);
    QVERIFY(!f.form->progressDialog()->isVisible());

    const SimParameters &p = logger->parameters();
    QCOMPARE(f.text("txtSeriNo"), p.serialNo);
    QCOMPARE(f.text("txtModel"), p.model);
    QCOMPARE(f.text("txtIstasyonAdi"), QStringLiteral("Baraj Gölü"));
    QCOMPARE(f.text("txtIstasyonNo"), QStringLiteral("1234"));
    QCOMPARE(f.text("txtOfsetDeg"), QStringLiteral("0.00"));
    QCOMPARE(f.text("txtBataryaDurumu"), p.battery);
    QCOMPARE(f.text("txtKanal1Ad"), p.channel1Name);
    QCOMPARE(f.text("txtAnlikSeviye"), QStringLiteral("123.45 cm"));
    QCOMPARE(f.text("cmbKanal1Birim"), QStringLiteral("cm"));
    QCOMPARE(f.text("txtKanal2Ad"), p.channel2Name);
    QCOMPARE(f.text("txtAnlikSicaklik"), QStringLiteral("12.50 C"));
    QCOMPARE(f.text("txtKanal2Birim"), QStringLiteral("C"));
    QVERIFY(f.text("txtMinSeviye").endsWith(QStringLiteral(" 123.45")));
    QVERIFY(f.text("txtMaxSicaklik").endsWith(QStringLiteral(" 12.50")));
    // Device clock: 17 characters, a blank, the day name of today.
    const QString clock = f.text("txtCihazTarihSaat");
    QCOMPARE(clock.left(8), QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yy")));
    static const char *days[] = {"", "Pazartesi", "Salı", "Çarşamba", "Perşembe", "Cuma", "Cumartesi", "Pazar"};
    QCOMPARE(clock.mid(17), QStringLiteral(" ") + QString::fromUtf8(days[QDate::currentDate().dayOfWeek()]));

    // File area from the DOS answer.
    QCOMPARE(f.text("txtKayitAraligi"), QStringLiteral("15"));
    QCOMPARE(f.text("txtDosyaAdedi"), QStringLiteral("1"));
    QCOMPARE(f.text("txtKullanilanBellek"), QStringLiteral("%1 bayt").arg(logger->usedBytes()));
    QCOMPARE(f.widget<QProgressBar>("prgMemory")->value(), int(logger->usedBytes()));
    auto *files = f.widget<QComboBox>("cmbDosya");
    QCOMPARE(files->count(), 2);
    QVERIFY(files->itemText(0).endsWith(QStringLiteral(" (%1 bayt)").arg(f.form->fileList().back()->sizeBytes())));
    QCOMPARE(files->itemText(1), QStringLiteral("Hepsi"));
    QCOMPARE(f.text("txtKurulumTarihi"),
             logger->memoryState().files().last().installTime.toString(QStringLiteral("dd.MM.yyyy")));

    // Alarm tab.
    QCOMPARE(f.widget<QDoubleSpinBox>("txtAlrCh1High")->value(), 12.35);
    QCOMPARE(f.widget<QDoubleSpinBox>("txtAlrCh1Low")->value(), 140.0);
    QCOMPARE(f.text("txtAlrCh1AlrDate"), QStringLiteral("05.03.2024"));
    QCOMPARE(f.text("txtAlrCh1AlrTime"), QStringLiteral("10:30"));
    QCOMPARE(f.text("txtAlrCh2AlrDate"), QStringLiteral("00.00.0000"));
    QCOMPARE(f.text("txtAlrCh2AlrTime"), QStringLiteral("00:00"));
    QCOMPARE(f.widget<QComboBox>("cmbAlrRole1")->currentIndex(), 2);
    QCOMPARE(f.widget<QComboBox>("cmbAlrRole2")->currentIndex(), 1);
    QVERIFY(f.widget<QCheckBox>("cbAlrCh1")->isChecked());
    QVERIFY(f.widget<QDoubleSpinBox>("txtAlrCh2High")->isEnabled());

    // Buttons while RS232 is open.
    QCOMPARE(f.widget<QPushButton>("btnRS232")->text(), QStringLiteral("Bağlantıyı Kes"));
    QVERIFY(!f.widget<QPushButton>("btnGPRS")->isEnabled());
    QVERIFY(!f.widget<QComboBox>("cmbLanguage")->isEnabled());
    QVERIFY(!f.widget<QPushButton>("btnCikis")->isEnabled());
    QVERIFY(f.widget<QPushButton>("btnVeriAktar")->isEnabled());

    // Disconnect resets the shown values and the buttons.
    f.click("btnRS232");
    QCOMPARE(f.text("txtIstasyonAdi"), QString());
    QCOMPARE(f.text("txtAnlikSeviye"), QStringLiteral("N/A"));
    QCOMPARE(f.text("txtMaxSeviye"), QStringLiteral("00/00/00 00:00 0"));
    QCOMPARE(f.text("txtDosyaAdedi"), QStringLiteral("0"));
    QCOMPARE(f.widget<QComboBox>("cmbDosya")->count(), 0);
    QCOMPARE(f.widget<QPushButton>("btnRS232")->text(), QStringLiteral("RS232"));
    QVERIFY(f.widget<QPushButton>("btnGPRS")->isEnabled());
    QVERIFY(!f.widget<QPushButton>("btnParametreOku")->isEnabled());
    // The alarm tab keeps its values.
    QCOMPARE(f.widget<QDoubleSpinBox>("txtAlrCh1High")->value(), 12.35);
}

void TestFormRead::gprs_hostWithPort_readsChainBehindBusyIndicator()
{
    FormFixture f(QStringLiteral("formread_gprs"));
    QVERIFY(f.sim.listenTcp());
    f.sim.logger()->faults().replyDelayMs = 30;
    f.createForm();
    f.widget<QLineEdit>("txtHost")->setText(f.tcpHost());

    f.boxes.expect(MessageBox::Information, QStringLiteral("Parametre Oku"), readDone);
    f.click("btnGPRS");
    QVERIFY(f.form->gprs()->isOpen());
    QVERIFY(f.form->progressDialog()->isVisible());
    QCOMPARE(f.form->pendingCommand(), 1);
    QTRY_COMPARE(f.boxes.pending(), 0);
    BOXSPY_VERIFY(f.boxes);
    QVERIFY(!f.form->progressDialog()->isVisible());
    QCOMPARE(f.text("txtIstasyonAdi"), QStringLiteral("Yeni"));
    QCOMPARE(f.sim.logger()->commandsReceived(), QStringList({"OKU", "DKU", "ALO"}));
    QCOMPARE(f.widget<QPushButton>("btnGPRS")->text(), QStringLiteral("Bağlantıyı Kes"));

    f.click("btnGPRS");
    QVERIFY(!f.form->gprs()->isOpen());
    QCOMPARE(f.text("txtIstasyonAdi"), QString());
    QCOMPARE(f.widget<QPushButton>("btnGPRS")->text(), QStringLiteral("GPRS"));
    BOXSPY_VERIFY(f.boxes);
}

void TestFormRead::chain_cancelBetweenParAndDos_stopsTheChain()
{
    FormFixture f(QStringLiteral("formread_cancel"));
    QVERIFY(f.sim.listenTcp());
    f.sim.logger()->faults().replyDelayMs = 150;
    f.createForm();
    QSignalSpy replies(f.form->gprs(), &GPRSCommunication::dataReceived);
    f.widget<QLineEdit>("txtHost")->setText(f.tcpHost());
    f.click("btnGPRS");
    // The parameter record is in, DKU is out and its answer is on its way.
    QTRY_COMPARE(f.form->pendingCommand(), 2);
    // The user presses the progress dialog's cancel button.
    QPushButton *cancel = f.form->progressDialog()->findChild<QPushButton *>();
    QVERIFY(cancel);
    cancel->click();
    QCOMPARE(f.form->pendingCommand(), 0);
    // The file list still comes, and is ignored.
    QTRY_COMPARE_WITH_TIMEOUT(replies.size(), 2, 10000);
    QVERIFY(replies.at(1).at(0).toByteArray().startsWith("DOS"));
    QCoreApplication::processEvents();
    QCOMPARE(f.sim.logger()->commandsReceived(), QStringList({"OKU", "DKU"}));
    QCOMPARE(f.text("txtDosyaAdedi"), QStringLiteral("0"));
    BOXSPY_VERIFY(f.boxes);

    // "Parametre Oku" runs the whole chain again.
    f.boxes.expect(MessageBox::Information, QStringLiteral("Parametre Oku"), readDone);
    f.click("btnParametreOku");
    QTRY_COMPARE(f.boxes.pending(), 0);
    BOXSPY_VERIFY(f.boxes);
}

void TestFormRead::chain_pressedAgain_restartsAtOku()
{
    FormFixture f(QStringLiteral("formread_again"));
    QVERIFY(f.sim.listenPty());
    f.sim.logger()->faults().replyDelayMs = 50;
    f.createForm();
    f.boxes.expect(MessageBox::Information, QStringLiteral("Parametre Oku"), readDone);
    f.click("btnRS232");
    f.click("btnParametreOku");
    QTRY_COMPARE(f.boxes.pending(), 0);
    QTest::qWait(300);
    // Both parameter records arrive while OKU is awaited; the second one is
    // taken by the restarted chain, the DKU sent after the first is answered
    // and the chain ends once.
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.sim.logger()->commandsReceived().first(2), QStringList({"OKU", "OKU"}));
    QCOMPARE(f.sim.logger()->commandsReceived().count(QStringLiteral("ALO")), 1);
}

void TestFormRead::gprs_emptyOrBlankHost_refusedWithFocusBack_data()
{
    QTest::addColumn<QString>("host");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks") << QStringLiteral("   ");
    QTest::newRow("port out of range") << QStringLiteral("127.0.0.1:70000");
}

void TestFormRead::gprs_emptyOrBlankHost_refusedWithFocusBack()
{
    QFETCH(QString, host);
    FormFixture f(QStringLiteral("formread_blankhost"));
    f.createForm();
    f.form->activateWindow();
    auto *edit = f.widget<QLineEdit>("txtHost");
    edit->setText(host);
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Hata"), QStringLiteral("Lütfen geçerli bir IP adresi girin!"));
    QTest::keyClick(edit, Qt::Key_Return);
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.boxes.shown().first().buttons, QStringList({QStringLiteral("Tamam")}));
    QVERIFY(!f.form->gprs()->isOpen());
    QCOMPARE(edit->selectedText(), host);
    QTRY_VERIFY(edit->hasFocus());
    QVERIFY(!f.form->progressDialog()->isVisible());
}

void TestFormRead::gprs_refusedConnection_saysNoConnection()
{
    FormFixture f(QStringLiteral("formread_refused"));
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    f.createForm();
    f.widget<QLineEdit>("txtHost")->setText(QStringLiteral("127.0.0.1:%1").arg(port));
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Hata"), QStringLiteral("Bağlantı sağlanamadı!"));
    f.click("btnGPRS");
    BOXSPY_VERIFY(f.boxes);
    QVERIFY(!f.form->progressDialog()->isVisible());
    QCOMPARE(f.widget<QPushButton>("btnGPRS")->text(), QStringLiteral("GPRS"));
    QVERIFY(f.widget<QLineEdit>("txtHost")->isEnabled());
}

void TestFormRead::gprs_peerCloses_saysRemoteClosedAndResetsForm()
{
    FormFixture f(QStringLiteral("formread_peercloses"));
    QVERIFY(f.sim.listenTcp());
    f.sim.logger()->faults().closeAfterRequests = 1;
    f.createForm();
    f.widget<QLineEdit>("txtHost")->setText(f.tcpHost());
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Socket Error"), QStringLiteral("Karşı modem bağlantıyı kapattı!"));
    f.click("btnGPRS");
    QTRY_COMPARE(f.boxes.pending(), 0);
    QTRY_VERIFY(!f.form->gprs()->isOpen());
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.form->pendingCommand(), 0);
    QVERIFY(!f.form->progressDialog()->isVisible());
    QCOMPARE(f.text("txtIstasyonAdi"), QString());
    QCOMPARE(f.text("txtAnlikSeviye"), QStringLiteral("N/A"));
    QCOMPARE(f.widget<QPushButton>("btnGPRS")->text(), QStringLiteral("GPRS"));
    QVERIFY(f.widget<QPushButton>("btnCikis")->isEnabled());
}

void TestFormRead::rs232_unknownPort_saysPortNotOpened()
{
    FormFixture f(QStringLiteral("formread_noport"));
    Options::setExtraPorts({QStringLiteral("/dev/vlx-no-such-port")});
    f.form = std::make_unique<Form>();
    auto *ports = f.widget<QComboBox>("cmbPortList");
    ports->setCurrentIndex(ports->findText(QStringLiteral("/dev/vlx-no-such-port")));
    QVERIFY(f.widget<QPushButton>("btnRS232")->isEnabled());
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Error"), QStringLiteral("Port açılamadı"));
    f.click("btnRS232");
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.widget<QPushButton>("btnRS232")->text(), QStringLiteral("RS232"));
}

void TestFormRead::parameters_shortRecord_endsReadWithBox()
{
    FormFixture f(QStringLiteral("formread_shortpar"));
    QVERIFY(f.sim.listenTcp());
    f.sim.logger()->faults().parameterFields = 10;
    f.createForm();
    f.widget<QLineEdit>("txtHost")->setText(f.tcpHost());
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Parametre Oku"), QStringLiteral("Cihazdan gelen bilgi eksik!"));
    f.click("btnGPRS");
    QTRY_COMPARE(f.boxes.pending(), 0);
    BOXSPY_VERIFY(f.boxes);
    QVERIFY(!f.form->progressDialog()->isVisible());
    QCOMPARE(f.form->pendingCommand(), 0);
    QTest::qWait(100);
    QCOMPARE(f.sim.logger()->commandsReceived(), QStringList({"OKU"}));
}

void TestFormRead::parameters_optionDigitsAndDayName_shown()
{
    FormFixture f(QStringLiteral("formread_options"));
    f.createForm();
    // Options 0 1 0 1 0 1, day 7.
    const QByteArray record = "PAR1\x02M\x02S\x02N\x02" "1.5\x02" "01/02/26 03:04:05 7\x02" "B\x02" "C1\x02" "N/A\x02"
                              "m\x02" "C2\x02" "4\x02" "C\x02" "a\x02" "b\x02" "c\x02" "d\x02" "010101\x02\r";
    QVERIFY(f.form->showParameters(record));
    QVERIFY(!f.widget<QCheckBox>("cbRS485")->isChecked());
    QVERIFY(f.widget<QRadioButton>("rbAnlikKayit")->isChecked());
    QVERIFY(!f.widget<QRadioButton>("rbOrtalamaKayit")->isChecked());
    QVERIFY(f.widget<QRadioButton>("rbKayitMinMax")->isChecked());
    QVERIFY(f.widget<QRadioButton>("rbKayittakiVerOrt")->isChecked());
    QVERIFY(!f.widget<QCheckBox>("cbKayitTamSaat")->isChecked());
    QVERIFY(f.widget<QRadioButton>("rbKuyu")->isChecked());
    QVERIFY(!f.widget<QRadioButton>("rbBaraj")->isChecked());
    QCOMPARE(f.text("txtCihazTarihSaat"), QStringLiteral("01/02/26 03:04:05 Pazar"));
    QCOMPARE(f.text("cmbKanal1Birim"), QStringLiteral("m"));
    // Day 8: the 17 characters and a trailing blank.
    QByteArray day8 = record;
    day8.replace("03:04:05 7", "03:04:05 8");
    QVERIFY(f.form->showParameters(day8));
    QCOMPARE(f.text("txtCihazTarihSaat"), QStringLiteral("01/02/26 03:04:05 "));
    // An unknown unit selects nothing.
    QByteArray inches = record;
    inches.replace("\x02m\x02", "\x02in\x02");
    QVERIFY(f.form->showParameters(inches));
    QCOMPARE(f.widget<QComboBox>("cmbKanal1Birim")->currentIndex(), -1);
    // Long texts are cut to the fields' limits.
    QByteArray longName = record;
    longName.replace("\x02S\x02", "\x02" "ABCDEFGHIJKLMNOPQ\x02");
    QVERIFY(f.form->showParameters(longName));
    QCOMPARE(f.text("txtIstasyonAdi"), QStringLiteral("ABCDEFGHIJKLMN"));
    BOXSPY_VERIFY(f.boxes);
}

void TestFormRead::parameters_stationNotYeni_serialNumberReadOnly()
{
    FormFixture f(QStringLiteral("formread_yeni"));
    f.createForm();
    auto *serial = f.widget<QLineEdit>("txtSeriNo");
    QVERIFY(serial->isReadOnly());
    auto record = [](const QByteArray &name) {
        return "PAR1\x02M\x02" + name + "\x02N\x02" "0\x02" "01/02/26 03:04:05 1\x02" "B\x02" "C1\x02" "1\x02"
               "cm\x02" "C2\x02" "4\x02" "C\x02" "a\x02" "b\x02" "c\x02" "d\x02" "000000\x02\r";
    };
    QVERIFY(f.form->showParameters(record("Yeni")));
    QVERIFY(!serial->isReadOnly());
    QVERIFY(f.form->showParameters(record("yeni")));
    QVERIFY(serial->isReadOnly());
}

void TestFormRead::alarms_relayRuleAndField6_1110()
{
    FormFixture f(QStringLiteral("formread_relays"));
    f.createForm();
    QVERIFY(f.form->showAlarms("ALR1.5\x02" "1\x02" "2\x02" "1\x02" "00000000000000\x02" "x\x02" "1110\x02\r"));
    auto *role1 = f.widget<QComboBox>("cmbAlrRole1");
    auto *role2 = f.widget<QComboBox>("cmbAlrRole2");
    QCOMPARE(role1->currentIndex(), 1);
    // The logger's relay 2 wins although the rule has just disabled that item.
    QCOMPARE(role2->currentIndex(), 1);
    QVERIFY(!itemEnabled(role2, 1));
    QVERIFY(itemEnabled(role2, 2));
    QVERIFY(f.widget<QDoubleSpinBox>("txtAlrCh1High")->isEnabled());
    QVERIFY(!f.widget<QDoubleSpinBox>("txtAlrCh2High")->isEnabled());
    QCOMPARE(f.text("txtAlrCh1AlrDate"), QStringLiteral("00.00.0000"));
    // A short field 6 is refused.
    QVERIFY(!f.form->showAlarms("ALR1\x02" "1\x02" "2\x02" "1\x02" "x\x02" "x\x02" "111\x02\r"));
    // Out-of-range thresholds are clamped by the boxes.
    QVERIFY(f.form->showAlarms("ALR-5\x02" "2000000\x02" "abc\x02" "1\x02" "x\x02" "x\x02" "0000\x02\r"));
    QCOMPARE(f.widget<QDoubleSpinBox>("txtAlrCh1High")->value(), 0.0);
    QCOMPARE(f.widget<QDoubleSpinBox>("txtAlrCh1Low")->value(), 1000000.0);
    QCOMPARE(f.widget<QDoubleSpinBox>("txtAlrCh2High")->value(), 0.0);
}

void TestFormRead::alarms_relayRule_movesRelay2AwayFromRelay1()
{
    FormFixture f(QStringLiteral("formread_relayrule"));
    f.createForm();
    auto *role1 = f.widget<QComboBox>("cmbAlrRole1");
    auto *role2 = f.widget<QComboBox>("cmbAlrRole2");
    // Both channels selectable at first.
    QVERIFY(itemEnabled(role2, 1) && itemEnabled(role2, 2));
    role2->setCurrentIndex(2);
    role1->setCurrentIndex(2);
    QCOMPARE(role2->currentIndex(), 1);
    QVERIFY(!itemEnabled(role2, 2));
    role2->setCurrentIndex(0);
    role1->setCurrentIndex(1);
    QCOMPARE(role2->currentIndex(), 0);
    role1->setCurrentIndex(0);
    QVERIFY(itemEnabled(role2, 1) && itemEnabled(role2, 2));

    // Unchecking a channel's alarm disables its boxes but keeps the values.
    auto *ch1 = f.widget<QCheckBox>("cbAlrCh1");
    ch1->setChecked(true);
    f.widget<QDoubleSpinBox>("txtAlrCh1High")->setValue(7.25);
    ch1->setChecked(false);
    QVERIFY(!f.widget<QDoubleSpinBox>("txtAlrCh1High")->isEnabled());
    QCOMPARE(f.widget<QDoubleSpinBox>("txtAlrCh1High")->value(), 7.25);
}

void TestFormRead::flow_ratingTable_followsLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("level");
    QTest::addColumn<QString>("expected");
    // The level comes with "." and is turned to "," before the locale reads it.
    QTest::newRow("Turkish, fraction cut") << "tr_TR" << 12.7 << "3.5 m3";
    QTest::newRow("Turkish, whole level") << "tr_TR" << 13.0 << "4.25 m3";
    QTest::newRow("Turkish, top bound is outside") << "tr_TR" << 99.0 << "-1 m3";
    QTest::newRow("C, fraction does not convert") << "C" << 12.7 << "-1 m3";
}

void TestFormRead::flow_ratingTable_followsLocale()
{
    QFETCH(QString, locale);
    QFETCH(double, level);
    QFETCH(QString, expected);
    QLocale::setDefault(QLocale(locale));
    FormFixture f(QStringLiteral("formread_flow"));
    QVERIFY(f.sim.listenPty());
    f.sim.logger()->setStationNo(QStringLiteral("4711"));
    f.sim.logger()->setFixedValues(level, 10.0);
    writeRatingTable(QStringLiteral("4711"),
                     "<VALUE LEVEL=\"12\" FLOW=\"3.5\"/><VALUE LEVEL=\"13\" FLOW=\"4.25\"/><VALUE LEVEL=\"99\" FLOW=\"50\"/>");
    f.createForm();
    f.boxes.expect(MessageBox::Information, QStringLiteral("Parametre Oku"), readDone);
    f.click("btnRS232");
    QTRY_COMPARE(f.boxes.pending(), 0);
    QVERIFY(f.form->isAbakLoaded());
    QCOMPARE(f.text("txtAnlikDebi"), expected);
    f.click("btnRS232");
    QVERIFY(!f.form->isAbakLoaded());
    QLocale::setDefault(QLocale::c());
}

void TestFormRead::language_switchToEnglishAndBack()
{
    FormFixture f(QStringLiteral("formread_language"));
    QVERIFY(TestEnv::copyTranslations(f.appDir));
    Application::loadTranslations(Paths::langDir());
    f.createForm();
    auto *languages = f.widget<QComboBox>("cmbLanguage");
    QCOMPARE(languages->count(), 2);
    QCOMPARE(languages->currentText(), QStringLiteral("Türkçe"));
    f.widget<QLineEdit>("txtIstasyonAdi")->setText(QStringLiteral("kept?"));
    f.widget<QLineEdit>("txtKanal2Ad")->setText(QStringLiteral("kept"));

    languages->setCurrentIndex(languages->findData(QStringLiteral("en_US")));
    QCOMPARE(f.form->currentLanguage(), QStringLiteral("en_US"));
    QTRY_COMPARE(f.widget<QPushButton>("btnParametreOku")->text(), QStringLiteral("Read Parameters"));
    // The generated texts come back: the station name is emptied, other
    // fields keep their values.
    QCOMPARE(f.text("txtIstasyonAdi"), QString());
    QCOMPARE(f.text("txtKanal2Ad"), QStringLiteral("kept"));

    languages->setCurrentIndex(languages->findData(QStringLiteral("tr_TR")));
    QTRY_COMPARE(f.widget<QPushButton>("btnParametreOku")->text(), QStringLiteral("Parametre Oku"));
    f.destroyForm();
    QSettings settings(Paths::settingsFile(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("Application/lang")).toString(), QStringLiteral("tr_TR"));
    Application::setLanguage(QString());
}

void TestFormRead::settings_savedUntrimmedAndLoaded()
{
    FormFixture f(QStringLiteral("formread_settings"));
    QVERIFY(f.sim.listenPty());
    f.createForm();
    f.widget<QLineEdit>("txtHost")->setText(QStringLiteral("  10.1.2.3:8080 "));
    f.widget<QLineEdit>("txtPhone")->setText(QStringLiteral(" 05321234567"));
    f.destroyForm();
    {
        QSettings settings(Paths::settingsFile(), QSettings::IniFormat);
        QCOMPARE(settings.value(QStringLiteral("GPRS/host")).toString(), QStringLiteral("  10.1.2.3:8080 "));
        QCOMPARE(settings.value(QStringLiteral("GSM/phone")).toString(), QStringLiteral(" 05321234567"));
        QCOMPARE(settings.value(QStringLiteral("RS232/port")).toString(), f.sim.ptyPath());
        QCOMPARE(settings.value(QStringLiteral("Application/lang")).toString(), QStringLiteral("tr_TR"));
    }
    // A fresh form selects the saved port and shows the saved texts.
    Options::setExtraPorts({QStringLiteral("/dev/vlx-first"), f.sim.ptyPath()});
    f.form = std::make_unique<Form>();
    QCOMPARE(f.text("cmbPortList"), f.sim.ptyPath());
    QCOMPARE(f.text("txtHost"), QStringLiteral("  10.1.2.3:8080 "));
    QCOMPARE(f.text("txtPhone"), QStringLiteral(" 05321234567"));
}

void TestFormRead::splitHostPort_acceptsHostPortForms_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::newRow("plain host keeps 80") << " logger.example " << true << "logger.example" << 80;
    QTest::newRow("host and port") << "10.0.0.5:8080" << true << "10.0.0.5" << 8080;
    QTest::newRow("bracketed v6 with port") << "[::1]:9000" << true << "::1" << 9000;
    QTest::newRow("bracketed v6 without port") << "[fe80::1]" << true << "fe80::1" << 80;
    QTest::newRow("bare v6 keeps 80") << "::1" << true << "::1" << 80;
    QTest::newRow("port not a number") << "host:abc" << false << "" << 0;
    QTest::newRow("port zero") << "host:0" << false << "" << 0;
    QTest::newRow("empty") << "  " << false << "" << 0;
}

void TestFormRead::splitHostPort_acceptsHostPortForms()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QString, host);
    QFETCH(int, port);
    QString gotHost;
    quint16 gotPort = 0;
    QCOMPARE(Form::splitHostPort(text, &gotHost, &gotPort), ok);
    if (ok) {
        QCOMPARE(gotHost, host);
        QCOMPARE(int(gotPort), port);
    }
}

void TestFormRead::debugLog_tracesTheChain()
{
    FormFixture f(QStringLiteral("formread_debuglog"));
    QVERIFY(f.sim.listenPty());
    f.createForm();
    const QString logFile = f.form->debugFileName();
    f.boxes.expect(MessageBox::Information, QStringLiteral("Parametre Oku"), readDone);
    f.click("btnRS232");
    QTRY_COMPARE(f.boxes.pending(), 0);
    f.destroyForm();

    QFile file(logFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList tags;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        const QString message = QString::fromUtf8(line.mid(line.indexOf("] ") + 2));
        QVERIFY2(QRegularExpression(QStringLiteral("^\\(\\w\\w\\) .* [a-z]+\\.cpp:\\d+$")).match(message).hasMatch(),
                 qPrintable(message));
        tags << message.section(QLatin1Char(' '), 0, 1);
    }
    QCOMPARE(tags, QStringList({"(01) Start", "(04) OKU", "(15) Parse", "(05) PAR", "(06) DKU", "(15) Parse",
                                "(07) DOS", "(08) ALO", "(15) Parse", "(09) ALR", "(XX) Finish"}));
}

QTEST_MAIN(TestFormRead)
#include "tst_formread.moc"
