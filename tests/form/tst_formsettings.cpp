// The setting commands of the working form against the simulated logger:
// parameter upload, password change, sensor zero and alarm set. Every frame
// is checked byte for byte as the simulator received it, every dialog flow
// with its boxes, and every answer with the box it gives.
#include "formfixture.h"

#include "messagebox.h"
#include "sifre.h"
#include "sifredegistir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

const QByteArray stx(1, '\x02');
const QString cancelledText = QStringLiteral("İşlem kullanıcı tarafından iptal edildi!");
const QString readDone = QStringLiteral("Parametre bilgileri okundu");

// The frames of "Parametre Oku": nothing else may be on the line before them.
QList<QByteArray> readChain()
{
    return {QByteArray("\x02OKU\r"), QByteArray("\x02" "DKU\r"), QByteArray("\x02" "ALO\r")};
}

// The text of the "Dosya Eylemi" question, with the three captions in it.
QString fileActionText()
{
    return QStringLiteral(
        "<html>Cihazdaki veriler silinsin mi?<br><br><table>"
        "<tr><th align='left'>Evet</th><th>:</th><td>Cihazdaki tüm dosya ve veriler silinecek</td></tr>"
        "<tr><th align='left'>Hayır</th><th>:</th><td>Cihazdaki en son dosya ve veriler saklanıp yeni dosya oluşacak</td></tr>"
        "<tr><th align='left'>İptal</th><th>:</th><td>İşlemi iptal et</td></tr></table></html>");
}

void typePassword(const QString &password)
{
    whenModal<Sifre>([password](Sifre *d) {
        d->findChild<QLineEdit *>(QStringLiteral("txtSifre"))->setText(password);
        d->findChild<QPushButton *>(QStringLiteral("btnTamam"))->click();
    });
}

void cancelPassword()
{
    whenModal<Sifre>([](Sifre *d) { d->findChild<QPushButton *>(QStringLiteral("btnIptal"))->click(); });
}

void typePasswordChange(const QString &oldPassword, const QString &newPassword)
{
    whenModal<SifreDegistir>([oldPassword, newPassword](SifreDegistir *d) {
        d->findChild<QLineEdit *>(QStringLiteral("txtEskiSifre"))->setText(oldPassword);
        d->findChild<QLineEdit *>(QStringLiteral("txtYeniSifre"))->setText(newPassword);
        d->findChild<QLineEdit *>(QStringLiteral("txtYeniSifreTekrar"))->setText(newPassword);
        d->findChild<QPushButton *>(QStringLiteral("btnTamam"))->click();
    });
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The 13 characters of the clock item: a time between `from` and `to`
// (whole seconds) and the day of the week of its date, 1 Monday .. 7 Sunday.
bool clockItemValid(const QByteArray &item, const QDateTime &from, const QDateTime &to, QString *why)
{
    if (item.size() != 13) {
        *why = QStringLiteral("clock item has %1 characters").arg(item.size());
        return false;
    }
    QDateTime clock = QDateTime::fromString(QString::fromLatin1(item.left(12)), QStringLiteral("ddMMyyHHmmss"));
    clock = clock.addYears(100);   // two-digit years are read as 19xx
    const QDateTime lower = from.addMSecs(-from.time().msec());
    if (!clock.isValid() || clock < lower || clock > to) {
        *why = QStringLiteral("clock %1 not between %2 and %3")
                   .arg(QString::fromLatin1(item), lower.toString(Qt::ISODate), to.toString(Qt::ISODate));
        return false;
    }
    if (item.at(12) - '0' != clock.date().dayOfWeek()) {
        *why = QStringLiteral("day digit %1 for %2").arg(item.at(12)).arg(clock.date().toString(Qt::ISODate));
        return false;
    }
    return true;
}

} // namespace

