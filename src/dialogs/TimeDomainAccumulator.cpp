#include "dialogs/TimeDomainAccumulator.h"

#include <algorithm>

namespace {

constexpr int HEIGHT = PersistenceImage::HEIGHT;
constexpr int MAX_RESOLUTION = 4;
constexpr int MAX_PHASE_SHIFT = 360;
constexpr int MIN_MAX_QUANTITY = 10;
// A quotient far outside the image, still safe to convert to int.
constexpr double QUOTIENT_LIMIT = 1e6;

} // namespace

TimeDomainAccumulator::TimeDomainAccumulator()
    : m_r(1)
    , m_ampMin(0)
    , m_ampMax(100)
    , m_persistency(50)
    , m_phaseShift(0)
    , m_activityLevel(20)
    , m_lo(0)
    , m_span(FULL_SCALE)
    , m_countsPerRow(1.0)
    , m_countsPerPercent(1.0)
    , m_pixelOfValue(FULL_SCALE + 1)
    , m_coordinateOfValue(FULL_SCALE + 1)
    , m_history(MAX_PERSISTENCY)
    , m_count(0)
    , m_activitySum(0)
    , m_buffer()
{
    // Room for a full sweep in every kept sweep: the acquisition thread never allocates.
    for (std::vector<quint32>& sweep : m_history)
        sweep.reserve(MAX_SAMPLES);
    m_image.setMaxQuantity(MIN_MAX_QUANTITY);
    updateScale();
}

void TimeDomainAccumulator::updateScale()
{
    m_image.setBlockSize(m_r);
    m_lo = quint32(m_ampMin) * FULL_SCALE / 100;
    m_span = quint32(m_ampMax - m_ampMin) * FULL_SCALE / 100;
    m_countsPerRow = double(m_span) / double(HEIGHT - m_r);
    m_countsPerPercent = double(m_span) / double(m_ampMax - m_ampMin);
    for (quint32 value = 0; value <= FULL_SCALE; ++value) {
        m_pixelOfValue[value] = qint16(qBound(-32768, computePixel(value), 32767));
        m_coordinateOfValue[value] = quint8(qBound(0, computeCoordinate(value), 255));
    }
}

void TimeDomainAccumulator::setResolution(int r)
{
    r = qBound(1, r, MAX_RESOLUTION);
    if (r == m_r)
        return;
    m_r = r;
    updateScale();
    reset();
}

void TimeDomainAccumulator::setAmplitudeRange(int ampMin, int ampMax)
{
    ampMin = qBound(0, ampMin, 100);
    ampMax = qBound(0, ampMax, 100);
    if (ampMin > ampMax)
        std::swap(ampMin, ampMax);
    if (ampMin == ampMax) {
        if (ampMax <= 90)
            ampMax += 10;
        else
            ampMin -= 10;
    }
    if (ampMin == m_ampMin && ampMax == m_ampMax)
        return;
    m_ampMin = ampMin;
    m_ampMax = ampMax;
    updateScale();
    reset();
}

void TimeDomainAccumulator::setPersistency(int persistency)
{
    persistency = qBound(0, persistency, MAX_PERSISTENCY);
    if (persistency == m_persistency)
        return;
    // The kept sweeps of one mode mean nothing to another.
    m_persistency = persistency;
    reset();
}

void TimeDomainAccumulator::setPhaseShift(int degrees)
{
    m_phaseShift = qBound(0, degrees, MAX_PHASE_SHIFT);
}

void TimeDomainAccumulator::setActivityLevel(int percent)
{
    percent = qBound(0, percent, 100);
    m_activityLevel = m_r * (percent / m_r);
}

void TimeDomainAccumulator::setMaxQuantity(int maxQuantity)
{
    m_image.setMaxQuantity(qBound(MIN_MAX_QUANTITY, maxQuantity, PersistenceImage::MAX_QUANTITY_LIMIT));
}

void TimeDomainAccumulator::reset()
{
    m_count = 0;
    m_activitySum = 0;
    m_image.clear();
}

int TimeDomainAccumulator::valueToPixel(quint32 value) const
{
    return value <= FULL_SCALE ? m_pixelOfValue[value] : computePixel(value);
}

