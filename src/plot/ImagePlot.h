#pragma once

#include <QRectF>

#include <qwt_plot.h>
#include <qwt_plot_dict.h>

class QImage;

// A plot that paints a raster image on its canvas between its ordinary items (grid, curves) and
// its markers, which always stay on top. The image is not copied: the caller keeps it alive and
// must not change it while the plot may paint (the time-domain screen hands over its own copy).
//
// Where the image goes: with an image area (plot coordinates of its left, top, right and bottom
// edges) it is stretched to wherever the axes put that area, so the raster stays aligned with
// the scales whatever the canvas size; without one it is drawn unscaled at the scales' start
// border distances.
class ImagePlot : public QwtPlot
{
    Q_OBJECT

public:
    explicit ImagePlot(QWidget* parent = nullptr);

    // Null switches the raster off. Neither call repaints.
    void setImage(QImage* image);
    QImage* image() const { return m_image; }
    void setImageArea(const QRectF& area);
    QRectF imageArea() const { return m_imageArea; }

    // The canvas rectangle (canvas coordinates) the image is painted into.
    QRectF imageTarget(const QwtScaleMap& xMap, const QwtScaleMap& yMap) const;

protected:
    void drawCanvas(QPainter* painter) override;
    using QwtPlot::drawItems;
    // Draws the listed items (skipping null and hidden ones) with their own axes' maps.
    virtual void drawItems(QPainter* painter, const QRectF& canvasRect, const QwtScaleMap maps[axisCnt],
                           const QwtPlotItemList& items) const;

private:
    QImage* m_image;
    QRectF m_imageArea;
};