class TestFormSettings : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void upload_frame_everyItemAsShownAndTraceMasked_data();
    void upload_frame_everyItemAsShownAndTraceMasked();
    void upload_fileActionHayir_readBackShowsUploadedValuesAndClock();
    void upload_wrongPassword_saysSifreYanlisAndLoggerUnchanged();
    void upload_cancelledInPrompt_saysCancelledAndSendsNothing();
    void upload_iptalInQuestion_saysCancelledAndSendsNothing();
    void passwordChange_thenSensorZeroWithNewPassword();
    void passwordChange_wrongOldPassword_saysEskiSifreYanlis();
    void passwordChange_cancelled_saysCancelledAndSendsNothing();
    void sensorZero_cancelled_warningShownFirstAndNothingSent();
    void sensorZero_oldPassword_saysSifreYanlis();
    void answers_onlyForTheirOwnPendingCommand_data();
    void answers_onlyForTheirOwnPendingCommand();
    void alarmSet_frameSentAndReadBackConfirmed();
    void alarmSet_loggerKeepsOldValues_criticalBoxAndOldValuesShown();
    void alarmSet_readBackTooShort_criticalBoxNotVerified();

private:
    void connectRs232(FormFixture &f);
    // Sends OKU after a cancelled operation and waits for it: the line then
    // shows whatever was sent before it.
    QList<QByteArray> framesUpToARead(FormFixture &f);
};

void TestFormSettings::init()
{
    QLocale::setDefault(QLocale::c());
}

void TestFormSettings::cleanup()
{
    QLocale::setDefault(QLocale::c());
}

void TestFormSettings::connectRs232(FormFixture &f)
{
    f.boxes.expect(MessageBox::Information, QStringLiteral("Parametre Oku"), readDone);
    f.click("btnRS232");
    QTRY_COMPARE(f.boxes.pending(), 0);
    BOXSPY_VERIFY(f.boxes);
    f.sim.logger()->clearCommands();
    f.boxes.clear();
}

QList<QByteArray> TestFormSettings::framesUpToARead(FormFixture &f)
{
    f.boxes.expect(MessageBox::Information, QStringLiteral("Parametre Oku"), readDone);
    f.click("btnParametreOku");
    [&] { QTRY_COMPARE(f.boxes.pending(), 0); }();
    return f.sim.logger()->framesReceived();
}

void TestFormSettings::upload_frame_everyItemAsShownAndTraceMasked_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("answer");             // button of "Dosya Eylemi"
    QTest::addColumn<bool>("firstOptions");      // which of two option patterns is set
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("offset");
    QTest::addColumn<int>("unitIndex");          // -1: nothing selected
    QTest::addColumn<QByteArray>("fileActionDigit");
    QTest::addColumn<QByteArray>("flags");
    QTest::addColumn<QByteArray>("recordFlags");
    QTest::addColumn<QByteArray>("offsetItem");
    QTest::addColumn<QByteArray>("unitItem");

    QTest::newRow("Evet, offset 2")
        << "1234" << 0 << true << "C" << "2" << 1 << QByteArray("0") << QByteArray("1001")
        << QByteArray("101") << QByteArray("2.00") << QByteArray("cm");
    QTest::newRow("Hayır, password with blanks and ş, trimmed offset")
        << " 1ş 34 " << 1 << false << "C" << "  2.5 " << 2 << QByteArray("1") << QByteArray("0100")
        << QByteArray("010") << QByteArray("2.50") << QByteArray("m");
    QTest::newRow("Turkish locale, 1,5, no unit")
        << "1234" << 1 << true << "tr_TR" << "1,5" << -1 << QByteArray("1") << QByteArray("1001")
        << QByteArray("101") << QByteArray("1.50") << QByteArray();
    QTest::newRow("offset not a number")
        << "1234" << 0 << false << "C" << "abc" << 0 << QByteArray("0") << QByteArray("0100")
        << QByteArray("010") << QByteArray("0.00") << QByteArray("mm");
}

