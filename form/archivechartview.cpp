#include "archivechartview.h"

#include <QMouseEvent>
#include <QValueAxis>
#include <QWheelEvent>

#include <cmath>

ArchiveChartView::ArchiveChartView(QWidget *parent)
    : QChartView(parent)
{
    setRenderHint(QPainter::Antialiasing, false);
    setMouseTracking(true);
    setRubberBand(QChartView::HorizontalRubberBand);
}

// From the time axis itself: QChart::mapToValue asks the first series of the
// chart, and the gap bands' area series does not follow the axis' range.
double ArchiveChartView::timeAt(const QPoint &pos) const
{
    double from = 0;
    double to = 0;
    const QRectF plot = chart()->plotArea();
    if (!shownSpan(&from, &to) || !(plot.width() > 0))
        return 0;
    const QPointF at = chart()->mapFromScene(mapToScene(pos));
    return from + (at.x() - plot.left()) / plot.width() * (to - from);
}

bool ArchiveChartView::shownSpan(double *from, double *to) const
{
    const QList<QAbstractAxis *> axes = chart()->axes(Qt::Horizontal);
    auto *axis = axes.isEmpty() ? nullptr : qobject_cast<QValueAxis *>(axes.first());
    if (!axis)
        return false;
    *from = axis->min();
    *to = axis->max();
    return *to > *from;
}

void ArchiveChartView::refreshHover()
{
    if (m_hovering && chart()->plotArea().contains(chart()->mapFromScene(mapToScene(m_mouse))))
        emit hovered(timeAt(m_mouse));
}

void ArchiveChartView::zoomAround(double time, double factor)
{
    double from = 0;
    double to = 0;
    if (!shownSpan(&from, &to))
        return;
    emit spanRequested(time - (time - from) * factor, time + (to - time) * factor);
}

void ArchiveChartView::wheelEvent(QWheelEvent *event)
{
    const int steps = event->angleDelta().y();
    if (steps == 0) {
        event->ignore();
        return;
    }
    // A notch of the wheel shows a fifth less (or a quarter more).
    zoomAround(timeAt(event->position().toPoint()), std::pow(0.8, steps / 120.0));
    event->accept();
}

void ArchiveChartView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton) {
        if (shownSpan(&m_panFrom, &m_panTo)) {
            m_panning = true;
            m_panMoved = false;
            m_panStart = event->pos();
        }
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void ArchiveChartView::mouseMoveEvent(QMouseEvent *event)
{
    m_mouse = event->pos();
    m_hovering = true;
    if (m_panning) {
        const double width = chart()->plotArea().width();
        const int dx = event->pos().x() - m_panStart.x();
        if (std::abs(dx) > 2)
            m_panMoved = true;
        if (m_panMoved && width > 0) {
            const double shift = dx * (m_panTo - m_panFrom) / width;
            emit spanRequested(m_panFrom - shift, m_panTo - shift);
        }
        event->accept();
        return;
    }
    if (chart()->plotArea().contains(chart()->mapFromScene(mapToScene(event->pos()))))
        emit hovered(timeAt(event->pos()));
    else
        emit left();
    QChartView::mouseMoveEvent(event);
}

void ArchiveChartView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_panning && (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton)) {
        m_panning = false;
        if (!m_panMoved)
            zoomAround((m_panFrom + m_panTo) / 2, 2.0);
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void ArchiveChartView::leaveEvent(QEvent *event)
{
    m_hovering = false;
    emit left();
    QChartView::leaveEvent(event);
}
