#include "plot/SpectrumMarkers.h"

#include "plot/OverridingPlotData.h"

#include <qwt_plot.h>
#include <qwt_plot_marker.h>
#include <qwt_symbol.h>

#include <algorithm>

SpectrumMarkers::SpectrumMarkers(QwtPlot* plot)
    : m_active(-1)
{
    for (int i = 0; i < COUNT; ++i) {
        QwtPlotMarker* marker = new QwtPlotMarker();
        marker->setLineStyle(QwtPlotMarker::VLine);
        marker->setXAxis(QwtPlot::xBottom);
        marker->setYAxis(QwtPlot::yLeft);
        marker->setValue(0.0, 0.0);
        marker->setVisible(false);
        marker->attach(plot);
        m_markers[i] = marker;
        setLook(i, false);
    }
}

void SpectrumMarkers::setLook(int index, bool active)
{
    QwtPlotMarker* marker = m_markers[index];
    const QColor colour = active ? QColor(85, 85, 85) : QColor(Qt::darkGray);
    const int size = active ? 14 : 8;
    marker->setLinePen(colour, 2, Qt::DashDotLine);
    marker->setSymbol(new QwtSymbol(QwtSymbol::DTriangle, QBrush(colour), QPen(colour), QSize(size, size)));
}

void SpectrumMarkers::setActive(int index)
{
    if (m_active >= 0)
        setLook(m_active, false);
    m_active = std::min(index, COUNT - 1);
    if (m_active < 0)
        m_active = -1;
    else
        setLook(m_active, true);
}

void SpectrumMarkers::move(int index, unsigned freq, double baseline)
{
    if (index < 0 || index >= COUNT)
        return;
    m_markers[index]->setValue(double(freq), baseline);
    m_markers[index]->setVisible(freq != 0);
}

bool SpectrumMarkers::isShown(int index) const
{
    return index >= 0 && index < COUNT && m_markers[index]->xValue() > 0;
}

double SpectrumMarkers::frequency(int index) const
{
    return m_markers[index]->xValue();
}

void SpectrumMarkers::setBaseline(double baseline)
{
    for (QwtPlotMarker* marker : m_markers) {
        marker->setYValue(baseline);
        marker->setVisible(marker->xValue() > 0);
    }
}

int SpectrumMarkers::markerForTap(bool longPress) const
{
    if (m_active < 0)
        return 0;
    if (!longPress)
        return m_active;
    for (int i = 0; i < COUNT; ++i) {
        if (!isShown(i))
            return i;
    }
    return COUNT - 1;
}

SpectrumMarkers::Readings SpectrumMarkers::read(const OverridingPlotData& trace) const
{
    Readings readings;
    for (int i = 0; i < COUNT; ++i) {
        if (!isShown(i))
            continue;
        const int f = int(unsigned(frequency(i)));
        const int amplitude = int(trace.getSampleAtFrequency(f).y());
        if (readings.lowest < 0 || f < readings.frequencies.at(readings.lowest))
            readings.lowest = readings.frequencies.size();
        readings.frequencies.append(f);
        readings.amplitudes.append(amplitude);
    }
    return readings;
}