void TestFormSettings::upload_frame_everyItemAsShownAndTraceMasked()
{
    QFETCH(QString, password);
    QFETCH(int, answer);
    QFETCH(bool, firstOptions);
    QFETCH(QString, locale);
    QFETCH(QString, offset);
    QFETCH(int, unitIndex);
    QFETCH(QByteArray, fileActionDigit);
    QFETCH(QByteArray, flags);
    QFETCH(QByteArray, recordFlags);
    QFETCH(QByteArray, offsetItem);
    QFETCH(QByteArray, unitItem);

    FormFixture f(QStringLiteral("formsettings_upload"));
    QVERIFY(f.sim.listenPty());
    f.sim.logger()->setPassword(password);
    f.createForm();
    connectRs232(f);
    QFile::remove(QStringLiteral("temp.txt"));
    QLocale::setDefault(QLocale(locale));

    f.widget<QLineEdit>("txtSeriNo")->setText(QStringLiteral("  00098765 "));
    f.widget<QLineEdit>("txtIstasyonAdi")->setText(QStringLiteral(" Baraj Gölü\t"));
    f.widget<QLineEdit>("txtIstasyonNo")->setText(QStringLiteral(" 4321 "));
    f.widget<QCheckBox>("cbKayitTamSaat")->setChecked(firstOptions);
    f.widget<QRadioButton>(firstOptions ? "rbBaraj" : "rbKuyu")->setChecked(true);
    f.widget<QCheckBox>("cbRS485")->setChecked(firstOptions);
    f.widget<QRadioButton>(firstOptions ? "rbAnlikKayit" : "rbOrtalamaKayit")->setChecked(true);
    f.widget<QRadioButton>(firstOptions ? "rbKayitMinMax" : "rbAnlikMinMax")->setChecked(true);
    f.widget<QRadioButton>(firstOptions ? "rbKayittakiVerOrt" : "rbAnliktakiVerOrt")->setChecked(true);
    f.widget<QLineEdit>("txtOfsetDeg")->setText(offset);
    f.widget<QComboBox>("cmbKanal1Birim")->setCurrentIndex(unitIndex);
    f.widget<QLineEdit>("txtKanal1Ad")->setText(QStringLiteral(" Seviye 1 "));
    f.widget<QLineEdit>("txtKayitAraligi")->setText(QStringLiteral(" 30 "));

    typePassword(password);
    f.boxes.expect(MessageBox::Question, QStringLiteral("Dosya Eylemi"), fileActionText(), answer);
    f.boxes.expect(MessageBox::Information, QStringLiteral("Parametre Yükleme"),
                   QStringLiteral("Parametre bilgileri yüklendi."));
    const QDateTime before = QDateTime::currentDateTime();
    f.click("btnParametreYukle");
    const QDateTime after = QDateTime::currentDateTime();
    QCOMPARE(f.form->pendingCommand(), 8);
    QTRY_COMPARE(f.boxes.pending(), 0);
    BOXSPY_VERIFY(f.boxes);

    const MessageBox::Request question = f.boxes.shown().at(0);
    QCOMPARE(question.buttons, (QStringList {"Evet", "Hayır", "İptal"}));
    QCOMPARE(question.defaultButton, 0);
    QCOMPARE(question.escapeButton, -1);

    QCOMPARE(f.sim.logger()->framesReceived().size(), 1);
    const QByteArray frame = f.sim.logger()->framesReceived().at(0);
    const QList<QByteArray> items = frame.split('\x02');
    QCOMPARE(items.size(), 12);
    const QByteArray clock = items.at(5);
    QString why;
    QVERIFY2(clockItemValid(clock, before, after, &why), qPrintable(why));

    const QByteArray expected = stx + "PAR" + password.toUtf8() + fileActionDigit + "00098765" + stx
        + "Baraj G\xC3\xB6l\xC3\xBC" + stx + "4321" + stx + flags + stx + clock + stx + offsetItem + stx
        + unitItem + stx + "Seviye 1" + stx + "30" + stx + recordFlags + stx + "\r";
    QCOMPARE(frame, expected);

    // The trace in the current directory: escaped, the password masked, the
    // first byte of each non-ASCII character.
    const QByteArray trace = readFile(QStringLiteral("temp.txt"));
    QVERIFY(!trace.contains('\x02'));
    QVERIFY(!trace.contains('\r'));
    QVERIFY(!trace.contains('\n'));
    const QByteArray expectedTrace = "\\02PAR" + QByteArray(password.size(), '*') + fileActionDigit
        + "00098765\\02Baraj G\xC3l\xC3\\02" "4321\\02" + flags + "\\02" + clock + "\\02" + offsetItem
        + "\\02" + unitItem + "\\02Seviye 1\\02" "30\\02" + recordFlags + "\\02\\0d";
    QCOMPARE(trace, expectedTrace);
}

