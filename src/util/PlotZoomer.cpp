#include "util/PlotZoomer.h"

#include <QPen>

#include <qwt_picker_machine.h>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>

PlotZoomer::PlotZoomer(QwtPlot* plot)
    : QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, QwtPicker::RectRubberBand, QwtPicker::AlwaysOff, plot->canvas())
{
    setStateMachine(new QwtPickerDragRectMachine());
    setRubberBandPen(QPen(Qt::red, 3, Qt::SolidLine));
    // Touch and the hardware keys drive the screens; the plot must not take the focus from them.
    plot->setFocusPolicy(Qt::NoFocus);
    plot->canvas()->setFocusPolicy(Qt::NoFocus);
    m_pressClock.start();
    connect(this, SIGNAL(selected(QPolygon)), this, SLOT(onSelected(QPolygon)));
}

QRectF PlotZoomer::invTransform(const QRect& rect) const
{
    return QwtPlotPicker::invTransform(rect);
}

QPointF PlotZoomer::invTransform(const QPoint& point) const
{
    return QwtPlotPicker::invTransform(point);
}

void PlotZoomer::widgetMousePressEvent(QMouseEvent* event)
{
    m_pressClock.restart();
    QwtPlotPicker::widgetMousePressEvent(event);
}

void PlotZoomer::onSelected(const QPolygon& polygon)
{
    emit selected(polygon, m_pressClock.elapsed());
}
