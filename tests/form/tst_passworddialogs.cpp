#include "sifre.h"
#include "sifredegistir.h"

#include "boxspy.h"
#include "contexttranslator.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
QString hata(const char *context) { return QCoreApplication::translate(context, "Hata"); }

template <typename T> T *child(QWidget *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

// Shows the dialog window-modally (never a blocking exec) and waits until it
// is the active window, so focus changes can be observed.
bool openActive(QDialog &dialog)
{
    dialog.open();
    return QTest::qWaitForWindowActive(&dialog);
}

// Types like a user; QTest::keyClicks handles only ASCII, so other letters go
// in as key events that carry just their text.
void type(QLineEdit *field, const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(field, char(ch.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

void click(QWidget *dialog, const char *button)
{
    QTest::mouseClick(child<QPushButton>(dialog, button), Qt::LeftButton);
}
} // namespace

class TestPasswordDialogs : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();

    void sifre_layoutAndEcho();
    void sifre_emptyPassword_showsBoxAndKeepsDialogOpen();
    void sifre_tamam_acceptsPasswordAsTyped();
    void sifre_iptal_rejectsWithoutBox();
    void sifre_texts_useSifreContext();

    void sifreDegistir_layoutAndEcho();
    void sifreDegistir_invalidInput_refusedWithBoxAndFocus_data();
    void sifreDegistir_invalidInput_refusedWithBoxAndFocus();
    void sifreDegistir_tamam_acceptsPasswordsAsTyped();
    void sifreDegistir_iptal_rejectsWithoutBox();
    void sifreDegistir_texts_useSifreDegistirContext();

private:
    ContextTranslator *m_translator = nullptr;
};

void TestPasswordDialogs::cleanup()
{
    if (m_translator) {
        QCoreApplication::removeTranslator(m_translator);
        delete m_translator;
        m_translator = nullptr;
    }
}

void TestPasswordDialogs::sifre_layoutAndEcho()
{
    Sifre dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("Sifre"));
    QCOMPARE(dialog.size(), QSize(210, 75));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Şifre"));
    QCOMPARE(child<QLabel>(&dialog, "label")->text(), QStringLiteral("Şifre"));
    QCOMPARE(child<QPushButton>(&dialog, "btnTamam")->text(), QStringLiteral("Tamam"));
    QCOMPARE(child<QPushButton>(&dialog, "btnIptal")->text(), QStringLiteral("İptal"));
    auto *field = child<QLineEdit>(&dialog, "txtSifre");
    QCOMPARE(field->echoMode(), QLineEdit::Password);
    QVERIFY(field->text().isEmpty());
    QVERIFY(dialog.password().isEmpty());
}

void TestPasswordDialogs::sifre_emptyPassword_showsBoxAndKeepsDialogOpen()
{
    BoxSpy boxes;
    boxes.expect(MessageBox::Critical, "Hata", QStringLiteral("Lütfen geçerli bir şifre girin!"));
    Sifre dialog;
    QSignalSpy finished(&dialog, &QDialog::finished);
    QVERIFY(openActive(dialog));

    click(&dialog, "btnTamam");

    BOXSPY_VERIFY(boxes);
    const MessageBox::Request box = boxes.shown().constFirst();
    QCOMPARE(box.parent, &dialog);
    QCOMPARE(box.buttons, QStringList{"OK"});
    QVERIFY(dialog.isVisible());
    QCOMPARE(finished.count(), 0);
    QTRY_VERIFY(child<QLineEdit>(&dialog, "txtSifre")->hasFocus());
}

void TestPasswordDialogs::sifre_tamam_acceptsPasswordAsTyped()
{
    BoxSpy boxes;
    Sifre dialog;
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QVERIFY(openActive(dialog));

    type(child<QLineEdit>(&dialog, "txtSifre"), QStringLiteral(" 12şA "));
    click(&dialog, "btnTamam");

    BOXSPY_VERIFY(boxes);
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.password(), QStringLiteral(" 12şA "));
}

void TestPasswordDialogs::sifre_iptal_rejectsWithoutBox()
{
    BoxSpy boxes;
    Sifre dialog;
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    QVERIFY(openActive(dialog));

    type(child<QLineEdit>(&dialog, "txtSifre"), QStringLiteral("1234"));
    click(&dialog, "btnIptal");

    BOXSPY_VERIFY(boxes);
    QCOMPARE(rejected.count(), 1);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
}

void TestPasswordDialogs::sifre_texts_useSifreContext()
{
    m_translator = new ContextTranslator;
    QCoreApplication::installTranslator(m_translator);
    BoxSpy boxes;
    boxes.expect(MessageBox::Critical, hata("Sifre"),
                 ContextTranslator::marked("Sifre", QStringLiteral("Lütfen geçerli bir şifre girin!")));
    Sifre dialog;
    QCOMPARE(dialog.windowTitle(), ContextTranslator::marked("Sifre", QStringLiteral("Şifre")));
    QCOMPARE(child<QPushButton>(&dialog, "btnIptal")->text(),
             ContextTranslator::marked("Sifre", QStringLiteral("İptal")));
    QVERIFY(openActive(dialog));

    click(&dialog, "btnTamam");

    BOXSPY_VERIFY(boxes);
    QCOMPARE(boxes.shown().constFirst().buttons,
             QStringList{ContextTranslator::marked("Sifre", QStringLiteral("OK"))});
}