void TestFormSettings::upload_fileActionHayir_readBackShowsUploadedValuesAndClock()
{
    FormFixture f(QStringLiteral("formsettings_upload_readback"));
    QVERIFY(f.sim.listenPty());
    SimLogger *logger = f.sim.logger();
    // A clock far off, so that the read-back shows the one the upload set.
    logger->setClock(QDateTime(QDate(2019, 1, 2), QTime(3, 4, 5)));
    const int filesBefore = int(logger->memoryState().files().size());
    f.createForm();
    connectRs232(f);
    QVERIFY(f.text("txtCihazTarihSaat").startsWith(QStringLiteral("02/01/19 03:0")));

    f.widget<QLineEdit>("txtIstasyonAdi")->setText(QStringLiteral("Kuyu Başı"));
    f.widget<QLineEdit>("txtIstasyonNo")->setText(QStringLiteral("0777"));
    f.widget<QLineEdit>("txtOfsetDeg")->setText(QStringLiteral("2"));
    f.widget<QComboBox>("cmbKanal1Birim")->setCurrentIndex(2);
    f.widget<QLineEdit>("txtKanal1Ad")->setText(QStringLiteral("Kuyu"));
    f.widget<QLineEdit>("txtKayitAraligi")->setText(QStringLiteral("30"));
    f.widget<QRadioButton>("rbKuyu")->setChecked(true);
    f.widget<QCheckBox>("cbKayitTamSaat")->setChecked(true);

    typePassword(QStringLiteral("1234"));
    f.boxes.expect(MessageBox::Question, QStringLiteral("Dosya Eylemi"), fileActionText(), 1);
    f.boxes.expect(MessageBox::Information, QStringLiteral("Parametre Yükleme"),
                   QStringLiteral("Parametre bilgileri yüklendi."));
    f.click("btnParametreYukle");
    QTRY_COMPARE(f.boxes.pending(), 0);
    BOXSPY_VERIFY(f.boxes);
    // "Hayır": the latest file is kept and a new one started.
    QCOMPARE(int(logger->memoryState().files().size()), filesBefore + 1);

    // The tab keeps what was uploaded until the next read.
    QCOMPARE(f.text("txtIstasyonAdi"), QStringLiteral("Kuyu Başı"));
    f.widget<QLineEdit>("txtIstasyonAdi")->clear();
    f.widget<QLineEdit>("txtOfsetDeg")->clear();

    const QDateTime now = QDateTime::currentDateTime();
    f.boxes.expect(MessageBox::Information, QStringLiteral("Parametre Oku"), readDone);
    f.click("btnParametreOku");
    QTRY_COMPARE(f.boxes.pending(), 0);
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.text("txtIstasyonAdi"), QStringLiteral("Kuyu Başı"));
    QCOMPARE(f.text("txtIstasyonNo"), QStringLiteral("0777"));
    QCOMPARE(f.text("txtOfsetDeg"), QStringLiteral("2.00"));
    QCOMPARE(f.text("cmbKanal1Birim"), QStringLiteral("m"));
    QCOMPARE(f.text("txtKanal1Ad"), QStringLiteral("Kuyu"));
    QCOMPARE(f.text("txtKayitAraligi"), QStringLiteral("30"));
    QVERIFY(f.widget<QRadioButton>("rbKuyu")->isChecked());
    QVERIFY(f.widget<QCheckBox>("cbKayitTamSaat")->isChecked());
    QCOMPARE(f.text("txtDosyaAdedi"), QString::number(filesBefore + 1));
    const QString shownClock = f.text("txtCihazTarihSaat");
    const QDateTime shown = QDateTime::fromString(shownClock.left(17), QStringLiteral("dd/MM/yy HH:mm:ss")).addYears(100);
    QVERIFY2(shown.isValid() && qAbs(shown.secsTo(now)) <= 5, qPrintable(shownClock));
}

