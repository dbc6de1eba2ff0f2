// The chart page of the working form: its empty state, the list and the
// chart after a download from the simulated logger, zooming, and the CSV of
// the shown span.
#include "formfixture.h"

#include "archiveseries.h"
#include "charttab.h"
#include "csvexport.h"
#include "decodedownload.h"
#include "filedialog.h"
#include "memorygenerator.h"
#include "messagebox.h"
#include "paths.h"
#include "stationarchive.h"

#include <QAbstractScrollArea>
#include <QChart>
#include <QFile>
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
};

namespace {

ChartTab *openChartPage(FormFixture &f)
{
    f.widget<QTabWidget>("tabWidget")->setCurrentIndex(2);
    return f.widget<ChartTab>("chartTab");
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
    QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("1234"));
    QCOMPARE(list->topLevelItem(2)->text(1), QStringLiteral("9001"));
    QCOMPARE(list->currentItem(), list->topLevelItem(0));
    QCOMPARE(tab->shownFile(), list->topLevelItem(0)->data(0, Qt::UserRole).toLongLong());
    QCOMPARE(list->topLevelItem(0)->text(3).toLongLong(), tab->series().recordCount());

    QCOMPARE(tab->valueAxis(0)->titleText(), QStringLiteral("Seviye [cm]"));
    QCOMPARE(tab->valueAxis(1)->titleText(), QStringLiteral("Sicaklik [C]"));
    QCOMPARE(tab->shownFrom(), double(tab->series().times.front()));
    // The gap in the middle of the file breaks both lines.
    QTRY_VERIFY(tab->chart()->plotArea().width() > 100);
    tab->setSpan(tab->shownFrom(), tab->shownTo());
    QCOMPARE(tab->lines(0).size(), 2);
    QCOMPARE(tab->lines(1).size(), 2);
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
    // and the line under the chart names the record under the mouse
    QTest::mouseMove(view, a);
    QVERIFY2(f.text("lblGrafikDurum").contains(QStringLiteral("Seviye: ")), qPrintable(f.text("lblGrafikDurum")));
    f.click("btnGrafikSifirla");

    // The filter by station number.
    f.widget<QLineEdit>("txtArsivFiltre")->setText(QStringLiteral("900"));
    QCOMPARE(list->topLevelItemCount(), 1);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("Kuyu"));
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

    QString proposed;
    const QString path = f.appDir + QStringLiteral("/span.csv");
    FileDialog::setHandler([&](const FileDialog::Request &request) {
        proposed = request.path;
        return path;
    });
    f.click("btnCsvKaydet");
    QCOMPARE(proposed, Paths::exportDir() + QLatin1Char('/') + CsvExport::defaultFileName(tab->series()));
    QVERIFY(proposed.endsWith(QStringLiteral("/9001_") + tab->series().installTime.toString(QStringLiteral("ddMMyy"))
                              + QStringLiteral(".csv")));
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray csv = written.readAll();
    QCOMPARE(csv, CsvExport::document(tab->series(), from, to));
    QCOMPARE(csv.count("\r\n"), 1 + 31);
    BOXSPY_VERIFY(f.boxes);

    const QString nowhere = f.appDir + QStringLiteral("/no/such/folder/span.csv");
    FileDialog::setHandler([&](const FileDialog::Request &) { return nowhere; });
    f.boxes.expect(MessageBox::Critical, QStringLiteral("CSV olarak kaydet"));
    f.click("btnCsvKaydet");
    BOXSPY_VERIFY(f.boxes);
    QVERIFY(f.boxes.shown().last().text.contains(nowhere));
}

QTEST_MAIN(TestChartTab)
#include "tst_charttab.moc"
