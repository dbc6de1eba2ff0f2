#include "application.h"
#include "form.h"
#include "mainwindow.h"
#include "paths.h"

#include "boxspy.h"
#include "testenv.h"

#include <QComboBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>

namespace {
QString exitTitle() { return QCoreApplication::translate("MainWindow", "Çıkış"); }

void copyQm(const QString &from, const QString &to)
{
    QFile::remove(to);
    QVERIFY(QFile::copy(TestEnv::binDir() + "/lang/" + from, to));
}
} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void buildOutput_holdsExactlyTheTwoTranslations();
    void translationKey_followsFileName_data();
    void translationKey_followsFileName();
    void loadTranslations_skipsWhatCannotBeUsed();
    void loadTranslations_missingOrEmptyFolder_loadsNothing();
    void setLanguage_switchesEnglishAndBack();
    void setLanguage_unknownLocale_removesTranslation();
    void mainWindow_retranslatesOnLanguageChange();
    void mainWindow_closeAnsweredNo_keepsRunning();
    void mainWindow_closeAnsweredYes_closes();
    void form_closeApplicationAsksFirst();
    void languageList_switchesToolkitTextsToo();
};

void TestTranslations::cleanup() { Application::setLanguage(QString()); }

void TestTranslations::buildOutput_holdsExactlyTheTwoTranslations()
{
    const QDir lang(TestEnv::binDir() + "/lang");
    QCOMPARE(lang.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name),
             (QStringList{"en_US.qm", "tr_TR.qm"}));
}

void TestTranslations::translationKey_followsFileName_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("key");
    QTest::newRow("plain") << "tr_TR.qm" << "tr_TR";
    QTest::newRow("prefixed") << "app_tr_TR.qm" << "tr_TR";
    QTest::newRow("case is normalised") << "EN_us.qm" << "en_US";
    QTest::newRow("dots after base name") << "en_US.backup.qm" << "en_US";
    QTest::newRow("no underscore") << "english.qm" << "";
    QTest::newRow("path") << "/x/y_z/de_DE.qm" << "de_DE";
}

void TestTranslations::translationKey_followsFileName()
{
    QFETCH(QString, file);
    QFETCH(QString, key);
    QCOMPARE(Application::translationKey(file), key);
}

void TestTranslations::loadTranslations_skipsWhatCannotBeUsed()
{
    const QString appDir = TestEnv::freshAppDir("translations-skip");
    const QString lang = appDir + "/lang";
    QDir().mkpath(lang);
    // An English file under another name: loaded by its key fr_FR.
    copyQm("en_US.qm", lang + "/app_fr_FR.qm");
    // A language the toolkit has no translation of is loaded all the same.
    copyQm("en_US.qm", lang + "/app_zz_ZZ.qm");
    QVERIFY(!QFile::exists(Application::toolkitTranslationFile("zz_ZZ")));
    QFile corrupt(lang + "/xx_XX.qm");
    QVERIFY(corrupt.open(QIODevice::WriteOnly));
    corrupt.write("this is not a translation file");
    corrupt.close();
    QFile notes(lang + "/notes.txt");
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("no translation");
    notes.close();

    Application::loadTranslations(lang + "/");
    QVERIFY(Application::loadedLocales().contains("fr_FR"));
    QVERIFY(!Application::loadedLocales().contains("xx_XX"));

    Application::setLanguage("fr_FR");
    QCOMPARE(Application::currentLocale(), QStringLiteral("fr_FR"));
    QCOMPARE(exitTitle(), QStringLiteral("Exit"));
    Application::setLanguage("zz_ZZ");
    QCOMPARE(Application::currentLocale(), QStringLiteral("zz_ZZ"));
    QCOMPARE(exitTitle(), QStringLiteral("Exit"));
    Application::setLanguage("xx_XX");
    QCOMPARE(Application::currentLocale(), QString());
    QCOMPARE(exitTitle(), QString::fromUtf8("Çıkış"));
}

void TestTranslations::loadTranslations_missingOrEmptyFolder_loadsNothing()
{
    const QString appDir = TestEnv::freshAppDir("translations-empty");
    const QStringList before = Application::loadedLocales();
    Application::loadTranslations(appDir + "/lang/");  // missing
    QDir().mkpath(appDir + "/lang");
    Application::loadTranslations(appDir + "/lang/");  // empty
    QCOMPARE(Application::loadedLocales(), before);
}

void TestTranslations::setLanguage_switchesEnglishAndBack()
{
    Application::loadTranslations(TestEnv::binDir() + "/lang/");
    Application::setLanguage("en_US");
    QCOMPARE(exitTitle(), QStringLiteral("Exit"));
    QCOMPARE(QCoreApplication::translate("QObject", "Tamam"), QStringLiteral("OK"));
    Application::setLanguage("tr_TR");
    QCOMPARE(Application::currentLocale(), QStringLiteral("tr_TR"));
    QCOMPARE(exitTitle(), QString::fromUtf8("Çıkış"));
    QCOMPARE(QCoreApplication::translate("QObject", "Tamam"), QStringLiteral("Tamam"));
}