void TestFormSettings::upload_wrongPassword_saysSifreYanlisAndLoggerUnchanged()
{
    FormFixture f(QStringLiteral("formsettings_upload_wrong"));
    QVERIFY(f.sim.listenPty());
    f.createForm();
    connectRs232(f);
    f.widget<QLineEdit>("txtIstasyonAdi")->setText(QStringLiteral("Başka"));

    typePassword(QStringLiteral("9999"));
    f.boxes.expect(MessageBox::Question, QStringLiteral("Dosya Eylemi"), fileActionText(), 0);
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Parametre Yükleme"), QStringLiteral("Şifre yanlış!"));
    f.click("btnParametreYukle");
    QTRY_COMPARE(f.boxes.pending(), 0);
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.sim.logger()->commandsReceived(), QStringList {"PAR"});
    QVERIFY(f.sim.logger()->framesReceived().at(0).startsWith("\x02PAR9999" "0"));
    QCOMPARE(f.sim.logger()->stationName(), QStringLiteral("Yeni"));
}

void TestFormSettings::upload_cancelledInPrompt_saysCancelledAndSendsNothing()
{
    FormFixture f(QStringLiteral("formsettings_upload_cancel"));
    QVERIFY(f.sim.listenPty());
    f.createForm();
    connectRs232(f);
    QFile::remove(QStringLiteral("temp.txt"));

    cancelPassword();
    f.boxes.expect(MessageBox::Critical, QStringLiteral("İptal"), cancelledText);
    f.click("btnParametreYukle");
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.form->pendingCommand(), 3);   // still the read's last code
    QVERIFY(!QFile::exists(QStringLiteral("temp.txt")));
    QCOMPARE(framesUpToARead(f), readChain());
}

void TestFormSettings::upload_iptalInQuestion_saysCancelledAndSendsNothing()
{
    FormFixture f(QStringLiteral("formsettings_upload_iptal"));
    QVERIFY(f.sim.listenPty());
    f.createForm();
    connectRs232(f);
    QFile::remove(QStringLiteral("temp.txt"));

    typePassword(QStringLiteral("1234"));
    f.boxes.expect(MessageBox::Question, QStringLiteral("Dosya Eylemi"), fileActionText(), 2);
    f.boxes.expect(MessageBox::Critical, QStringLiteral("İptal"), cancelledText);
    f.click("btnParametreYukle");
    BOXSPY_VERIFY(f.boxes);
    QVERIFY(!QFile::exists(QStringLiteral("temp.txt")));
    QCOMPARE(framesUpToARead(f), readChain());
}

void TestFormSettings::passwordChange_thenSensorZeroWithNewPassword()
{
    FormFixture f(QStringLiteral("formsettings_sif_sen"));
    QVERIFY(f.sim.listenPty());
    SimLogger *logger = f.sim.logger();
    logger->setFixedValues(123.45, 12.5);
    f.createForm();
    connectRs232(f);

    typePasswordChange(QStringLiteral("1234"), QStringLiteral(" yeni 5 "));
    f.boxes.expect(MessageBox::Information, QStringLiteral("Şifre Değiştir"), QStringLiteral("Şifre değişti."));
    f.click("btnSifreDegistir");
    QCOMPARE(f.form->pendingCommand(), 6);
    QTRY_COMPARE(f.boxes.pending(), 0);
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(logger->password(), QStringLiteral(" yeni 5 "));

    f.boxes.expect(MessageBox::Warning, QStringLiteral("Uyarı"),
                   QStringLiteral("Sensörün suyun dışında olduğundan emin olun!"));
    typePassword(QStringLiteral(" yeni 5 "));
    f.boxes.expect(MessageBox::Information, QStringLiteral("Sensör Sıfırla"), QStringLiteral("Sensör sıfırlandı."));
    f.click("btnSensorSifirla");
    QCOMPARE(f.form->pendingCommand(), 7);
    QTRY_COMPARE(f.boxes.pending(), 0);
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(logger->parameters().offset, -123.45);

    QCOMPARE(logger->framesReceived(),
             (QList<QByteArray> {"\x02SIF1234 yeni 5 \r", "\x02SEN yeni 5 \r"}));
}

