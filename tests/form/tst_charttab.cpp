// The chart page of the working form: its empty state, the list and the
// chart after a download from the simulated logger, zooming, and the CSV of
// the shown span.
#include "formfixture.h"

#include "archivelocation.h"
#include "archiveseries.h"
#include "charttab.h"
#include "csvexport.h"
#include "decodedownload.h"
#include "filedialog.h"
#include "memorygenerator.h"
#include "messagebox.h"
#include "paths.h"
#include "pgconnection.h"
#include "pgserver.h"
#include "ratingtab.h"
#include "stationarchive.h"

#include <QAbstractScrollArea>
#include <QChart>
#include <QAreaSeries>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QInputDialog>
#include <QTableWidget>
#include <QFile>
#include <QScatterSeries>
#include <QSettings>
#include <QSqlQuery>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QValueAxis>
#include <QWheelEvent>
#include <QtTest>

class TestChartTab : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { FileDialog::setHandler({}); }
    void emptyArchive_saysSoAndIgnoresGestures();
    void afterDownload_newFileFirstAndShownWithItsChannels();
    void csv_writesShownSpanOrReportsFailure();
    void rating_flowChartedExportedAndEditedOnTheDebiPage();
    void archiveChange_chartAndCsvShowTheNewRows_data();
    void archiveChange_chartAndCsvShowTheNewRows();
    void archiveAddress_triedWithThePasswordAskedAndChartedFrom();
};

namespace {

ChartTab *openChartPage(FormFixture &f)
{
    f.widget<QTabWidget>("tabWidget")->setCurrentIndex(2);
    return f.widget<ChartTab>("chartTab");
}

QString timeText(double seconds, const char *format)
{
    return QDateTime::fromSecsSinceEpoch(qint64(seconds), Qt::UTC).toString(QString::fromLatin1(format));
}

// A file of `days` days from a fixed install time: more days grow it, fewer rewrite it.
QList<qint64> storeFile(StationArchive &&archive, int days)
{
    GeneratorOptions options;
    options.start = QDateTime(QDate(2024, 3, 1), QTime(0, 0), Qt::UTC);
    options.daysPerFile = days;
    options.missingEvery = 7;
    const DecodedDownload decoded = decodeDownload(generateMemory(options).image);
    const ArchiveResult stored = archive.store(decoded.files);
    return stored.ok ? stored.fileIds : QList<qint64>();
}

// An older station file in the archive, installed after the download's.
void archiveOtherStation()
{
    GeneratorOptions options;
    options.start = QDateTime(QDate::currentDate().addDays(5), QTime(0, 0), Qt::UTC);
    options.header.stationName = QStringLiteral("Kuyu");
    options.header.stationNo = QStringLiteral("9001");
    options.daysPerFile = 1;
    const DecodedDownload decoded = decodeDownload(generateMemory(options).image);
    StationArchive archive;
    QVERIFY(archive.store(decoded.files).ok);
}

} // namespace

