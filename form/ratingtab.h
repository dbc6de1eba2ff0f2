#ifndef RATINGTAB_H
#define RATINGTAB_H

#include "ratingtable.h"

#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class RatingTab;
}
class QChart;
class QTableWidgetItem;

// The "Debi" page: the rating table of the station whose file the chart
// shows, or of a table opened from the Debi folder. The points of each
// validity period stand in an editable table and, all periods at once, as
// curves with the level up and the flow across, as hydrologists draw a
// rating. Whatever is typed is checked as the chart would read it, so the
// reason a table cannot be used stands above it at once; a save writes the
// edits into the file (RatingTable::save: atomic, what the program does
// not know kept) and tells the chart, which computes its flow again.
//
// A station without a table gets an empty one, written when first saved.
// While there are unsaved edits the page keeps its table when the chart
// moves to another station, and follows once they are saved or dropped.
class RatingTab : public QWidget
{
    Q_OBJECT
public:
    explicit RatingTab(QWidget *parent = nullptr);
    ~RatingTab() override;

    // What the page holds, for tests and tools.
    const RatingTable &table() const { return m_table; }
    const QList<RatingTable::Period> &editedPeriods() const { return m_periods; }
    bool isModified() const { return m_modified; }
    QChart *chart() const { return m_chart; }

signals:
    // The table of this station was written to its file.
    void tableSaved(const QString &stationNo);

public slots:
    // The chart chose a file of this station; levelTitle names its level axis.
    void showStation(const QString &stationNo, const QString &stationName, const QString &levelTitle);
    // A table file, its station taken from its name (<station number>.abk).
    void openTable(const QString &path);

    void on_btnDebiAc_clicked();
    void on_cmbDebiDonem_currentIndexChanged(int index);
    void on_btnDebiDonemEkle_clicked();
    void on_btnDebiDonemSil_clicked();
    void on_txtDebiBaslangic_textEdited(const QString &text);
    void on_cmbDebiAraDeger_activated(int index);
    void on_txtDebiBirim_textEdited(const QString &text);
    void on_tblDebi_itemChanged(QTableWidgetItem *item);
    void on_btnDebiSatirEkle_clicked();
    void on_btnDebiSatirSil_clicked();
    void on_btnDebiKaydet_clicked();
    void on_btnDebiVazgec_clicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    void load(const QString &path, const QString &stationNo, const QString &stationName);
    void fillPeriods(int current);
    void showPeriod();
    void fillRows();
    void edited();
    void check();
    void drawCurves(const RatingCurve &curve);
    void setMessage(const QString &text, bool error);
    void updateButtons();
    void followPending();
    QString periodName(const RatingTable::Period &period) const;
    QString unit() const;

    std::unique_ptr<Ui::RatingTab> ui;
    QChart *m_chart = nullptr;
    RatingTable m_table;
    QList<RatingTable::Period> m_periods;   // as edited
    int m_period = -1;                      // shown in the table
    bool m_editable = false;                // a table read, or a new one
    bool m_modified = false;
    bool m_filling = false;
    QString m_loadError;
    QString m_levelTitle;
    struct Station {
        QString number;
        QString name;
        QString levelTitle;
    };
    std::optional<Station> m_pending;   // chosen in the chart during unsaved edits
};

#endif // RATINGTAB_H
