#ifndef ARCHIVECHARTVIEW_H
#define ARCHIVECHARTVIEW_H

#include <QChartView>
#include <QPoint>

// The chart's view: it turns mouse gestures into a span of time to show and
// leaves the drawing to its owner. A drag with the left button marks a span
// to zoom into, the wheel zooms around the mouse, a drag with the right or
// middle button pans, a right click without a drag zooms out. Times are the
// horizontal axis values (seconds).
class ArchiveChartView : public QChartView
{
    Q_OBJECT
public:
    explicit ArchiveChartView(QWidget *parent = nullptr);

    // The horizontal value under a point of the view.
    double timeAt(const QPoint &pos) const;
    // The span shown now, from the chart's horizontal axis.
    bool shownSpan(double *from, double *to) const;
    // Reports the time under the mouse again, when it is over the plot: the
    // span under it has moved.
    void refreshHover();

signals:
    void spanRequested(double from, double to);
    void hovered(double time);
    void left();

protected:
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void zoomAround(double time, double factor);

    bool m_hovering = false;
    QPoint m_mouse;
    bool m_panning = false;
    bool m_panMoved = false;
    QPoint m_panStart;
    double m_panFrom = 0;
    double m_panTo = 0;
};

#endif // ARCHIVECHARTVIEW_H