void TestChartTab::emptyArchive_saysSoAndIgnoresGestures()
{
    FormFixture f(QStringLiteral("chart_empty"));
    f.createForm();
    ChartTab *tab = openChartPage(f);
    QTRY_VERIFY(tab->isVisible());
    QCOMPARE(f.widget<QTreeWidget>("lstArsiv")->topLevelItemCount(), 0);
    QCOMPARE(tab->chart()->title(), QStringLiteral("Arşivde kayıtlı dosya yok."));
    QVERIFY(!f.widget<QPushButton>("btnCsvKaydet")->isEnabled());
    QVERIFY(!f.widget<QPushButton>("btnGrafikSifirla")->isEnabled());
    QVERIFY(tab->lines(0).isEmpty() && tab->lines(1).isEmpty());
    QWidget *view = f.form->findChild<QAbstractScrollArea *>(QStringLiteral("grafik"))->viewport();
    QWheelEvent wheel(QPointF(100, 100), view->mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    QTest::mouseClick(view, Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
    tab->setSpan(0, 100);
    QCOMPARE(tab->shownFile(), qint64(-1));
    BOXSPY_VERIFY(f.boxes);
}

void TestChartTab::afterDownload_newFileFirstAndShownWithItsChannels()
{
    FormFixture f(QStringLiteral("chart_download"));
    archiveOtherStation();
    f.sim.logger()->setStationName(QStringLiteral("Baraj"));
    f.sim.logger()->setStationNo(QStringLiteral("1234"));
    GeneratorOptions options;
    options.files = 2;
    options.daysPerFile = 2;
    options.gapMinutes = 600;
    options.header.stationName = QStringLiteral("Baraj");
    options.header.stationNo = QStringLiteral("1234");
    f.sim.logger()->setMemory(generateMemory(options));
    QVERIFY(f.sim.listenPty());
    f.createForm();
    f.boxes.expect(MessageBox::Information, QStringLiteral("Parametre Oku"));
    f.click("btnRS232");
    QTRY_COMPARE(f.boxes.pending(), 0);
    f.boxes.expect(MessageBox::Information, QStringLiteral("Aktarım"), QStringLiteral("Aktarım Tamamlandı"));
    f.click("btnVeriAktar");
    QTRY_COMPARE_WITH_TIMEOUT(f.boxes.pending(), 0, 30000);
    BOXSPY_VERIFY(f.boxes);

    ChartTab *tab = openChartPage(f);
    auto *list = f.widget<QTreeWidget>("lstArsiv");
    QTRY_COMPARE(list->topLevelItemCount(), 3);
    // The download's newest file first, its other file next, the older
    // archive's file (installed later) last.
    const QDateTime newest = f.sim.logger()->memoryState().files().last().installTime;
    QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("1234"));
    QCOMPARE(list->topLevelItem(0)->text(2), newest.toString(QStringLiteral("dd.MM.yyyy hh:mm")));
    QCOMPARE(list->topLevelItem(0)->text(3), timeText(double(tab->series().times.back()), "dd.MM.yyyy hh:mm"));
    QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("1234"));
    QCOMPARE(list->topLevelItem(2)->text(1), QStringLiteral("9001"));
    QCOMPARE(list->currentItem(), list->topLevelItem(0));
    QCOMPARE(tab->shownFile(), list->topLevelItem(0)->data(0, Qt::UserRole).toLongLong());
    QCOMPARE(list->topLevelItem(0)->text(4).toLongLong(), qint64(tab->series().times.size()));

    QCOMPARE(tab->valueAxis(0)->titleText(), QStringLiteral("Seviye [cm]"));
    QCOMPARE(tab->valueAxis(1)->titleText(), QStringLiteral("Sicaklik [C]"));
    QCOMPARE(tab->shownFrom(), double(tab->series().times.front()));
    // The gap in the middle of the file breaks both lines and is shaded.
    QTRY_VERIFY(tab->chart()->plotArea().width() > 100);
    tab->setSpan(tab->shownFrom(), tab->shownTo());
    QCOMPARE(tab->lines(0).size(), 2);
    QCOMPARE(tab->lines(1).size(), 2);
    QCOMPARE(tab->gapArea()->upperSeries()->count(), 4);
    QCOMPARE(tab->gapArea()->upperSeries()->at(1).x(), tab->lines(0).first()->points().last().x());
    // A click on a legend entry hides the channel's line, a second shows it.
    QLegendMarker *legendLine = tab->chart()->legend()->markers().at(1);
    emit legendLine->clicked();
    QCOMPARE(tab->lines(0).size(), 0);
    emit legendLine->clicked();
    QCOMPARE(tab->lines(0).size(), 2);
    qsizetype points = 0;
    for (QLineSeries *line : tab->lines(0))
        points += line->count();
    QVERIFY2(points <= 2 * tab->chart()->plotArea().width() + 8, qPrintable(QString::number(points)));

    // A notch of the wheel zooms in around the mouse; reset shows it all again.
    const double wholeSpan = tab->shownTo() - tab->shownFrom();
    QWidget *view = f.form->findChild<QAbstractScrollArea *>(QStringLiteral("grafik"))->viewport();
    const QPointF middle = tab->chart()->plotArea().center();
    QWheelEvent wheel(middle, view->mapToGlobal(middle), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    QVERIFY2(std::abs((tab->shownTo() - tab->shownFrom()) - 0.8 * wholeSpan) < wholeSpan * 0.01,
             qPrintable(QString::number((tab->shownTo() - tab->shownFrom()) / wholeSpan)));
    f.click("btnGrafikSifirla");
    QCOMPARE(tab->shownTo() - tab->shownFrom(), wholeSpan);

    // A drag with the left button marks the span to zoom into; one with the
    // right button pans it.
    const QRectF plot = tab->chart()->plotArea();
    const QPoint a(int(plot.left() + plot.width() * 0.25), int(plot.center().y()));
    const QPoint b(int(plot.left() + plot.width() * 0.75), int(plot.center().y()));
    const double expectedFrom = tab->shownFrom() + wholeSpan * 0.25;
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, a);
    QTest::mouseMove(view, b);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, b);
    QVERIFY2(std::abs(tab->shownFrom() - expectedFrom) < wholeSpan * 0.02
                 && std::abs((tab->shownTo() - tab->shownFrom()) - wholeSpan / 2) < wholeSpan * 0.02,
             qPrintable(QStringLiteral("%1 %2").arg((tab->shownFrom() - expectedFrom) / wholeSpan)
                            .arg((tab->shownTo() - tab->shownFrom()) / wholeSpan)));
    const double zoomedFrom = tab->shownFrom();
    QTest::mousePress(view, Qt::RightButton, Qt::NoModifier, b);
    QTest::mouseMove(view, a);
    QTest::mouseRelease(view, Qt::RightButton, Qt::NoModifier, a);
    QVERIFY2(std::abs(tab->shownFrom() - (zoomedFrom + wholeSpan / 4)) < wholeSpan * 0.02,
             qPrintable(QString::number((tab->shownFrom() - zoomedFrom) / wholeSpan)));
    // The read-out rings its record, never widens the window, follows a pan.
    const int windowWidth = f.form->window()->width();
    QApplication::processEvents();   // the chart lays out its axes' new labels
    const QRectF now = tab->chart()->plotArea();
    const QPoint record(int(now.left() + now.width() * 0.9), int(now.center().y()));
    QTest::mouseMove(view, record);
    QVERIFY2(f.text("lblGrafikDurum").contains(QStringLiteral("Seviye: ")), qPrintable(f.text("lblGrafikDurum")));
    QCOMPARE(tab->hoverMarker(0)->count(), 1);
    const double hole = (qMax(tab->gapArea()->upperSeries()->at(1).x(), tab->shownFrom())
                         + tab->gapArea()->upperSeries()->at(2).x()) / 2;
    const QPoint inHole(int(now.left() + now.width() * (hole - tab->shownFrom()) / (tab->shownTo() - tab->shownFrom())),
                        int(now.center().y()));
    QTest::mousePress(view, Qt::RightButton, Qt::NoModifier, inHole);
    QTest::mouseMove(view, record);
    QTest::mouseRelease(view, Qt::RightButton, Qt::NoModifier, record);
    QVERIFY2(f.text("lblGrafikDurum").contains(QStringLiteral("   boşluk (")), qPrintable(f.text("lblGrafikDurum")));
    QCOMPARE(tab->hoverMarker(0)->count(), 0);
    QApplication::processEvents();
    QCOMPARE(f.form->window()->width(), windowWidth);
    f.click("btnGrafikSifirla");

    // The filter by station number; one without a match says so.
    f.widget<QLineEdit>("txtArsivFiltre")->setText(QStringLiteral("900"));
    QCOMPARE(list->topLevelItemCount(), 1);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("Kuyu"));
    f.widget<QLineEdit>("txtArsivFiltre")->setText(QStringLiteral("77"));
    QCOMPARE(tab->chart()->title(), QStringLiteral("Filtreye uyan dosya yok"));
}

