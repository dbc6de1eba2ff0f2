#include "ui_form.h"
#include "ui_mainwindow.h"

#include "contexttranslator.h"

#include <QDomDocument>
#include <QtTest>

Q_DECLARE_METATYPE(Qt::Alignment)

namespace {
const char *const minMaxInitial = "00/00/00 00:00 0";

// The working form built from its description on a plain widget, without any
// of the form's own code.
struct BuiltForm {
    QWidget widget;
    Ui::Form ui;
    BuiltForm() { ui.setupUi(&widget); }

    QWidget *find(const QString &name) const
    {
        return name == QLatin1String("Form") ? const_cast<QWidget *>(&widget)
                                             : widget.findChild<QWidget *>(name);
    }
};

// Title path of the group boxes around a widget, outermost first: "Değerler/Kanal 1".
QString groupPath(QWidget *w)
{
    QStringList titles;
    for (QWidget *p = w->parentWidget(); p; p = p->parentWidget()) {
        if (auto *group = qobject_cast<QGroupBox *>(p); group && !group->title().isEmpty())
            titles.prepend(group->title());
    }
    return titles.join(QLatin1Char('/'));
}

// Page of the tab widget that holds a widget: -1 outside the tab widget.
int pageOf(const Ui::Form &ui, QWidget *w)
{
    for (int i = 0; i < ui.tabWidget->count(); ++i) {
        if (ui.tabWidget->widget(i)->isAncestorOf(w))
            return i;
    }
    return -1;
}

QRect rectIn(QWidget *w, QWidget *ancestor)
{
    return QRect(w->mapTo(ancestor, QPoint(0, 0)), w->size());
}
} // namespace

class TestFormUi : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();

    void widget_hasKindPlaceAndCaption_data();
    void widget_hasKindPlaceAndCaption();
    void widget_hasInitialProperty_data();
    void widget_hasInitialProperty();
    void comboBox_hasItems_data();
    void comboBox_hasItems();
    void tabs_areParameterAlarmChartRatingStations();
    void styleClass_setsColourAndFont_data();
    void styleClass_setsColourAndFont();

    void toolRow_linkButtonsAboveTheirFields();
    void toolRow_groupsFromLeftToRight();
    void mainWindowSize_showsEveryWidgetUnclipped_data();
    void mainWindowSize_showsEveryWidgetUnclipped();

    void languageChange_reappliesOnlyDescribedTexts_data();
    void languageChange_reappliesOnlyDescribedTexts();
    void languageChange_refillsUnitList();
    void languageChange_selectsEmptyRelayAndReportsIt();
    void languageChange_translatesCaptionsInFormContext_data();
    void languageChange_translatesCaptionsInFormContext();
    void uiFiles_noLabelShowsDesignerPlaceholder();

private:
    ContextTranslator *m_translator = nullptr;
};

void TestFormUi::cleanup()
{
    if (m_translator) {
        QCoreApplication::removeTranslator(m_translator);
        delete m_translator;
        m_translator = nullptr;
    }
}

