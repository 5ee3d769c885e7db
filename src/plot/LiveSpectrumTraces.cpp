#include "plot/LiveSpectrumTraces.h"

#include "plot/OverridingPlotData.h"

#include <algorithm>

LiveSpectrumTraces::LiveSpectrumTraces(int slotCount)
    : m_slotCount(slotCount)
{
    for (OverridingPlotData*& series : m_series)
        series = new OverridingPlotData(slotCount);
}

LiveSpectrumTraces::~LiveSpectrumTraces()
{
    for (OverridingPlotData* series : m_series)
        delete series;
}

void LiveSpectrumTraces::clear()
{
    for (OverridingPlotData* series : m_series)
        series->clear();
}

void LiveSpectrumTraces::put(Trace trace, int slot, double xMin, double xMax, double y)
{
    OverridingPlotData* series = m_series[trace];
    // Bounded by one pass over the slots; no work at all in the usual case of the next slot.
    for (int guard = 0; series->getIndex() != slot && guard < m_slotCount; ++guard) {
        if (series->getIndex() < series->count())
            series->addSample(series->getSample(series->getIndex()));
        else
            series->addSample(xMin, xMax, y);
    }
    series->addSample(xMin, xMax, y);
}

void LiveSpectrumTraces::add(
    int slot, double xMin, double xMax, double average, double maximum, bool reference, bool maxHold)
{
    const Trace maximumTrace = reference ? REF_MAX : MAX;
    put(reference ? REF_AVG : AVG, slot, xMin, xMax, average);
    const OverridingPlotData* held = m_series[maximumTrace];
    if (maxHold && held->count() > slot)
        maximum = std::max(maximum, held->getSample(slot).y());
    put(maximumTrace, slot, xMin, xMax, maximum);
}

void LiveSpectrumTraces::addDifference(int slot, double xMin, double xMax, Trace a, Trace b)
{
    if (m_series[a]->count() <= slot || m_series[b]->count() <= slot)
        return;
    put(DIFF, slot, xMin, xMax, differenceValue(m_series[a]->getSample(slot).y(), m_series[b]->getSample(slot).y()));
}

double LiveSpectrumTraces::differenceValue(double a, double b)
{
    const double hi = std::max(a, b);
    const double lo = std::min(a, b);
    return hi < 0 ? lo - hi : hi - lo;
}