void TestFormSettings::passwordChange_wrongOldPassword_saysEskiSifreYanlis()
{
    FormFixture f(QStringLiteral("formsettings_sif_wrong"));
    QVERIFY(f.sim.listenPty());
    f.createForm();
    connectRs232(f);

    typePasswordChange(QStringLiteral("4321"), QStringLiteral("5678"));
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Şifre Değiştir"), QStringLiteral("Eski şifre yanlış!"));
    f.click("btnSifreDegistir");
    QTRY_COMPARE(f.boxes.pending(), 0);
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.sim.logger()->framesReceived(), QList<QByteArray> {"\x02SIF43215678\r"});
    QCOMPARE(f.sim.logger()->password(), QStringLiteral("1234"));
}

void TestFormSettings::passwordChange_cancelled_saysCancelledAndSendsNothing()
{
    FormFixture f(QStringLiteral("formsettings_sif_cancel"));
    QVERIFY(f.sim.listenPty());
    f.createForm();
    connectRs232(f);

    whenModal<SifreDegistir>([](SifreDegistir *d) {
        d->findChild<QLineEdit *>(QStringLiteral("txtEskiSifre"))->setText(QStringLiteral("1234"));
        d->findChild<QPushButton *>(QStringLiteral("btnIptal"))->click();
    });
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Hata"), cancelledText);
    f.click("btnSifreDegistir");
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.form->pendingCommand(), 3);
    QCOMPARE(framesUpToARead(f), readChain());
}

void TestFormSettings::sensorZero_cancelled_warningShownFirstAndNothingSent()
{
    FormFixture f(QStringLiteral("formsettings_sen_cancel"));
    QVERIFY(f.sim.listenPty());
    f.createForm();
    connectRs232(f);

    f.boxes.expect(MessageBox::Warning, QStringLiteral("Uyarı"),
                   QStringLiteral("Sensörün suyun dışında olduğundan emin olun!"));
    cancelPassword();
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Hata"), cancelledText);
    f.click("btnSensorSifirla");
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.boxes.shown().size(), 2);
    QCOMPARE(f.boxes.shown().at(0).kind, MessageBox::Warning);
    QCOMPARE(f.boxes.shown().at(0).buttons, QStringList {"Tamam"});
    QCOMPARE(f.form->pendingCommand(), 3);
    QCOMPARE(framesUpToARead(f), readChain());
}

void TestFormSettings::sensorZero_oldPassword_saysSifreYanlis()
{
    FormFixture f(QStringLiteral("formsettings_sen_wrong"));
    QVERIFY(f.sim.listenPty());
    f.sim.logger()->setPassword(QStringLiteral("5678"));
    f.createForm();
    connectRs232(f);
    const double offsetBefore = f.sim.logger()->parameters().offset;

    f.boxes.expect(MessageBox::Warning, QStringLiteral("Uyarı"),
                   QStringLiteral("Sensörün suyun dışında olduğundan emin olun!"));
    typePassword(QStringLiteral("1234"));
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Sensör Sıfırla"), QStringLiteral("Şifre yanlış!"));
    f.click("btnSensorSifirla");
    QTRY_COMPARE(f.boxes.pending(), 0);
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.sim.logger()->framesReceived(), QList<QByteArray> {"\x02SEN1234\r"});
    QCOMPARE(f.sim.logger()->parameters().offset, offsetBefore);
}