void TestFormUi::widget_hasKindPlaceAndCaption_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<int>("page");          // -1 tool row, 0 parameters, 1 alarms
    QTest::addColumn<QString>("group");     // titles of the surrounding group boxes
    QTest::addColumn<QString>("caption");   // own text, or the caption label next to it

    auto row = [](const char *name, const char *cls, int page, const char *group, const char *caption) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(cls) << page
                            << QString::fromUtf8(group) << QString::fromUtf8(caption);
    };
    // Tool row.
    row("btnRS232", "QPushButton", -1, "", "RS232");
    row("cmbPortList", "QComboBox", -1, "", "");
    row("btnGPRS", "QPushButton", -1, "", "GPRS");
    row("txtHost", "QLineEdit", -1, "", "");
    row("btnGSM", "QPushButton", -1, "", "GSM");
    row("txtPhone", "QLineEdit", -1, "", "");
    row("btnParametreOku", "QPushButton", -1, "", "Parametre Oku");
    row("btnSifreDegistir", "QPushButton", -1, "", "Şifre Değiştir");
    row("btnSensorSifirla", "QPushButton", -1, "", "Sensör Sıfırla");
    row("btnAlarmKur", "QPushButton", -1, "", "Alarm Kur");
    row("cmbLanguage", "QComboBox", -1, "", "");
    row("btnCikis", "QPushButton", -1, "", "Çıkış");
    row("tabWidget", "QTabWidget", -1, "", "");
    // Parameter tab.
    row("txtIstasyonAdi", "QLineEdit", 0, "", "İstasyon Adı");
    row("txtIstasyonNo", "QLineEdit", 0, "", "İstasyon No");
    row("txtOfsetDeg", "QLineEdit", 0, "", "Ofset Deg");
    row("txtKanal1Ad", "QLineEdit", 0, "", "1. Kanal Adı");
    row("txtKanal2Ad", "QLineEdit", 0, "", "2. Kanal Adı");
    row("cmbKanal1Birim", "QComboBox", 0, "", "1. Kanal Birim");
    row("txtKanal2Birim", "QLineEdit", 0, "", "2. Kanal Birim");
    row("txtCihazTarihSaat", "QLineEdit", 0, "", "Cihaz Tarihi Saati");
    row("txtModel", "QLineEdit", 0, "", "Cihaz Model No");
    row("txtSeriNo", "QLineEdit", 0, "", "Cihaz Seri No");
    row("txtBataryaDurumu", "QLabel", 0, "Anlık", "Batarya Durumu:");
    row("txtAnlikSeviye", "QLabel", 0, "Anlık", "Anlık Seviye:");
    row("txtAnlikSicaklik", "QLabel", 0, "Anlık", "Anlık Sıcaklık:");
    row("txtAnlikDebi", "QLabel", 0, "Anlık", "Anlık Debi:");
    row("txtMaxSeviye", "QLabel", 0, "Son 24 Saat Min/Max", "Max Seviye");
    row("txtMinSeviye", "QLabel", 0, "Son 24 Saat Min/Max", "Min Seviye");
    row("txtMaxSicaklik", "QLabel", 0, "Son 24 Saat Min/Max", "Max Sıcaklık");
    row("txtMinSicaklik", "QLabel", 0, "Son 24 Saat Min/Max", "Min Sıcaklık");
    row("txtKayitAraligi", "QLineEdit", 0, "", "Kayıt Aralığı");
    row("txtKurulumTarihi", "QLineEdit", 0, "", "Cihaz Kurulum Tarihi");
    row("txtKullanilanBellek", "QLineEdit", 0, "", "Kullanılan Bellek");
    row("txtDosyaAdedi", "QLabel", 0, "", "Dosya Adedi");
    row("cmbDosya", "QComboBox", 0, "", "Dosya");
    row("prgMemory", "QProgressBar", 0, "", "");
    row("btnParametreYukle", "QPushButton", 0, "", "Kurulum Değerleri Yükle");
    row("btnVeriAktar", "QPushButton", 0, "", "Veri Aktar");
    row("cbTumBellek", "QCheckBox", 0, "", "Tüm belleği aktar");
    row("rbOrtalamaKayit", "QRadioButton", 0, "Kayıt Bilgisi", "Ortalama Kayıt (Dakika)");
    row("rbAnlikKayit", "QRadioButton", 0, "Kayıt Bilgisi", "Anlık Kayıt");
    row("rbKayitMinMax", "QRadioButton", 0, "Günlük Min/Max", "Kayıt içindeki Min/Max");
    row("rbAnlikMinMax", "QRadioButton", 0, "Günlük Min/Max", "Anlık içindeki Min/Max");
    row("rbAnliktakiVerOrt", "QRadioButton", 0, "Günlük Ortalama Tipi", "Anlıktaki verilerin ortalaması");
    row("rbKayittakiVerOrt", "QRadioButton", 0, "Günlük Ortalama Tipi", "Kayıttaki verilerin ortalaması");
    row("rbBaraj", "QRadioButton", 0, "Ölçüm Tipi", "Baraj");
    row("rbKuyu", "QRadioButton", 0, "Ölçüm Tipi", "Kuyu");
    row("cbRS485", "QCheckBox", 0, "Diğer", "RS485 Çıkış");
    row("cbKayitTamSaat", "QCheckBox", 0, "Diğer", "Kayıt için tam saati bekle");
    // Alarm tab.
    row("cbAlrCh1", "QCheckBox", 1, "Değerler/Kanal 1", "Alarm Kur");
    row("txtAlrCh1High", "QDoubleSpinBox", 1, "Değerler/Kanal 1", "Yüksek");
    row("txtAlrCh1Low", "QDoubleSpinBox", 1, "Değerler/Kanal 1", "Reset");
    row("cbAlrCh2", "QCheckBox", 1, "Değerler/Kanal 2", "Alarm Kur");
    row("txtAlrCh2High", "QDoubleSpinBox", 1, "Değerler/Kanal 2", "Yüksek");
    row("txtAlrCh2Low", "QDoubleSpinBox", 1, "Değerler/Kanal 2", "Reset");
    row("txtAlrCh1AlrDate", "QLabel", 1, "Gelen Alarm/Kanal 1", "Tarih");
    row("txtAlrCh1AlrTime", "QLabel", 1, "Gelen Alarm/Kanal 1", "Saat");
    row("txtAlrCh1AlrVal", "QLabel", 1, "Gelen Alarm/Kanal 1", "Değer");
    row("txtAlrCh2AlrDate", "QLabel", 1, "Gelen Alarm/Kanal 2", "Tarih");
    row("txtAlrCh2AlrTime", "QLabel", 1, "Gelen Alarm/Kanal 2", "Saat");
    row("txtAlrCh2AlrVal", "QLabel", 1, "Gelen Alarm/Kanal 2", "Değer");
    row("cmbAlrRole1", "QComboBox", 1, "Çıkış Rölesi", "Role 1");
    row("cmbAlrRole2", "QComboBox", 1, "Çıkış Rölesi", "Role 2");
}

