#include "plot/OverridingPlotData.h"

#include <QtGlobal>

OverridingPlotData::OverridingPlotData(int slotCount)
    : QObject(nullptr)
    , m_index(0)
    , m_size(qMax(1, slotCount))
{
    m_samples.reserve(m_size);
}

void OverridingPlotData::clear()
{
    m_samples.clear();
    m_index = 0;
}

int OverridingPlotData::count() const
{
    return m_samples.size();
}

int OverridingPlotData::getIndex() const
{
    return m_index;
}

bool OverridingPlotData::isDataCompleted() const
{
    return m_index == 0 && !m_samples.isEmpty();
}

int OverridingPlotData::addSample(double xMin, double xMax, double y)
{
    // A single-slot series has no spacing: its one slot sits at xMin.
    const double x = m_size > 1 ? xMin + m_index * (xMax - xMin) / (m_size - 1) : xMin;
    return addSample(QPointF(x, y));
}

int OverridingPlotData::addSample(const QPointF& sample)
{
    int slot;
    if (m_samples.size() < m_size) {
        slot = m_samples.size();
        m_samples.append(sample);
    } else {
        slot = m_index;
        m_samples[slot] = sample;
    }
    m_index = (slot + 1) % m_size;
    return slot;
}

void OverridingPlotData::setSample(int index, const QPointF& sample)
{
    if (index < 0 || index >= m_samples.size())
        return;
    m_samples[index] = sample;
}

QPointF OverridingPlotData::getSample(int index) const
{
    return m_samples.value(index);
}

QPointF OverridingPlotData::getSampleAtFrequency(int frequency) const
{
    if (m_samples.isEmpty())
        return QPointF(0.0, 0.0);
    const double x = frequency;
    int found = 0;
    for (int i = 0; i < m_samples.size() && m_samples.at(i).x() < x; ++i)
        found = i;
    return m_samples.at(found);
}

QVector<QPointF>* OverridingPlotData::getData()
{
    return &m_samples;
}

const QVector<QPointF>* OverridingPlotData::getConstData() const
{
    return &m_samples;
}

size_t OverridingPlotData::size() const
{
    return static_cast<size_t>(m_samples.size());
}

QPointF OverridingPlotData::sample(size_t i) const
{
    return m_samples.value(static_cast<int>(i));
}

QRectF OverridingPlotData::boundingRect() const
{
    return qwtBoundingRect(*this);
}