void TestChartTab::csv_writesShownSpanOrReportsFailure()
{
    FormFixture f(QStringLiteral("chart_csv"));
    archiveOtherStation();
    f.createForm();
    ChartTab *tab = openChartPage(f);
    QTRY_COMPARE(tab->shownFile(), qint64(-1));
    QVERIFY(tab->showFile(1));
    QVERIFY(!tab->series().isEmpty());
    const double from = double(tab->series().times.at(10));
    const double to = double(tab->series().times.at(40));
    tab->setSpan(from, to);

    // First the export folder, the span in the name; then the last folder and separator.
    QString proposed;
    const QString path = f.appDir + QStringLiteral("/span.csv");
    FileDialog::setHandler([&](const FileDialog::Request &request) {
        proposed = request.path;
        return path;
    });
    f.click("btnCsvKaydet");
    QCOMPARE(proposed, Paths::exportDir() + QStringLiteral("/9001_") + timeText(from, "ddMMyyhhmm")
                           + QLatin1Char('_') + timeText(to, "ddMMyyhhmm") + QStringLiteral(".csv"));
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray csv = written.readAll();
    written.close();
    QCOMPARE(csv, CsvExport::document(tab->series(), from, to));
    QCOMPARE(csv.count("\r\n"), 1 + 31);
    QCOMPARE(f.text("lblGrafikDurum"), QStringLiteral("CSV kaydedildi: %1, 32 satır").arg(QDir::toNativeSeparators(path)));
    f.widget<QComboBox>("cmbCsvAyirac")->setCurrentIndex(1);
    f.click("btnCsvKaydet");
    QVERIFY(proposed.startsWith(f.appDir + QStringLiteral("/9001_")));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), CsvExport::document(tab->series(), from, to, CsvExport::spreadsheetFormat()));
    QCOMPARE(QSettings(Paths::settingsFile(), QSettings::IniFormat).value("Chart/csvSeparator").toString(),
             QStringLiteral(";"));
    BOXSPY_VERIFY(f.boxes);

    const QString nowhere = f.appDir + QStringLiteral("/no/such/folder/span.csv");
    FileDialog::setHandler([&](const FileDialog::Request &) { return nowhere; });
    f.boxes.expect(MessageBox::Critical, QStringLiteral("CSV olarak kaydet"));
    f.click("btnCsvKaydet");
    BOXSPY_VERIFY(f.boxes);
    QVERIFY(f.boxes.shown().last().text.contains(nowhere));
}