void TestFormUi::widget_hasKindPlaceAndCaption()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(int, page);
    QFETCH(QString, group);
    QFETCH(QString, caption);

    BuiltForm form;
    QWidget *w = form.find(name);
    QVERIFY2(w, qPrintable("no widget " + name));
    QCOMPARE(QString::fromLatin1(w->metaObject()->className()), className);
    QCOMPARE(pageOf(form.ui, w), page);
    QCOMPARE(groupPath(w), group);
    if (caption.isEmpty())
        return;
    if (auto *button = qobject_cast<QAbstractButton *>(w)) {
        QCOMPARE(button->text(), caption);
        return;
    }
    // A field's caption is a label in the same layout as the field, on its row
    // or directly above it.
    const auto layouts = w->parentWidget()->findChildren<QFormLayout *>();
    for (QFormLayout *layout : layouts) {
        int row = -1;
        QFormLayout::ItemRole role;
        layout->getWidgetPosition(w, &row, &role);
        if (row < 0)
            continue;
        QWidget *label = layout->labelForField(w);
        if (!label && row > 0) {
            if (QLayoutItem *above = layout->itemAt(row - 1, QFormLayout::SpanningRole))
                label = above->widget();
        }
        auto *captionLabel = qobject_cast<QLabel *>(label);
        QVERIFY2(captionLabel, qPrintable("no caption label for " + name));
        QCOMPARE(captionLabel->text(), caption);
        return;
    }
    QFAIL(qPrintable(name + " is in no form layout"));
}