void TestFormSettings::answers_onlyForTheirOwnPendingCommand_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("kind");        // -1: no box
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");

    const QString sif = QStringLiteral("Şifre Değiştir");
    const QString sen = QStringLiteral("Sensör Sıfırla");
    const QString par = QStringLiteral("Parametre Yükleme");
    const int info = MessageBox::Information, crit = MessageBox::Critical;
    QTest::newRow("SIF DEG") << "SIF" << QByteArray("DEG\r") << info << sif << "Şifre değişti.";
    QTest::newRow("SIF SYANLIS") << "SIF" << QByteArray("SYANLIS\r") << crit << sif << "Eski şifre yanlış!";
    QTest::newRow("SIF SIFIR ignored") << "SIF" << QByteArray("SIFIR\r") << -1 << QString() << QString();
    QTest::newRow("SIF UKLEND ignored") << "SIF" << QByteArray("UKLEND\r") << -1 << QString() << QString();
    QTest::newRow("SEN SIFIR") << "SEN" << QByteArray("SIFIR\r") << info << sen << "Sensör sıfırlandı.";
    QTest::newRow("SEN SYANLIS") << "SEN" << QByteArray("SYANLIS\r") << crit << sen << "Şifre yanlış!";
    QTest::newRow("SEN DEG ignored") << "SEN" << QByteArray("DEG\r") << -1 << QString() << QString();
    QTest::newRow("PAR UKLEND") << "PAR" << QByteArray("UKLEND\r") << info << par << "Parametre bilgileri yüklendi.";
    QTest::newRow("PAR UKLEND in the middle") << "PAR" << QByteArray("OK UKLEND 1\r") << info << par
                                              << "Parametre bilgileri yüklendi.";
    QTest::newRow("PAR SYANLIS") << "PAR" << QByteArray("SYANLIS\r") << crit << par << "Şifre yanlış!";
    QTest::newRow("PAR SYANLIS not at the start ignored") << "PAR" << QByteArray("xSYANLIS\r") << -1
                                                           << QString() << QString();
    QTest::newRow("PAR DEG ignored") << "PAR" << QByteArray("DEG\r") << -1 << QString() << QString();
}

void TestFormSettings::answers_onlyForTheirOwnPendingCommand()
{
    QFETCH(QString, operation);
    QFETCH(QByteArray, answer);
    QFETCH(int, kind);
    QFETCH(QString, title);
    QFETCH(QString, text);

    // No link open: the command is dropped, but the form waits for its answer.
    FormFixture f(QStringLiteral("formsettings_answers"));
    f.createForm();
    int code = 0;
    if (operation == QLatin1String("SIF")) {
        typePasswordChange(QStringLiteral("1"), QStringLiteral("2"));
        f.form->on_btnSifreDegistir_clicked();
        code = 6;
    } else if (operation == QLatin1String("SEN")) {
        f.boxes.expect(MessageBox::Warning, QStringLiteral("Uyarı"),
                       QStringLiteral("Sensörün suyun dışında olduğundan emin olun!"));
        typePassword(QStringLiteral("1"));
        f.form->on_btnSensorSifirla_clicked();
        code = 7;
    } else {
        typePassword(QStringLiteral("1"));
        f.boxes.expect(MessageBox::Question, QStringLiteral("Dosya Eylemi"), fileActionText(), 1);
        f.form->on_btnParametreYukle_clicked();
        code = 8;
    }
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.form->pendingCommand(), code);
    f.boxes.clear();

    if (kind >= 0)
        f.boxes.expect(MessageBox::Kind(kind), title, text);
    f.form->dispatchResponse(answer);
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.boxes.shown().size(), kind >= 0 ? 1 : 0);
    if (kind >= 0)
        QCOMPARE(f.boxes.shown().at(0).buttons, QStringList {"Tamam"});
    // The code stays until the next command.
    QCOMPARE(f.form->pendingCommand(), code);
}

void TestFormSettings::alarmSet_frameSentAndReadBackConfirmed()
{
    FormFixture f(QStringLiteral("formsettings_alarm"));
    QVERIFY(f.sim.listenPty());
    f.createForm();
    connectRs232(f);

    f.widget<QCheckBox>("cbAlrCh1")->setChecked(true);
    f.widget<QCheckBox>("cbAlrCh2")->setChecked(false);
    f.widget<QDoubleSpinBox>("txtAlrCh1High")->setValue(12.346);
    f.widget<QDoubleSpinBox>("txtAlrCh1Low")->setValue(10);
    // Channel 2 is off: its boxes are disabled but their values still travel.
    f.widget<QDoubleSpinBox>("txtAlrCh2High")->setValue(31.5);
    f.widget<QDoubleSpinBox>("txtAlrCh2Low")->setValue(25.25);
    f.widget<QComboBox>("cmbAlrRole1")->setCurrentIndex(2);
    f.widget<QComboBox>("cmbAlrRole2")->setCurrentIndex(1);

    f.boxes.expect(MessageBox::Information, QStringLiteral("Alarm Kur"), QStringLiteral("Alarm bilgileri yüklendi."));
    f.click("btnAlarmKur");
    QTRY_COMPARE(f.boxes.pending(), 0);
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.sim.logger()->framesReceived(),
             (QList<QByteArray> {"\x02" "AYU12.35\x02" "10.00\x02" "31.50\x02" "25.25\x02" "2110\r",
                                 "\x02" "ALO\r"}));
    const SimAlarms &a = f.sim.logger()->alarms();
    QCOMPARE(a.thresholds[0], 12.35);
    QCOMPARE(a.thresholds[3], 25.25);
    QCOMPARE(a.relay1, 2);
    QCOMPARE(a.relay2, 1);
    QVERIFY(a.channel1On && !a.channel2On);
    QVERIFY(!f.form->progressDialog()->isVisible());
    QCOMPARE(f.form->pendingCommand(), 3);

    // A later read is a plain read again, without the alarm confirmation.
    f.sim.logger()->clearCommands();
    QCOMPARE(framesUpToARead(f), readChain());
    BOXSPY_VERIFY(f.boxes);
}