void TestPasswordDialogs::sifreDegistir_layoutAndEcho()
{
    SifreDegistir dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("SifreDegistir"));
    QCOMPARE(dialog.size(), QSize(265, 123));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Şifre Değiştir"));
    for (const char *name : {"txtEskiSifre", "txtYeniSifre", "txtYeniSifreTekrar"}) {
        auto *field = child<QLineEdit>(&dialog, name);
        QVERIFY2(field->echoMode() == QLineEdit::Password, name);
        QVERIFY2(field->text().isEmpty(), name);
    }
    QCOMPARE(child<QPushButton>(&dialog, "btnTamam")->text(), QStringLiteral("Tamam"));
    QCOMPARE(child<QPushButton>(&dialog, "btnIptal")->text(), QStringLiteral("İptal"));
}

void TestPasswordDialogs::sifreDegistir_invalidInput_refusedWithBoxAndFocus_data()
{
    QTest::addColumn<QString>("oldPassword");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QString>("repetition");
    QTest::addColumn<QString>("boxText");
    QTest::addColumn<QString>("focusField");
    QTest::addColumn<bool>("allSelected");

    const QString noOld = QStringLiteral("Lütfen geçerli şifreyi girin!");
    const QString noNew = QStringLiteral("Lütfen geçerli bir şifre girin!");
    const QString mismatch = QStringLiteral("Girilen yeni şifre bilgileri aynı değil!");

    QTest::newRow("all empty") << "" << "" << "" << noOld << "txtEskiSifre" << false;
    QTest::newRow("old empty") << "" << "1234" << "1234" << noOld << "txtEskiSifre" << false;
    QTest::newRow("new empty, repetition filled")
        << "1111" << "" << "2222" << noNew << "txtYeniSifre" << false;
    QTest::newRow("repetition differs in case")
        << "1111" << "abcD" << "abcd" << mismatch << "txtYeniSifre" << true;
    QTest::newRow("repetition empty") << "1111" << "2222" << "" << mismatch << "txtYeniSifre" << true;
    QTest::newRow("repetition with trailing blank")
        << "1111" << "2222" << "2222 " << mismatch << "txtYeniSifre" << true;
}

void TestPasswordDialogs::sifreDegistir_invalidInput_refusedWithBoxAndFocus()
{
    QFETCH(QString, oldPassword);
    QFETCH(QString, newPassword);
    QFETCH(QString, repetition);
    QFETCH(QString, boxText);
    QFETCH(QString, focusField);
    QFETCH(bool, allSelected);

    BoxSpy boxes;
    boxes.expect(MessageBox::Critical, "Hata", boxText);
    SifreDegistir dialog;
    QSignalSpy finished(&dialog, &QDialog::finished);
    QVERIFY(openActive(dialog));
    type(child<QLineEdit>(&dialog, "txtEskiSifre"), oldPassword);
    type(child<QLineEdit>(&dialog, "txtYeniSifre"), newPassword);
    type(child<QLineEdit>(&dialog, "txtYeniSifreTekrar"), repetition);
    child<QLineEdit>(&dialog, "txtYeniSifreTekrar")->setFocus();

    click(&dialog, "btnTamam");

    BOXSPY_VERIFY(boxes);
    const MessageBox::Request box = boxes.shown().constFirst();
    QCOMPARE(box.parent, &dialog);
    QCOMPARE(box.buttons, QStringList{"Tamam"});
    QVERIFY(dialog.isVisible());
    QCOMPARE(finished.count(), 0);
    auto *field = child<QLineEdit>(&dialog, qPrintable(focusField));
    QTRY_VERIFY(field->hasFocus());
    if (allSelected)
        QCOMPARE(field->selectedText(), newPassword);
}

void TestPasswordDialogs::sifreDegistir_tamam_acceptsPasswordsAsTyped()
{
    BoxSpy boxes;
    SifreDegistir dialog;
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QVERIFY(openActive(dialog));
    type(child<QLineEdit>(&dialog, "txtEskiSifre"), QStringLiteral(" old "));
    type(child<QLineEdit>(&dialog, "txtYeniSifre"), QStringLiteral("Yeni şifre "));
    type(child<QLineEdit>(&dialog, "txtYeniSifreTekrar"), QStringLiteral("Yeni şifre "));

    click(&dialog, "btnTamam");

    BOXSPY_VERIFY(boxes);
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.oldPassword(), QStringLiteral(" old "));
    QCOMPARE(dialog.newPassword(), QStringLiteral("Yeni şifre "));
}

void TestPasswordDialogs::sifreDegistir_iptal_rejectsWithoutBox()
{
    BoxSpy boxes;
    SifreDegistir dialog;
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    QVERIFY(openActive(dialog));

    click(&dialog, "btnIptal");

    BOXSPY_VERIFY(boxes);
    QCOMPARE(rejected.count(), 1);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
}

void TestPasswordDialogs::sifreDegistir_texts_useSifreDegistirContext()
{
    m_translator = new ContextTranslator;
    QCoreApplication::installTranslator(m_translator);
    const char *context = "SifreDegistir";
    BoxSpy boxes;
    boxes.expect(MessageBox::Critical, hata(context),
                 ContextTranslator::marked(context, QStringLiteral("Lütfen geçerli şifreyi girin!")));
    SifreDegistir dialog;
    QCOMPARE(dialog.windowTitle(), ContextTranslator::marked(context, QStringLiteral("Şifre Değiştir")));
    QCOMPARE(child<QLabel>(&dialog, "lblYeniSifreTekrar")->text(),
             ContextTranslator::marked(context, QStringLiteral("Yeni Şifre (Tekrar)")));
    QVERIFY(openActive(dialog));

    click(&dialog, "btnTamam");

    BOXSPY_VERIFY(boxes);
    QCOMPARE(boxes.shown().constFirst().buttons,
             QStringList{ContextTranslator::marked(context, QStringLiteral("Tamam"))});
}

QTEST_MAIN(TestPasswordDialogs)
#include "tst_passworddialogs.moc"
