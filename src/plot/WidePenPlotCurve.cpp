#include "plot/WidePenPlotCurve.h"

#include <QPainter>
#include <QPen>
#include <QPolygon>

#include <qwt_scale_map.h>

#include <cmath>

namespace {

// Pixel offsets of the one-pixel lines that make up a wider line: a small cross that widens
// lines of every direction.
const QPoint WIDTH_2[] = {{0, 0}, {1, 0}, {0, 1}};
const QPoint WIDTH_3[] = {{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}};

} // namespace

WidePenPlotCurve::WidePenPlotCurve(const QString& title)
    : QwtPlotCurve(title)
{
}

void WidePenPlotCurve::drawLines(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
                                 const QRectF& canvasRect, int from, int to) const
{
    const QPen pen = painter->pen();
    const double width = pen.widthF();
    if (width <= 1.0 || pen.style() != Qt::SolidLine || painter->testRenderHint(QPainter::Antialiasing)
        || from >= to) {
        QwtPlotCurve::drawLines(painter, xMap, yMap, canvasRect, from, to);
        return;
    }
    const QwtSeriesData<QPointF>* series = data();
    QPolygon polyline;
    polyline.reserve(to - from + 1);
    for (int i = from; i <= to; ++i) {
        const QPointF sample = series->sample(size_t(i));
        const double x = xMap.transform(sample.x());
        const double y = yMap.transform(sample.y());
        // Far outside the canvas (or not a number): keep the line inside what ints can hold.
        const auto clamp = [](double v) { return std::isfinite(v) ? std::max(-1e6, std::min(v, 1e6)) : 0.0; };
        polyline.append(QPoint(int(std::lround(clamp(x))), int(std::lround(clamp(y)))));
    }
    QPen thin(pen);
    thin.setWidth(1);
    painter->save();
    painter->setPen(thin);
    const QPoint* offsets = width < 2.5 ? WIDTH_2 : WIDTH_3;
    const int count = width < 2.5 ? 3 : 5;
    for (int k = 0; k < count; ++k)
        painter->drawPolyline(polyline.translated(offsets[k]));
    painter->restore();
}