int TimeDomainAccumulator::valueToCoordinate(quint32 value) const
{
    return value <= FULL_SCALE ? m_coordinateOfValue[value] : computeCoordinate(value);
}

int TimeDomainAccumulator::computePixel(quint32 value) const
{
    // Counts below the range give a negative quotient (rows below the image), not a wrapped one.
    const double q = qBound(-QUOTIENT_LIMIT, (double(value) - double(m_lo)) / m_countsPerRow, QUOTIENT_LIMIT);
    const int blocks = int(q) / m_r;
    return HEIGHT - m_r - m_r * blocks;
}

quint32 TimeDomainAccumulator::pixelToValue(int pixel) const
{
    const int block = std::max(0, (HEIGHT - m_r - pixel) / m_r);
    const unsigned blockRows = unsigned(HEIGHT - m_r) / unsigned(m_r);
    return quint32(block * (double(m_span) / double(blockRows)) + m_lo);
}

int TimeDomainAccumulator::computeCoordinate(quint32 value) const
{
    return int(double(value) / m_countsPerPercent);
}

void TimeDomainAccumulator::retireOldest()
{
    const std::vector<quint32>& oldest = m_history.front();
    // Column x = r * (j / r), counted along rather than divided.
    int x = 0;
    int inBlock = 0;
    for (quint32 value : oldest) {
        const int y = valueToPixel(value);
        if (y >= m_r && y < HEIGHT)
            m_image.retire(x, y);
        if (++inBlock == m_r) {
            inBlock = 0;
            x += m_r;
        }
    }
    m_history.front().clear();
    std::rotate(m_history.begin(), m_history.begin() + 1, m_history.end());
}

void TimeDomainAccumulator::addSweep(const quint32* maxValues, int nSamples)
{
    const int n = std::min(nSamples, MAX_SAMPLES);
    if (!maxValues || n <= 0)
        return;
    std::copy(maxValues, maxValues + n, m_buffer.begin());
    // Sample i of the sweep is buffer[(i + shift) mod n]: the pattern rotated left.
    const int shift = m_phaseShift * n / 360;
    int source = shift % n;
    const auto nextSample = [this, &source, n]() {
        const quint32 value = m_buffer[size_t(source)] & SAMPLE_MASK;
        if (++source == n)
            source = 0;
        return value;
    };

    if (m_persistency == 1) {
        std::vector<quint32>& line = m_history.front();
        line.clear();
        for (int i = 0; i < n; ++i)
            line.push_back(nextSample());
        m_count = 1;
        return;
    }

    std::vector<quint32>* kept = nullptr;
    if (m_persistency > 1) {
        while (m_count >= quint64(m_persistency)) {
            retireOldest();
            --m_count;
        }
        kept = &m_history[size_t(m_count)];
        kept->clear();
    }

    int x = 0;
    int inBlock = 0;
    for (int i = 0; i < n; ++i) {
        const quint32 v = std::min(nextSample(), SAMPLE_LIMIT);
        const int y = valueToPixel(v);
        if (y >= m_r && y < HEIGHT) {
            const int p = valueToCoordinate(v);
            if (m_activityLevel > p) {
                m_image.belowLevelHit(x, y);
            } else {
                m_image.hit(x, y);
                m_activitySum += quint64(p - m_activityLevel);
            }
        }
        if (kept)
            kept->push_back(v);
        if (++inBlock == m_r) {
            inBlock = 0;
            x += m_r;
        }
    }

    ++m_count;
    if (m_count > AVERAGING_COUNT) {
        m_activitySum /= m_count;
        m_count = 1;
    }
}

int TimeDomainAccumulator::activity() const
{
    if (m_count == 0)
        return 0;
    if (m_persistency == 0)
        return int(m_activitySum / m_count);
    const quint64 kept = std::min<quint64>(m_count, m_history.size());
    quint64 sum = 0;
    for (quint64 k = 0; k < kept; ++k) {
        for (quint32 v : m_history[size_t(k)]) {
            const int above = int(v / COUNTS_PER_PERCENT) - m_activityLevel;
            if (above > 0)
                sum += quint64(above);
        }
    }
    return int(sum / m_count);
}