void TestFormUi::widget_hasInitialProperty_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("expected");

    auto row = [](const char *label, const char *name, const char *property, const QVariant &value) {
        QTest::newRow(label) << QString::fromLatin1(name) << QByteArray(property) << value;
    };
    for (const char *name : {"txtIstasyonAdi", "txtIstasyonNo", "txtKanal1Ad", "txtKanal2Ad"})
        row(qPrintable(QStringLiteral("%1 max 14").arg(name)), name, "maxLength", 14);
    row("txtKanal2Birim max 8", "txtKanal2Birim", "maxLength", 8);
    row("txtOfsetDeg unlimited", "txtOfsetDeg", "maxLength", 32767);
    row("txtOfsetDeg no mask", "txtOfsetDeg", "inputMask", QString());

    for (const char *name : {"txtCihazTarihSaat", "txtModel", "txtSeriNo", "txtKullanilanBellek",
                             "txtKurulumTarihi"})
        row(qPrintable(QStringLiteral("%1 read-only").arg(name)), name, "readOnly", true);
    for (const char *name : {"txtIstasyonAdi", "txtIstasyonNo", "txtOfsetDeg", "txtKanal1Ad",
                             "txtKanal2Ad", "txtKanal2Birim", "txtKayitAraligi", "txtHost", "txtPhone"})
        row(qPrintable(QStringLiteral("%1 editable").arg(name)), name, "readOnly", false);

    row("btnRS232 disabled", "btnRS232", "enabled", false);
    row("btnGPRS enabled", "btnGPRS", "enabled", true);
    row("btnGSM enabled", "btnGSM", "enabled", true);
    row("prgMemory minimum", "prgMemory", "minimum", 0);
    row("prgMemory maximum", "prgMemory", "maximum", 9863168);
    row("prgMemory value", "prgMemory", "value", 0);

    for (const char *name : {"txtAlrCh1High", "txtAlrCh1Low", "txtAlrCh2High", "txtAlrCh2Low"}) {
        const QString n = QString::fromLatin1(name);
        row(qPrintable(n + " minimum"), name, "minimum", 0.0);
        row(qPrintable(n + " maximum"), name, "maximum", 1000000.0);
        row(qPrintable(n + " decimals"), name, "decimals", 2);
        row(qPrintable(n + " no buttons"), name, "buttonSymbols",
            QVariant::fromValue(QAbstractSpinBox::NoButtons));
        row(qPrintable(n + " right-aligned"), name, "alignment",
            QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter)));
        row(qPrintable(n + " disabled while alarm off"), name, "enabled", false);
    }
    row("cbAlrCh1 off", "cbAlrCh1", "checked", false);
    row("cbAlrCh2 off", "cbAlrCh2", "checked", false);
    row("cbTumBellek off", "cbTumBellek", "checked", false);

    for (const char *name : {"txtIstasyonAdi", "txtIstasyonNo", "txtOfsetDeg", "txtKanal1Ad"})
        row(qPrintable(QStringLiteral("%1 empty").arg(name)), name, "text", QString());
    row("txtKayitAraligi text", "txtKayitAraligi", "text", QStringLiteral("1-9999;"));
    for (const char *name : {"txtBataryaDurumu", "txtAnlikSeviye", "txtAnlikSicaklik", "txtAnlikDebi"})
        row(qPrintable(QStringLiteral("%1 text").arg(name)), name, "text", QStringLiteral("N/A"));
    for (const char *name : {"txtMaxSeviye", "txtMinSeviye", "txtMaxSicaklik", "txtMinSicaklik"})
        row(qPrintable(QStringLiteral("%1 text").arg(name)), name, "text", QString::fromLatin1(minMaxInitial));
    for (const char *ch : {"1", "2"}) {
        const QString base = QStringLiteral("txtAlrCh%1Alr").arg(QLatin1String(ch));
        row(qPrintable(base + "Date text"), qPrintable(base + "Date"), "text", QStringLiteral("00.00.0000"));
        row(qPrintable(base + "Time text"), qPrintable(base + "Time"), "text", QStringLiteral("00:00"));
        row(qPrintable(base + "Val text"), qPrintable(base + "Val"), "text", QString());
    }

    // Style classes; the other captions and values of the groups carry none.
    for (const char *name : {"txtBataryaDurumu", "txtAnlikSeviye", "txtAnlikSicaklik",
                             "lblBataryaDurumu", "lblAnlikSeviye", "lblAnlikSicaklik"})
        row(qPrintable(QStringLiteral("%1 class").arg(name)), name, "class", QStringLiteral("boldgreen"));
    row("txtMinSeviye class", "txtMinSeviye", "class", QStringLiteral("max"));
    row("txtMaxSicaklik class", "txtMaxSicaklik", "class", QStringLiteral("max"));
    row("txtMaxSeviye class", "txtMaxSeviye", "class", QStringLiteral("min"));
    row("txtMinSicaklik class", "txtMinSicaklik", "class", QStringLiteral("min"));
    for (const char *name : {"txtAnlikDebi", "lblAnlikDebi", "lblMaxSeviye", "lblMinSeviye",
                             "lblMaxSicaklik", "lblMinSicaklik", "txtIstasyonAdi"})
        row(qPrintable(QStringLiteral("%1 no class").arg(name)), name, "class", QVariant());
}

void TestFormUi::widget_hasInitialProperty()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, expected);

    BuiltForm form;
    QWidget *w = form.find(name);
    QVERIFY2(w, qPrintable("no widget " + name));
    QCOMPARE(w->property(property.constData()), expected);
}