void TestTranslations::setLanguage_unknownLocale_removesTranslation()
{
    Application::loadTranslations(TestEnv::binDir() + "/lang/");
    Application::setLanguage("en_US");
    Application::setLanguage("app_tr_TR");  // a base name, not a key
    QCOMPARE(Application::currentLocale(), QString());
    QCOMPARE(exitTitle(), QString::fromUtf8("Çıkış"));
}

void TestTranslations::mainWindow_retranslatesOnLanguageChange()
{
    TestEnv::freshAppDir("translations-window");
    QCoreApplication::setApplicationName("VLXLogger");
    QCoreApplication::setApplicationVersion("1.6");
    Application::loadTranslations(TestEnv::binDir() + "/lang/");
    BoxSpy boxes;
    MainWindow window;
    window.show();
    const QString title = QStringLiteral("VLXLogger - v1.6 (Build: 1)");
    QCOMPARE(window.windowTitle(), title);

    Application::setLanguage("en_US");
    QCOMPARE(window.windowTitle(), title);
    boxes.expect(MessageBox::Question, "Exit", "Are you sure you want to exit?", 1);
    QVERIFY(!window.close());
    QCOMPARE(boxes.shown().last().buttons, (QStringList{"Yes", "No"}));

    Application::setLanguage("tr_TR");
    QCOMPARE(window.windowTitle(), title);
    boxes.expect(MessageBox::Question, QString::fromUtf8("Çıkış"),
                 QString::fromUtf8("Çıkmak istediğinizden emin misiniz?"), 1);
    QVERIFY(!window.close());
    QCOMPARE(boxes.shown().last().buttons, (QStringList{"Evet", QString::fromUtf8("Hayır")}));
    BOXSPY_VERIFY(boxes);
}

void TestTranslations::mainWindow_closeAnsweredNo_keepsRunning()
{
    TestEnv::freshAppDir("translations-close-no");
    BoxSpy boxes;
    MainWindow window;
    window.show();
    boxes.expect(MessageBox::Question, QString::fromUtf8("Çıkış"), QString(), 1);
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    const MessageBox::Request box = boxes.shown().first();
    QCOMPARE(box.parent, static_cast<QWidget *>(&window));
    QCOMPARE(box.defaultButton, 0);
    // Closed with Esc or the title bar: no choice, the window stays.
    boxes.expect(MessageBox::Question, QString::fromUtf8("Çıkış"), QString(), -1);
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    BOXSPY_VERIFY(boxes);
}

void TestTranslations::mainWindow_closeAnsweredYes_closes()
{
    TestEnv::freshAppDir("translations-close-yes");
    BoxSpy boxes;
    MainWindow window;
    window.show();
    boxes.expect(MessageBox::Question, QString::fromUtf8("Çıkış"), QString(), 0);
    QVERIFY(window.close());
    QVERIFY(!window.isVisible());
    BOXSPY_VERIFY(boxes);
}

void TestTranslations::form_closeApplicationAsksFirst()
{
    TestEnv::freshAppDir("translations-form-close");
    BoxSpy boxes;
    MainWindow window;
    window.show();
    boxes.expect(MessageBox::Question, QString::fromUtf8("Çıkış"), QString(), 1);
    emit window.form()->closeApplication();
    QVERIFY(window.isVisible());
    BOXSPY_VERIFY(boxes);
}

void TestTranslations::languageList_switchesToolkitTextsToo()
{
    // The toolkit's own Turkish, as the system installs it.
    QVERIFY2(QFile::exists(Application::toolkitTranslationFile("tr_TR")),
             qPrintable(Application::toolkitTranslationFile("tr_TR")));
    const QString appDir = TestEnv::freshAppDir("translations-toolkit");
    QVERIFY(TestEnv::copyTranslations(appDir));
    Application::loadTranslations(appDir + "/lang/");
    BoxSpy boxes;
    MainWindow window;
    window.show();
    auto *languages = window.form()->findChild<QComboBox *>("cmbLanguage");
    auto *cancel = window.form()->progressDialog()->findChild<QPushButton *>();
    QVERIFY(languages && cancel);

    const QList<QPair<QString, QString>> switches{
        {"en_US", "Cancel"}, {"tr_TR", QString::fromUtf8("İptal")}, {"en_US", "Cancel"}};
    for (const auto &[locale, text] : switches) {
        languages->setCurrentIndex(languages->findData(locale));
        QCOMPARE(Application::currentLocale(), locale);
        QTRY_COMPARE(cancel->text(), text);
    }
    BOXSPY_VERIFY(boxes);
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
