#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QPointF>
#include <QPolygon>
#include <QRect>
#include <QRectF>

#include <qwt_plot_picker.h>

class QwtPlot;

// Lets the operator drag a rectangle on a plot canvas with a finger and reports it together
// with how long the finger was down, so that a screen can tell a tap from a drag.
class PlotZoomer : public QwtPlotPicker {
    Q_OBJECT

public:
    explicit PlotZoomer(QwtPlot* plot);

    // Canvas pixels to plot coordinates (bottom and left axes).
    QRectF invTransform(const QRect& rect) const;
    QPointF invTransform(const QPoint& point) const;

signals:
    // The picked rectangle's corners in canvas coordinates and the milliseconds since the press
    // that began the pick.
    void selected(QPolygon polygon, qint64 duration);

protected:
    void widgetMousePressEvent(QMouseEvent* event) override;

private slots:
    void onSelected(const QPolygon& polygon);

private:
    QElapsedTimer m_pressClock;
};