void TestFormUi::comboBox_hasItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("current");

    const QStringList relays{QString(), QStringLiteral("Kanal 1"), QStringLiteral("Kanal 2")};
    QTest::newRow("cmbKanal1Birim") << "cmbKanal1Birim" << QStringList{"mm", "cm", "m"} << 0;
    QTest::newRow("cmbAlrRole1") << "cmbAlrRole1" << relays << 0;
    QTest::newRow("cmbAlrRole2") << "cmbAlrRole2" << relays << 0;
    QTest::newRow("cmbDosya") << "cmbDosya" << QStringList() << -1;
    QTest::newRow("cmbPortList") << "cmbPortList" << QStringList() << -1;
    QTest::newRow("cmbLanguage") << "cmbLanguage" << QStringList() << -1;
}

void TestFormUi::comboBox_hasItems()
{
    QFETCH(QString, name);
    QFETCH(QStringList, items);
    QFETCH(int, current);

    BuiltForm form;
    auto *combo = form.widget.findChild<QComboBox *>(name);
    QVERIFY(combo);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
        shown << combo->itemText(i);
    QCOMPARE(shown, items);
    QCOMPARE(combo->currentIndex(), current);
    QVERIFY(!combo->isEditable());
}

void TestFormUi::tabs_areParameterAlarmChartRatingStations()
{
    BuiltForm form;
    QCOMPARE(form.ui.tabWidget->count(), 5);
    QCOMPARE(form.ui.tabWidget->tabText(0), QStringLiteral("Parametre Bilgileri"));
    QCOMPARE(form.ui.tabWidget->tabText(1), QStringLiteral("Alarm Bilgileri"));
    QCOMPARE(form.ui.tabWidget->tabText(2), QStringLiteral("Grafik"));
    QCOMPARE(form.ui.tabWidget->tabText(3), QStringLiteral("Debi"));
    QCOMPARE(form.ui.tabWidget->tabText(4), QStringLiteral("İstasyonlar"));
    QCOMPARE(form.ui.tabWidget->currentIndex(), 0);
    QCOMPARE(form.widget.objectName(), QStringLiteral("Form"));
}

void TestFormUi::styleClass_setsColourAndFont_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("greenFont");

    const QColor red(255, 0, 0), blue(0, 0, 255), green(0, 134, 0);
    QTest::newRow("txtMaxSeviye min") << "txtMaxSeviye" << red << false;
    QTest::newRow("txtMinSicaklik min") << "txtMinSicaklik" << red << false;
    QTest::newRow("txtMinSeviye max") << "txtMinSeviye" << blue << false;
    QTest::newRow("txtMaxSicaklik max") << "txtMaxSicaklik" << blue << false;
    QTest::newRow("txtAnlikSeviye boldgreen") << "txtAnlikSeviye" << green << true;
    QTest::newRow("lblBataryaDurumu boldgreen") << "lblBataryaDurumu" << green << true;
}

void TestFormUi::styleClass_setsColourAndFont()
{
    QFETCH(QString, name);
    QFETCH(QColor, colour);
    QFETCH(bool, greenFont);

    BuiltForm form;
    form.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form.widget));
    auto *label = form.widget.findChild<QLabel *>(name);
    QVERIFY(label);
    QCOMPARE(label->palette().color(label->foregroundRole()), colour);
    auto *plain = form.ui.lblAnlikDebi;
    QVERIFY(plain->palette().color(plain->foregroundRole()) != colour);
    if (greenFont) {
        QCOMPARE(label->font().weight(), QFont::Weight(100));
        QCOMPARE(label->font().pointSize(), 10);
        QCOMPARE(label->font().family(), QStringLiteral("MS Shell Dlg 2"));
    } else {
        QCOMPARE(label->font(), plain->font());
    }
}

void TestFormUi::toolRow_linkButtonsAboveTheirFields()
{
    BuiltForm form;
    form.widget.resize(750, 556);
    form.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form.widget));
    const QList<QPair<QWidget *, QWidget *>> pairs{{form.ui.btnRS232, form.ui.cmbPortList},
                                                   {form.ui.btnGPRS, form.ui.txtHost},
                                                   {form.ui.btnGSM, form.ui.txtPhone}};
    for (const auto &pair : pairs) {
        const QRect button = rectIn(pair.first, &form.widget);
        const QRect field = rectIn(pair.second, &form.widget);
        QVERIFY2(button.bottom() < field.top(), qPrintable(pair.first->objectName()));
        QCOMPARE(button.left(), field.left());
        QVERIFY2(field.bottom() < rectIn(form.ui.tabWidget, &form.widget).top(),
                 qPrintable(pair.second->objectName()));
    }
}

