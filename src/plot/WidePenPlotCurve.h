#pragma once

#include <qwt_plot_curve.h>

// A plot curve whose line, when its pen is wider than one pixel, is drawn as a few one-pixel
// lines side by side. Qt's raster engine strokes a wide polyline through its general path
// stroker, which costs tens of milliseconds for a screen of noisy 501-point traces; one-pixel
// lines take its fast line path. On the device's 640 x 480 screen the two look alike.
class WidePenPlotCurve : public QwtPlotCurve
{
public:
    explicit WidePenPlotCurve(const QString& title = QString());

protected:
    void drawLines(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap, const QRectF& canvasRect,
                   int from, int to) const override;
};