void TestFormSettings::alarmSet_loggerKeepsOldValues_criticalBoxAndOldValuesShown()
{
    FormFixture f(QStringLiteral("formsettings_alarm_ignored"));
    QVERIFY(f.sim.listenPty());
    SimAlarms old;
    old.thresholds[0] = 150;
    old.relay1 = 1;
    old.channel1On = true;
    f.sim.logger()->setAlarms(old);
    f.sim.logger()->faults().ignoreAlarmSet = true;
    f.createForm();
    connectRs232(f);
    QCOMPARE(f.widget<QDoubleSpinBox>("txtAlrCh1High")->value(), 150.0);

    f.widget<QDoubleSpinBox>("txtAlrCh1High")->setValue(99.5);
    f.widget<QComboBox>("cmbAlrRole1")->setCurrentIndex(2);
    f.widget<QCheckBox>("cbAlrCh2")->setChecked(true);

    f.boxes.expect(MessageBox::Critical, QStringLiteral("Alarm Kur"), QStringLiteral("Alarm bilgileri doğrulanamadı!"));
    f.click("btnAlarmKur");
    QTRY_COMPARE(f.boxes.pending(), 0);
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.sim.logger()->commandsReceived(), (QStringList {"AYU", "ALO"}));
    QVERIFY(f.sim.logger()->framesReceived().at(0).startsWith("\x02" "AYU99.50\x02"));
    // The tab shows what the logger holds.
    QCOMPARE(f.widget<QDoubleSpinBox>("txtAlrCh1High")->value(), 150.0);
    QCOMPARE(f.widget<QComboBox>("cmbAlrRole1")->currentIndex(), 1);
    QVERIFY(!f.widget<QCheckBox>("cbAlrCh2")->isChecked());
}

void TestFormSettings::alarmSet_readBackTooShort_criticalBoxNotVerified()
{
    // No link open: the frames are dropped, the answers are handed in.
    FormFixture f(QStringLiteral("formsettings_alarm_short"));
    f.createForm();
    f.widget<QDoubleSpinBox>("txtAlrCh1High")->setValue(5);
    f.form->on_btnAlarmKur_clicked();
    QCOMPARE(f.form->pendingCommand(), 5);
    f.form->dispatchResponse(QByteArray("AYUOK\x02\r"));
    QCOMPARE(f.form->pendingCommand(), 3);

    f.boxes.expect(MessageBox::Critical, QStringLiteral("Alarm Kur"), QStringLiteral("Alarm bilgileri doğrulanamadı!"));
    f.form->dispatchResponse(QByteArray("ALR5.00\x02" "0.00\r"));
    BOXSPY_VERIFY(f.boxes);
    QCOMPARE(f.boxes.shown().size(), 1);
    QCOMPARE(f.form->pendingCommand(), 0);

    // The next read is a plain read again.
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Parametre Oku"), QStringLiteral("Cihazdan gelen bilgi eksik!"));
    f.form->sendALO();
    f.form->dispatchResponse(QByteArray("ALR5.00\x02" "0.00\r"));
    BOXSPY_VERIFY(f.boxes);
}

QTEST_MAIN(TestFormSettings)
#include "tst_formsettings.moc"