void TestFormUi::toolRow_groupsFromLeftToRight()
{
    BuiltForm form;
    form.widget.resize(750, 556);
    form.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form.widget));
    // The four operation buttons share a block of two rows in reading order;
    // the language list sits above the exit button at the right end.
    const Ui::Form &ui = form.ui;
    auto r = [&](QWidget *w) { return rectIn(w, &form.widget); };
    QVERIFY(r(ui.cmbPortList).right() < r(ui.txtHost).left());
    QVERIFY(r(ui.txtHost).right() < r(ui.txtPhone).left());
    QVERIFY(r(ui.txtPhone).right() < r(ui.btnParametreOku).left());
    QVERIFY(r(ui.btnParametreOku).right() < r(ui.btnSifreDegistir).left());
    QVERIFY(r(ui.btnSensorSifirla).right() < r(ui.btnAlarmKur).left());
    QVERIFY(r(ui.btnParametreOku).bottom() < r(ui.btnSensorSifirla).top());
    QVERIFY(r(ui.btnSifreDegistir).right() < r(ui.cmbLanguage).left());
    QVERIFY(r(ui.btnAlarmKur).right() < r(ui.btnCikis).left());
    QVERIFY(r(ui.cmbLanguage).bottom() < r(ui.btnCikis).top());
    QVERIFY(r(ui.btnCikis).right() < form.widget.width());
}

void TestFormUi::mainWindowSize_showsEveryWidgetUnclipped_data()
{
    QTest::addColumn<int>("page");
    QTest::newRow("Parametre Bilgileri") << 0;
    QTest::newRow("Alarm Bilgileri") << 1;
}

void TestFormUi::mainWindowSize_showsEveryWidgetUnclipped()
{
    QFETCH(int, page);

    QMainWindow window;
    Ui::MainWindow windowUi;
    windowUi.setupUi(&window);
    auto *formWidget = new QWidget;
    Ui::Form ui;
    ui.setupUi(formWidget);
    window.setCentralWidget(formWidget);
    ui.tabWidget->setCurrentIndex(page);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(750, 600));

    const QSize needed = formWidget->minimumSizeHint();
    QVERIFY2(needed.width() <= formWidget->width() && needed.height() <= formWidget->height(),
             qPrintable(QStringLiteral("form needs %1 x %2, has %3 x %4")
                            .arg(needed.width()).arg(needed.height())
                            .arg(formWidget->width()).arg(formWidget->height())));
    const auto widgets = formWidget->findChildren<QWidget *>();
    int checked = 0;
    for (QWidget *w : widgets) {
        if (!w->isVisible() || w->objectName().isEmpty() || w->objectName().startsWith("qt_"))
            continue;
        ++checked;
        const QString name = w->objectName();
        const QRect inForm = rectIn(w, formWidget);
        QVERIFY2(formWidget->rect().contains(inForm), qPrintable(name + " leaves the form"));
        if (w->parentWidget() && w->parentWidget() != formWidget)
            QVERIFY2(w->parentWidget()->rect().contains(w->geometry()),
                     qPrintable(name + " leaves its parent"));
        if (qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w)) {
            QVERIFY2(w->width() >= w->minimumSizeHint().width(),
                     qPrintable(QStringLiteral("%1 is %2 wide, its text needs %3")
                                    .arg(name).arg(w->width()).arg(w->minimumSizeHint().width())));
        }
    }
    QVERIFY2(checked > 40, qPrintable(QStringLiteral("only %1 widgets seen").arg(checked)));
}

