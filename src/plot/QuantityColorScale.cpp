#include "plot/QuantityColorScale.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

#include <qwt_plot.h>
#include <qwt_scale_widget.h>

#include <algorithm>

QuantityColorScale::QuantityColorScale(QWidget* parent)
    : QWidget(parent)
    , m_plot(nullptr)
    , m_maxQuantity(100)
    , m_low(Qt::blue)
    , m_middle(Qt::green)
    , m_high(Qt::red)
{
    setFixedWidth(QFontMetrics(font()).horizontalAdvance(QStringLiteral("100")));
}

void QuantityColorScale::setPlot(QwtPlot* plot)
{
    m_plot = plot;
}

void QuantityColorScale::setMaxQuantity(int maxQuantity)
{
    m_maxQuantity = maxQuantity;
}

void QuantityColorScale::setColors(const QColor& low, const QColor& middle, const QColor& high)
{
    m_low = low;
    m_middle = middle;
    m_high = high;
}

int QuantityColorScale::barLength(int h) const
{
    // Painted before a plot is given (or with a plot that has no bottom axis widget), the bar
    // follows the widget itself.
    int length = height();
    if (m_plot) {
        const QWidget* bottomAxis = m_plot->axisWidget(QwtPlot::xBottom);
        length = m_plot->height() - (bottomAxis ? bottomAxis->height() : 0);
    }
    return std::max(0, length - 2 * h);
}

void QuantityColorScale::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QFont textFont = font();
    textFont.setPixelSize(14);
    painter.setFont(textFont);
    const int h = QFontMetrics(textFont).height();
    const int length = barLength(h);

    painter.drawText(QRect(0, 0, width(), h), Qt::AlignLeft, QString::number(m_maxQuantity));
    painter.drawText(QRect(0, length + h, width(), h), Qt::AlignLeft, QStringLiteral("1"));

    // The ramp spans 255 pixels from the widget's top; a longer bar continues in the low colour.
    QLinearGradient gradient(QPointF(0, 255), QPointF(0, 0));
    gradient.setColorAt(0.0, m_low);
    gradient.setColorAt(0.5, m_middle);
    gradient.setColorAt(1.0, m_high);
    painter.fillRect(QRect(0, h, 10, length), gradient);

    painter.save();
    painter.rotate(-90);
    painter.drawText(QRect(-(length + h), 8, length, h), Qt::AlignCenter, tr("Quantity"));
    painter.restore();
}