void TestChartTab::rating_flowChartedExportedAndEditedOnTheDebiPage()
{
    FormFixture f(QStringLiteral("chart_rating"));
    archiveOtherStation();
    const QString tablePath = Paths::ratingDir() + QStringLiteral("/9001.abk");
    auto writeTable = [&](const QByteArray &values) {
        QFile table(tablePath);
        return table.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && table.write("<ROOT><STATION CODE=\"9001\"/><VALUES>" + values + "</VALUES></ROOT>") > 0;
    };
    QVERIFY(writeTable("<VALUE LEVEL=\"0\" FLOW=\"0\"/><VALUE LEVEL=\"300\" FLOW=\"30\"/>"));
    f.createForm();
    ChartTab *tab = openChartPage(f);
    QTRY_VERIFY(tab->showFile(1));
    auto flowOf = [&](std::size_t i) { return tab->flows()[i] / tab->series().values[0][i]; };
    QVERIFY(tab->hasFlow());
    QCOMPARE(flowOf(10), 0.1f);
    QVERIFY(!tab->lines(2).isEmpty());
    QCOMPARE(tab->valueAxis(2)->titleText(), QStringLiteral("Debi [m³/s]"));
    QVERIFY2(f.text("lblGrafikDurum").contains(QStringLiteral("   Hacim: ")), qPrintable(f.text("lblGrafikDurum")));

    // The whole file as CSV, flow included, however far the chart is zoomed in.
    const QString csvPath = f.appDir + QStringLiteral("/all.csv");
    const QString pngPath = f.appDir + QStringLiteral("/chart.png");
    FileDialog::setHandler([&](const FileDialog::Request &r) { return r.caption == "Resmi kaydet" ? pngPath : csvPath; });
    tab->setSpan(double(tab->series().times.at(5)), double(tab->series().times.at(9)));
    f.widget<QCheckBox>("cbCsvTumDosya")->setChecked(true);
    f.click("btnCsvKaydet");
    QFile csv(csvPath);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const CsvExport::FlowColumn flow{tab->rating().unit, tab->flows()};
    QCOMPARE(csv.readAll(), CsvExport::document(tab->series(), double(tab->series().times.front()),
                                                double(tab->series().times.back()), CsvExport::Format(), &flow));
    f.click("btnResimKaydet");
    QCOMPARE(QImage(pngPath).size(), f.form->findChild<QWidget *>(QStringLiteral("grafik"))->size());

    // The Debi page shows the station's table; a saved edit changes the chart's flow.
    auto *rating = f.widget<RatingTab>("ratingTab");
    QCOMPARE(rating->table().stationCode(), QStringLiteral("9001"));
    auto *points = f.widget<QTableWidget>("tblDebi");
    QCOMPARE(points->rowCount(), 2);
    points->item(1, 1)->setText(QStringLiteral("60"));
    QVERIFY(rating->isModified());
    f.click("btnDebiKaydet");
    QVERIFY(!rating->isModified());
    QCOMPARE(flowOf(10), 0.2f);

    // A table that does not make a curve: the level alone, and the reason on both pages.
    QVERIFY(writeTable("<VALUE LEVEL=\"0\" FLOW=\"-1\"/>"));
    tab->ratingChanged(QStringLiteral("9001"));
    QVERIFY(!tab->hasFlow() && tab->lines(2).isEmpty() && !tab->lines(0).isEmpty());
    QVERIFY(f.widget<QCheckBox>("cbDebi")->toolTip().contains(QStringLiteral("Negatif debi: -1")));
    rating->showStation(QStringLiteral("9001"), QString(), QString());
    QVERIFY(f.text("lblDebiDurum").contains(QStringLiteral("Negatif debi: -1")));
    BOXSPY_VERIFY(f.boxes);
}