void TestFormUi::languageChange_reappliesOnlyDescribedTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("shown");      // value before the language change
    QTest::addColumn<QVariant>("expected");   // value after it

    auto row = [](const char *label, const char *name, const char *property, const QVariant &shown,
                  const QVariant &expected) {
        QTest::newRow(label) << QString::fromLatin1(name) << QByteArray(property) << shown << expected;
    };
    const QString value = QStringLiteral("12.5 cm");

    // Re-applied.
    for (const char *name : {"txtIstasyonAdi", "txtIstasyonNo", "txtOfsetDeg", "txtKanal1Ad"})
        row(qPrintable(QStringLiteral("%1 emptied").arg(name)), name, "text", value, QString());
    row("txtKayitAraligi reset", "txtKayitAraligi", "text", QStringLiteral("15"), QStringLiteral("1-9999;"));
    for (const char *name : {"txtMaxSeviye", "txtMinSeviye", "txtMaxSicaklik", "txtMinSicaklik"})
        row(qPrintable(QStringLiteral("%1 reset").arg(name)), name, "text", value,
            QString::fromLatin1(minMaxInitial));
    row("unit cm back to mm", "cmbKanal1Birim", "currentIndex", 1, 0);
    row("unknown unit back to mm", "cmbKanal1Birim", "currentIndex", -1, 0);
    row("relay 1 back to empty", "cmbAlrRole1", "currentIndex", 2, 0);
    row("relay 2 back to empty", "cmbAlrRole2", "currentIndex", 1, 0);
    for (const char *ch : {"1", "2"}) {
        const QString base = QStringLiteral("txtAlrCh%1Alr").arg(QLatin1String(ch));
        row(qPrintable(base + "Date reset"), qPrintable(base + "Date"), "text",
            QStringLiteral("05.03.2024"), QStringLiteral("00.00.0000"));
        row(qPrintable(base + "Time reset"), qPrintable(base + "Time"), "text", QStringLiteral("10:30"),
            QStringLiteral("00:00"));
        row(qPrintable(base + "Val reset"), qPrintable(base + "Val"), "text", value, QString());
    }

    // Kept.
    for (const char *name : {"txtKanal2Ad", "txtKanal2Birim", "txtCihazTarihSaat", "txtModel",
                             "txtSeriNo", "txtKurulumTarihi", "txtKullanilanBellek", "txtDosyaAdedi",
                             "txtHost", "txtPhone", "txtBataryaDurumu", "txtAnlikSeviye",
                             "txtAnlikSicaklik", "txtAnlikDebi"})
        row(qPrintable(QStringLiteral("%1 kept").arg(name)), name, "text", value, value);
    row("txtSeriNo editable kept", "txtSeriNo", "readOnly", false, false);
    row("prgMemory kept", "prgMemory", "value", 5280, 5280);
    for (const char *name : {"rbOrtalamaKayit", "rbAnlikKayit", "rbKayitMinMax", "rbAnlikMinMax",
                             "rbAnliktakiVerOrt", "rbKayittakiVerOrt", "rbBaraj", "rbKuyu",
                             "cbRS485", "cbKayitTamSaat", "cbAlrCh1", "cbAlrCh2"})
        row(qPrintable(QStringLiteral("%1 kept").arg(name)), name, "checked", true, true);
    for (const char *name : {"txtAlrCh1High", "txtAlrCh1Low", "txtAlrCh2High", "txtAlrCh2Low"})
        row(qPrintable(QStringLiteral("%1 kept").arg(name)), name, "value", 12.35, 12.35);
    for (const char *name : {"txtAlrCh1High", "txtAlrCh2Low"})
        row(qPrintable(QStringLiteral("%1 enabled kept").arg(name)), name, "enabled", true, true);
    row("btnRS232 enabled kept", "btnRS232", "enabled", true, true);
    row("tab kept", "tabWidget", "currentIndex", 1, 1);
}

void TestFormUi::languageChange_reappliesOnlyDescribedTexts()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, shown);
    QFETCH(QVariant, expected);

    BuiltForm form;
    QWidget *w = form.find(name);
    QVERIFY2(w, qPrintable("no widget " + name));
    QVERIFY(w->setProperty(property.constData(), shown));
    QCOMPARE(w->property(property.constData()), shown);

    form.ui.retranslateUi(&form.widget);

    QCOMPARE(w->property(property.constData()), expected);
}

void TestFormUi::languageChange_refillsUnitList()
{
    BuiltForm form;
    QComboBox *units = form.ui.cmbKanal1Birim;
    units->setCurrentIndex(2);

    form.ui.retranslateUi(&form.widget);

    QCOMPARE(units->count(), 3);
    QCOMPARE(units->itemText(0), QStringLiteral("mm"));
    QCOMPARE(units->itemText(1), QStringLiteral("cm"));
    QCOMPARE(units->itemText(2), QStringLiteral("m"));
    QCOMPARE(units->currentText(), QStringLiteral("mm"));
}

