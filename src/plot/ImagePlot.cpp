#include "plot/ImagePlot.h"

#include <QImage>
#include <QPainter>

#include <qwt_plot_canvas.h>
#include <qwt_plot_item.h>
#include <qwt_scale_map.h>
#include <qwt_scale_widget.h>

ImagePlot::ImagePlot(QWidget* parent)
    : QwtPlot(parent)
    , m_image(nullptr)
{
}

void ImagePlot::setImage(QImage* image)
{
    m_image = image;
}

void ImagePlot::setImageArea(const QRectF& area)
{
    m_imageArea = area;
}

QRectF ImagePlot::imageTarget(const QwtScaleMap& xMap, const QwtScaleMap& yMap) const
{
    if (!m_image)
        return QRectF();
    if (m_imageArea.isNull()) {
        const QPointF origin(axisWidget(xBottom)->startBorderDist(), axisWidget(yLeft)->startBorderDist());
        return QRectF(origin, QSizeF(m_image->size()));
    }
    const QPointF topLeft(xMap.transform(m_imageArea.left()), yMap.transform(m_imageArea.top()));
    const QPointF bottomRight(xMap.transform(m_imageArea.right()), yMap.transform(m_imageArea.bottom()));
    return QRectF(topLeft, bottomRight).normalized();
}

void ImagePlot::drawCanvas(QPainter* painter)
{
    QwtScaleMap maps[axisCnt];
    for (int axisId = 0; axisId < axisCnt; ++axisId)
        maps[axisId] = canvasMap(axisId);

    QwtPlotItemList markers;
    QwtPlotItemList others;
    for (QwtPlotItem* item : itemList()) {
        if (item->rtti() == QwtPlotItem::Rtti_PlotMarker)
            markers.append(item);
        else
            others.append(item);
    }

    const QRectF canvasRect = canvas()->contentsRect();
    drawItems(painter, canvasRect, maps, others);
    if (m_image && !m_image->isNull()) {
        const QRectF target = imageTarget(maps[xBottom], maps[yLeft]);
        painter->save();
        // Every hit block stays a crisp block when the raster is stretched.
        painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
        if (target.size() == QSizeF(m_image->size()))
            painter->drawImage(target.topLeft(), *m_image);
        else
            painter->drawImage(target, *m_image);
        painter->restore();
    }
    drawItems(painter, canvasRect, maps, markers);
}

void ImagePlot::drawItems(QPainter* painter, const QRectF& canvasRect, const QwtScaleMap maps[axisCnt],
                          const QwtPlotItemList& items) const
{
    for (QwtPlotItem* item : items) {
        if (!item || !item->isVisible())
            continue;
        painter->save();
        const bool antialiased = item->testRenderHint(QwtPlotItem::RenderAntialiased);
        painter->setRenderHint(QPainter::Antialiasing, antialiased);
#if QT_VERSION < QT_VERSION_CHECK(5, 14, 0)
        // Later Qt versions fold this hint into Antialiasing.
        painter->setRenderHint(QPainter::HighQualityAntialiasing, antialiased);
#endif
        item->draw(painter, maps[item->xAxis()], maps[item->yAxis()], canvasRect);
        painter->restore();
    }
}