void TestChartTab::archiveChange_chartAndCsvShowTheNewRows_data()
{
    QTest::addColumn<int>("days");            // of the second store; 0 drops the rows
    QTest::addColumn<bool>("otherProgram");   // stored through a connection of its own
    QTest::addColumn<bool>("onServer");       // the archive on a PostgreSQL server (VLXLOGGER_ARCHIVE)
    QTest::newRow("grown by the form's download") << 3 << false << false;
    QTest::newRow("cut short by the form's download: nothing removed") << 1 << false << false;
    QTest::newRow("grown by another program") << 3 << true << false;
    QTest::newRow("cut short by another program: nothing removed") << 1 << true << false;
    QTest::newRow("rows dropped by another program") << 0 << true << false;
    QTest::newRow("server: grown by another program") << 3 << true << true;
    QTest::newRow("server: cut short by the form's download: nothing removed") << 1 << false << true;
}

// A second store of the shown file: chart, list and CSV show the new rows, whoever stored them.
void TestChartTab::archiveChange_chartAndCsvShowTheNewRows()
{
    QFETCH(int, days);
    QFETCH(bool, otherProgram);
    QFETCH(bool, onServer);
    static PgServer server;   // one for the whole run, on first use
    if (onServer) {
        if (server.port() == 0)
            QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY2(server.reset(), qPrintable(server.error()));
        qputenv("VLXLOGGER_ARCHIVE", server.url().toUtf8());
    }
    const auto localAgain = qScopeGuard([] { qunsetenv("VLXLOGGER_ARCHIVE"); });
    FormFixture f(QStringLiteral("chart_follows"));
    const QList<qint64> ids = storeFile(StationArchive(), 2);
    f.createForm();
    ChartTab *tab = openChartPage(f);
    QTRY_VERIFY(tab->showFile(ids.last()));
    const qint64 before = tab->series().times.back();

    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(Paths::databaseFile());
        QVERIFY(other.open());
        auto otherServer = std::make_shared<PgConnection>();
        if (days == 0)
            QVERIFY(QSqlQuery(other).exec(QStringLiteral("DROP TABLE datadetay")));
        else if (onServer)
            QCOMPARE(storeFile(otherProgram && otherServer->open(server.url()) ? StationArchive(otherServer)
                                                                               : StationArchive(),
                               days),
                     ids);
        else
            QCOMPARE(storeFile(StationArchive(otherProgram ? other : QSqlDatabase::database()), days), ids);
        if (!otherProgram)
            emit f.form->archiveChanged(ids);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    if (days == 0) {
        QTRY_VERIFY(tab->chart()->title().startsWith(QStringLiteral("Dosya okunamadı. no such table")));
        QVERIFY(tab->lines(0).isEmpty() && !f.widget<QPushButton>("btnCsvKaydet")->isEnabled());
        return;
    }

    // A shorter store of the file adds nothing and takes nothing away.
    const qint64 last = before + qint64(qMax(days, 2) - 2) * 86400;
    QTRY_COMPARE(qint64(tab->lines(0).last()->points().last().x()), last);
    auto *list = f.widget<QTreeWidget>("lstArsiv");
    QCOMPARE(list->currentItem()->text(3), timeText(double(last), "dd.MM.yyyy hh:mm"));
    QCOMPARE(list->currentItem()->text(4).toLongLong(), qint64(tab->series().times.size()));
    const QString path = f.appDir + QStringLiteral("/all.csv");
    FileDialog::setHandler([&](const FileDialog::Request &) { return path; });
    f.click("btnCsvKaydet");
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = written.readAll().split('\n');
    QVERIFY(lines.at(lines.size() - 2).startsWith(timeText(double(last), "yyyy-MM-ddThh:mm").toLatin1() + ','));
    BOXSPY_VERIFY(f.boxes);
}