void TestFormUi::languageChange_selectsEmptyRelayAndReportsIt()
{
    // The form's relay rule listens to the first relay list; going back to
    // the empty item must reach it so that every item is enabled again.
    BuiltForm form;
    form.ui.cmbAlrRole1->setCurrentIndex(1);
    form.ui.cmbAlrRole2->setCurrentIndex(2);
    QSignalSpy relay1(form.ui.cmbAlrRole1, &QComboBox::currentIndexChanged);

    form.ui.retranslateUi(&form.widget);

    QCOMPARE(relay1.count(), 1);
    QCOMPARE(relay1.constFirst().constFirst().toInt(), 0);
    for (QComboBox *relay : {form.ui.cmbAlrRole1, form.ui.cmbAlrRole2}) {
        QCOMPARE(relay->count(), 3);
        QCOMPARE(relay->currentIndex(), 0);
        QVERIFY(relay->currentText().isEmpty());
    }
}

void TestFormUi::languageChange_translatesCaptionsInFormContext_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QString>("source");   // empty: the value stays untranslated/empty

    auto row = [](const char *name, const char *property, const char *source) {
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(name), QLatin1String(property))))
            << QString::fromLatin1(name) << QByteArray(property) << QString::fromUtf8(source);
    };
    row("btnVeriAktar", "text", "Veri Aktar");
    row("btnCikis", "text", "Çıkış");
    row("lblKurulumTarihi", "text", "Cihaz Kurulum Tarihi");
    row("groupMinMax", "title", "Son 24 Saat Min/Max");
    row("groupCikisRolesi", "title", "Çıkış Rölesi");
    row("rbKuyu", "text", "Kuyu");
    row("cbAlrCh2", "text", "Alarm Kur");
    row("txtKayitAraligi", "text", "1-9999;");
    row("txtAlrCh1AlrDate", "text", "00.00.0000");
    row("cmbKanal1Birim", "currentText", "mm");
    row("txtIstasyonAdi", "text", "");
    row("txtAlrCh2AlrVal", "text", "");
    row("cmbAlrRole2", "currentText", "");
}

void TestFormUi::languageChange_translatesCaptionsInFormContext()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, property);
    QFETCH(QString, source);

    BuiltForm form;
    const QString styleSheet = form.widget.styleSheet();
    m_translator = new ContextTranslator;
    QCoreApplication::installTranslator(m_translator);

    form.ui.retranslateUi(&form.widget);

    const QString expected = source.isEmpty() ? QString() : ContextTranslator::marked("Form", source);
    QCOMPARE(form.find(name)->property(property.constData()).toString(), expected);
    QCOMPARE(form.ui.tabWidget->tabText(1), ContextTranslator::marked("Form", QStringLiteral("Alarm Bilgileri")));
    QCOMPARE(form.widget.styleSheet(), styleSheet);
    QCOMPARE(form.ui.txtMinSeviye->property("class"), QVariant(QStringLiteral("max")));
}

// Designer's "TextLabel" is no text of the program, in any language.
void TestFormUi::uiFiles_noLabelShowsDesignerPlaceholder()
{
    const QDir dir(QStringLiteral(VLX_SOURCE_DIR "/ui"));
    const QStringList files = dir.entryList({QStringLiteral("*.ui")}, QDir::Files);
    QVERIFY(files.size() >= 6);
    for (const QString &name : files) {
        QFile file(dir.filePath(name));
        QDomDocument ui;
        QVERIFY2(file.open(QIODevice::ReadOnly) && ui.setContent(&file), qPrintable(name));
        const QDomNodeList properties = ui.elementsByTagName(QStringLiteral("property"));
        for (int i = 0; i < properties.size(); ++i) {
            const QDomElement p = properties.at(i).toElement();
            const QDomElement widget = p.parentNode().toElement();
            QVERIFY2(widget.attribute(QStringLiteral("class")) != QLatin1String("QLabel")
                         || p.attribute(QStringLiteral("name")) != QLatin1String("text")
                         || p.text().trimmed() != QLatin1String("TextLabel"),
                     qPrintable(name + QLatin1Char(' ') + widget.attribute(QStringLiteral("name"))));
        }
    }
}

QTEST_MAIN(TestFormUi)
#include "tst_formui.moc"
