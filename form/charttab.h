#ifndef CHARTTAB_H
#define CHARTTAB_H

#include "archiveseries.h"

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
// 2 against the right one; the daily summaries are markers at the middle of
// their day, holes in the records shaded bands. What is drawn is the
// reduction of the shown span to a few points per column of the plot
// (chartreduction.h), made anew after every zoom or pan; the whole file is
// held once, as the archive's series cache gives it.
//
// The page follows the archive: the shown file is read again when the form
// reports that a download stored it, and, while the page is shown, when
// another program has written to the database (SQLite's data_version, asked
// every Waits::archiveWatch ms: one cheap query that no own write answers).
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
    double shownFrom() const { return m_from; }
    double shownTo() const { return m_to; }
    QChart *chart() const { return m_chart; }
    // The pieces of line drawn for a channel (0 or 1) now.
    QList<QLineSeries *> lines(int channel) const;
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

public slots:
    void on_txtArsivFiltre_textChanged(const QString &text);
    void on_lstArsiv_currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void on_cbGunlukOzet_toggled(bool checked);
    void on_btnGrafikSifirla_clicked();
    void on_btnCsvKaydet_clicked();
    void on_cmbCsvAyirac_currentIndexChanged(int index);

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
    void updateLegend();
    void toggleSeries(QLegendMarker *marker);
    void setPieceVisible(QLineSeries *line, bool visible);
    int columns() const;
    void onAxisRangeChanged(qreal min, qreal max);

    std::unique_ptr<Ui::ChartTab> ui;
    QChart *m_chart = nullptr;
    QCategoryAxis *m_timeAxis = nullptr;
    QValueAxis *m_valueAxis[2] = {nullptr, nullptr};
    QList<QLineSeries *> m_lines[2];
    // A line without points per channel: its legend entry stands for all
    // the pieces of the channel's line.
    QLineSeries *m_legendLine[2] = {nullptr, nullptr};
    QScatterSeries *m_markers[2][3] = {{nullptr, nullptr, nullptr}, {nullptr, nullptr, nullptr}};
    QScatterSeries *m_hover[2] = {nullptr, nullptr};
    QAreaSeries *m_gapArea = nullptr;
    QList<QAbstractSeries *> m_hidden;   // switched off through the legend
    QTimer *m_archiveWatch = nullptr;
    qint64 m_dataVersion = -2;

    ArchiveSeries m_series;
    qint64 m_fileId = -1;
    double m_from = 0;
    double m_to = 0;
    double m_first = 0;   // the file's first and last time
    double m_last = 0;
    double m_drawnWidth = 0;   // of the plot when last drawn
    bool m_listRead = false;
    bool m_settingRange = false;
    QList<qint64> m_recent;
    qint64 m_pendingFile = -1;
};

#endif // CHARTTAB_H
