#include "plot/AutodetectionTraces.h"

#include "plot/OverridingPlotData.h"

#include <algorithm>
#include <cmath>

namespace {

const quint32 SAMPLE_MASK = 0x3FFF;
// 150000 kHz * log10(150000 kHz): the correction is G at the band's lower edge.
const double CORRECTION_DIVISOR = 776413.6888583523;

// a[i] - b[i] at a's x, for every slot both hold.
void subtract(const OverridingPlotData& a, const OverridingPlotData& b, OverridingPlotData* result)
{
    result->clear();
    const int n = std::min(a.count(), b.count());
    for (int i = 0; i < n; ++i) {
        const QPointF p = a.getSample(i);
        result->addSample(QPointF(p.x(), p.y() - b.getSample(i).y()));
    }
}

} // namespace

AutodetectionTraces::AutodetectionTraces()
{
    for (OverridingPlotData*& trace : m_traces)
        trace = new OverridingPlotData(SLOT_COUNT);
}

AutodetectionTraces::~AutodetectionTraces()
{
    for (OverridingPlotData* trace : m_traces)
        delete trace;
}

void AutodetectionTraces::clear()
{
    for (OverridingPlotData* trace : m_traces)
        trace->clear();
}

void AutodetectionTraces::reduceStep(
    const quint32* avgValues, const quint32* maxValues, quint16 nSamples, double* average, double* peak)
{
    quint64 sum = 0;
    quint32 highest = 0;
    for (quint16 i = 0; i < nSamples; ++i) {
        sum += avgValues[i] & SAMPLE_MASK;
        highest = std::max(highest, maxValues[i] & SAMPLE_MASK);
    }
    *average = nSamples > 0 ? double(sum / nSamples) : 0.0;
    *peak = double(highest);
}

int AutodetectionTraces::addStep(Phase phase, double average, double peak)
{
    OverridingPlotData* averages = m_traces[phase == PHASE_HIGH ? HIGH_AVG : LOW_AVG];
    OverridingPlotData* peaks = m_traces[phase == PHASE_HIGH ? HIGH_MAX : LOW_MAX];
    int slot = 0;
    if (averages->getIndex() < averages->count()) {
        QPointF point = averages->getSample(averages->getIndex());
        point.setY(point.y() + average);
        slot = averages->addSample(point);
    } else {
        slot = averages->addSample(FREQ_MIN, FREQ_MAX, average);
    }
    if (peaks->getIndex() < peaks->count()) {
        QPointF point = peaks->getSample(peaks->getIndex());
        point.setY(phase == PHASE_HIGH ? std::max(point.y(), peak) : std::min(point.y(), peak));
        peaks->addSample(point);
    } else {
        peaks->addSample(FREQ_MIN, FREQ_MAX, peak);
    }
    return slot;
}

void AutodetectionTraces::finishPhase(Phase phase, int sweeps)
{
    if (sweeps < 1)
        return;
    QVector<QPointF>* points = m_traces[phase == PHASE_HIGH ? HIGH_AVG : LOW_AVG]->getData();
    for (QPointF& point : *points)
        point.setY(point.y() / sweeps);
}

void AutodetectionTraces::computeDifferences()
{
    subtract(*m_traces[LOW_MAX], *m_traces[LOW_AVG], m_traces[LOW_DIFF]);
    subtract(*m_traces[HIGH_MAX], *m_traces[HIGH_AVG], m_traces[HIGH_DIFF]);
    subtract(*m_traces[HIGH_DIFF], *m_traces[LOW_DIFF], m_traces[DELTA]);
}

void AutodetectionTraces::applyGradingFilter(int g)
{
    const OverridingPlotData& delta = *m_traces[DELTA];
    OverridingPlotData* y = m_traces[Y];
    y->clear();
    if (g <= 1) {
        for (int i = 0; i < delta.count(); ++i)
            y->addSample(delta.getSample(i));
        return;
    }
    double sum = 0.0;
    int counted = 0;
    const auto flush = [&] {
        const double mean = sum / counted;
        for (int k = 0; k < counted; ++k)
            y->addSample(FREQ_MIN, FREQ_MAX, mean);
        sum = 0.0;
        counted = 0;
    };
    for (int i = 0; i < delta.count(); ++i) {
        sum += delta.getSample(i).y();
        if (++counted == g)
            flush();
    }
    if (counted > 0)
        flush();
}

void AutodetectionTraces::applyAmplifierCorrection(bool enabled, int factorG)
{
    const OverridingPlotData& y = *m_traces[Y];
    OverridingPlotData* z = m_traces[Z];
    z->clear();
    for (int i = 0; i < y.count(); ++i) {
        QPointF point = y.getSample(i);
        if (enabled)
            point.setY(point.y() + amplifierCorrection(point.x(), factorG));
        z->addSample(point);
    }
}

QVector<QPointF> AutodetectionTraces::findResults(const int thresholds[BLOCK_COUNT]) const
{
    QVector<QPointF> results(BLOCK_COUNT);
    const OverridingPlotData& z = *m_traces[Z];
    for (int i = 0; i < z.count(); ++i) {
        const QPointF point = z.getSample(i);
        const int block = blockOf(point.x());
        if (point.y() > double(thresholds[block]) && point.y() > results[block].y())
            results[block] = point;
    }
    return results;
}

int AutodetectionTraces::blockOf(double frequencyMHz)
{
    if (!(frequencyMHz >= FREQ_MIN))
        return 0;
    const unsigned whole = unsigned(std::min(frequencyMHz, 4.0e9));
    return int(std::min((whole - 150u) / 212u, 3u));
}

double AutodetectionTraces::amplifierCorrection(double frequencyMHz, int factorG)
{
    const double f = frequencyMHz * 1000.0;
    return double(factorG) * std::log10(f) * f / CORRECTION_DIVISOR;
}