// The address field and "Bağlantıyı dene" against a server that wants a
// password: asked again after a wrong one, kept out of settings.ini and the
// log, and the list then read from the server.
void TestChartTab::archiveAddress_triedWithThePasswordAskedAndChartedFrom()
{
    PgServer server;
    QVERIFY2(server.start(QStringLiteral("sifre-42")), qPrintable(server.error()));
    auto admin = std::make_shared<PgConnection>();
    QVERIFY(admin->open(server.socketUrl()));
    QCOMPARE(storeFile(StationArchive(admin), 2).size(), 1);
    FormFixture f(QStringLiteral("chart_address"));
    f.createForm();
    openChartPage(f);
    QTRY_COMPARE(f.widget<QTreeWidget>("lstArsiv")->topLevelItemCount(), 0);

    // A password written into the address would end up in settings.ini: refused.
    f.widget<QLineEdit>("txtArsivAdresi")->setText(server.url().replace("vlx@", "vlx:sifre-42@"));
    f.boxes.expect(MessageBox::Critical, QStringLiteral("Veritabanı"));
    f.click("btnBaglantiyiDene");
    QStringList typed{QStringLiteral("yanlis"), QStringLiteral("sifre-42")};
    int asked = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget())) {
            dialog->setTextValue(typed.value(asked++));
            dialog->accept();
        }
    });
    answer.start(20);
    f.widget<QLineEdit>("txtArsivAdresi")->setText(server.url());
    const QString name = QStringLiteral("vlx@127.0.0.1:%1/postgres").arg(server.port());
    f.boxes.expect(MessageBox::Information, QStringLiteral("Veritabanı"), QStringLiteral("Arşiv: ") + name);
    f.click("btnBaglantiyiDene");
    QCOMPARE(asked, 2);
    QCOMPARE(f.widget<QTreeWidget>("lstArsiv")->topLevelItemCount(), 1);
    QCOMPARE(QSettings(Paths::settingsFile(), QSettings::IniFormat).value("Archive/url").toString(), server.url());
    for (const QFileInfo &file : QDir(f.appDir).entryInfoList(QDir::Files) + QDir(f.appDir + "/log").entryInfoList(QDir::Files)) {
        QFile read(file.filePath());
        QVERIFY(read.open(QIODevice::ReadOnly));
        QVERIFY2(!read.readAll().contains("sifre-42"), qPrintable(file.filePath()));
    }
    BOXSPY_VERIFY(f.boxes);
    ArchiveLocation::setCurrent(ArchiveLocation());
    ArchiveLocation::setPassword(QString());
}

QTEST_MAIN(TestChartTab)
#include "tst_charttab.moc"
