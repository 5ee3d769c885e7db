#pragma once

#include <QColor>
#include <QWidget>

class QwtPlot;

// The narrow colour bar beside the persistence image: the hit-count ramp from the low colour at
// the bottom (count 1) over the middle colour to the high colour at the top (maxQuantity), with
// the vertical caption "Quantity". The bar is as long as the plot beside it, without its bottom
// axis and one text line above and below.
class QuantityColorScale : public QWidget
{
    Q_OBJECT

public:
    explicit QuantityColorScale(QWidget* parent = nullptr);

    // None of these repaints.
    void setPlot(QwtPlot* plot);
    QwtPlot* plot() const { return m_plot; }
    void setMaxQuantity(int maxQuantity);
    int maxQuantity() const { return m_maxQuantity; }
    void setColors(const QColor& low, const QColor& middle, const QColor& high);

    // The bar's length for a text line height h (the widget's own height when there is no plot).
    int barLength(int h) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QwtPlot* m_plot;
    int m_maxQuantity;
    QColor m_low;
    QColor m_middle;
    QColor m_high;
};
