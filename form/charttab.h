#ifndef CHARTTAB_H
#define CHARTTAB_H

#include "archiveseries.h"
#include "csvexport.h"
#include "ratingcurve.h"

#include <QList>
#include <QWidget>

#include <memory>

namespace Ui {
class ChartTab;
}
class QAbstractSeries;
class QAreaSeries;
class QCategoryAxis;
class QChart;
class QLegendMarker;
class QLineSeries;
class QScatterSeries;
class QTimer;
class QTreeWidgetItem;
class QValueAxis;

// The "Grafik" page: the files of the station archive, newest first, and a
// chart of the chosen one. Channel 1 is drawn against the left axis, channel
// 2 against the right one and, when the station has a rating table, the flow
// derived from channel 1 against a second right axis; the daily summaries
// are markers at the middle of their day, holes in the records shaded
// bands. Value axes have their ticks at round numbers. What is drawn is the
// reduction of the shown span to a few points per column of the plot
// (chartreduction.h), made anew after every zoom or pan; the whole file is
// held once, as the archive's series cache gives it.
//
// The page follows the archive: the shown file is read again when the form
// reports that a download stored it, and, while the page is shown, when
// another program has written to the database (SQLite's data_version, asked
// every Waits::archiveWatch ms: one cheap query that no own write answers;
// on a server the change counter every store raises).
class ChartTab : public QWidget
{
    Q_OBJECT
public:
    explicit ChartTab(QWidget *parent = nullptr);
    ~ChartTab() override;

    // Reads the list again from the archive. The files of the last download
    // come first (newest of them first), the rest newest install first.
    void refreshList();
    // After a download: these archive files come first and the newest of
    // them is shown when the page is next opened; a shown file among them is
    // read again.
    void showDownloaded(const QList<qint64> &fileIds);

    // The chosen file and the span shown (seconds), for tests and tools.
    qint64 shownFile() const { return m_fileId; }
    const ArchiveSeries &series() const { return m_series; }
    const RatingCurve &rating() const { return m_rating; }
    double shownFrom() const { return m_from; }
    double shownTo() const { return m_to; }
    QChart *chart() const { return m_chart; }
    // The pieces of line drawn for a channel (0 or 1) or the flow (2) now.
    QList<QLineSeries *> lines(int channel) const;
    // The flow of each record of the shown file, from its station's rating
    // table; empty when the station has none or it does not load.
    const std::vector<float> &flows() const { return m_flow.values; }
    bool hasFlow() const { return !m_flow.values.empty(); }
    QValueAxis *valueAxis(int channel) const { return m_valueAxis[channel]; }
    // The shaded bands of the holes, and the marker of the record the
    // read-out describes (channel 0 or 1).
    QAreaSeries *gapArea() const { return m_gapArea; }
    QScatterSeries *hoverMarker(int channel) const { return m_hover[channel]; }

    // Shows [from, to] of the chosen file, kept within the file's records.
    void setSpan(double from, double to);
    // Chooses a file of the list by its archive id, reading it again when it
    // is the one shown; false when not listed.
    bool showFile(qint64 fileId);

signals:
    // A file was chosen: its station, and the title of its level axis.
    void stationChosen(const QString &stationNo, const QString &stationName, const QString &levelTitle);

public slots:
    // The station's rating table was saved: the flow is computed again.
    void ratingChanged(const QString &stationNo);
    void on_txtArsivFiltre_textChanged(const QString &text);
    // Tries the archive address of the field and, when it answers, makes it
    // the archive (ArchiveLogin::tryAndUse); the list is read from it.
    void on_btnBaglantiyiDene_clicked();
    void on_lstArsiv_currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void on_cbGunlukOzet_toggled(bool checked);
    void on_btnGrafikSifirla_clicked();
    void on_btnCsvKaydet_clicked();
    void on_cmbCsvAyirac_currentIndexChanged(int index);
    void on_cbDebi_toggled(bool checked);
    void on_btnResimKaydet_clicked();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void load(qint64 fileId);
    void reloadShown();
    void checkArchive();
    void showEmpty(const QString &title);
    void redraw();
    void drawGaps();
    void updateTimeAxis();
    void updateStatus(double time);
    void clearStatus();
    void showSpanSummary();
    void loadRating();
    bool flowShown() const;
    void updateLegend();
    void toggleSeries(QLegendMarker *marker);
    void setPieceVisible(QLineSeries *line, bool visible);
    int columns() const;
    void onAxisRangeChanged(qreal min, qreal max);

    std::unique_ptr<Ui::ChartTab> ui;
    QChart *m_chart = nullptr;
    QCategoryAxis *m_timeAxis = nullptr;
    // Channel 1, channel 2 and the flow.
    QValueAxis *m_valueAxis[3] = {nullptr, nullptr, nullptr};
    QList<QLineSeries *> m_lines[3];
    // A line without points per series: its legend entry stands for all the
    // pieces of the series' line.
    QLineSeries *m_legendLine[3] = {nullptr, nullptr, nullptr};
    QScatterSeries *m_markers[2][3] = {{nullptr, nullptr, nullptr}, {nullptr, nullptr, nullptr}};
    QScatterSeries *m_hover[3] = {nullptr, nullptr, nullptr};
    QAreaSeries *m_gapArea = nullptr;
    QList<QAbstractSeries *> m_hidden;   // switched off through the legend
    QTimer *m_archiveWatch = nullptr;
    qint64 m_dataVersion = -2;

    ArchiveSeries m_series;
    RatingCurve m_rating;
    CsvExport::FlowColumn m_flow;   // parallel to m_series.times
    QString m_ratingNote;           // why there is no flow
    qint64 m_fileId = -1;
    double m_from = 0;
    double m_to = 0;
    double m_first = 0;   // the file's first and last time
    double m_last = 0;
    double m_drawnWidth = 0;   // of the plot when last drawn
    double m_drawnHeight = 0;
    bool m_listRead = false;
    bool m_settingRange = false;
    QList<qint64> m_recent;
    qint64 m_pendingFile = -1;
};

#endif // CHARTTAB_H
