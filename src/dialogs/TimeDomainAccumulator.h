#pragma once

#include "plot/PersistenceImage.h"

#include <QtGlobal>

#include <array>
#include <vector>

// What the time-domain screen collects from its sweeps (one sweep = the detector maxima of one
// mains period, up to 500 samples): the persistence image, the kept sweeps of finite
// persistence (oldest first), the sweep count and the running activity sum of infinite
// persistence. It also owns the conversions between raw counts, image rows and percent.
//
// Persistency 1 is line mode (only the newest sweep is kept, nothing is drawn into the image),
// 2..100 keeps that many sweeps and takes the oldest one's hits away again, 0 keeps every hit.
//
// Not thread-safe: the screen calls it from the acquisition thread and the GUI thread under its
// own mutex. Every setter limits its value, so that a damaged settings file cannot lead to a
// division by zero or an index outside the image or the kept sweeps.
class TimeDomainAccumulator
{
public:
    static constexpr int MAX_SAMPLES = 500;
    static constexpr int MAX_PERSISTENCY = 100;
    static constexpr quint32 SAMPLE_MASK = 0x3FFF;
    static constexpr quint32 FULL_SCALE = 16383;
    static constexpr int COUNTS_PER_PERCENT = 163;
    // Samples above this count are taken as this count (100 percent).
    static constexpr quint32 SAMPLE_LIMIT = 100 * COUNTS_PER_PERCENT;
    // Infinite persistence folds its activity sum into an average after this many sweeps.
    static constexpr quint64 AVERAGING_COUNT = 10000;

    TimeDomainAccumulator();

    // Block size r: 1..4. A change starts the accumulation afresh.
    void setResolution(int r);
    int resolution() const { return m_r; }
    // Percent of full scale, 0..100, minimum below maximum (swapped when reversed, widened by 10
    // when equal). A change starts afresh.
    void setAmplitudeRange(int ampMin, int ampMax);
    int ampMin() const { return m_ampMin; }
    int ampMax() const { return m_ampMax; }
    // 0..100. A change starts afresh.
    void setPersistency(int persistency);
    int persistency() const { return m_persistency; }
    // Degrees, 0..360: the sweep is rotated left by that share of its samples.
    void setPhaseShift(int degrees);
    int phaseShift() const { return m_phaseShift; }
    // Percent, 0..100, rounded down to a multiple of the resolution.
    void setActivityLevel(int percent);
    int activityLevel() const { return m_activityLevel; }
    // 10..100: where the image's counts saturate.
    void setMaxQuantity(int maxQuantity);
    int maxQuantity() const { return m_image.maxQuantity(); }

    // Count and activity sum 0, image empty (the kept sweeps are emptied as they are reused).
    void reset();

    // One sweep of raw FPGA words (the detector value in the low 14 bits).
    void addSweep(const quint32* maxValues, int nSamples);

    // Row of the block a raw count falls into; rows outside r..261 are outside the shown range.
    int valueToPixel(quint32 value) const;
    // The lowest raw count of the block row `pixel` (an anchor row) stands for.
    quint32 pixelToValue(int pixel) const;
    // A raw count in percent of full scale.
    int valueToCoordinate(quint32 value) const;

    quint64 count() const { return m_count; }
    quint64 activitySum() const { return m_activitySum; }
    // The activity figure of the sweeps collected so far: the mean over the kept sweeps of how
    // far their samples rise above the level (finite persistence), or the running sum per sweep
    // (infinite). 0 before the first sweep.
    int activity() const;
    // The newest sweep in line mode, the oldest kept one otherwise (raw counts).
    const std::vector<quint32>& firstKeptSweep() const { return m_history.front(); }
    const PersistenceImage& image() const { return m_image; }

private:
    void updateScale();
    void retireOldest();
    int computePixel(quint32 value) const;
    int computeCoordinate(quint32 value) const;

    int m_r;
    int m_ampMin;
    int m_ampMax;
    int m_persistency;
    int m_phaseShift;
    int m_activityLevel;
    // lo and span of the shown range in raw counts, and the counts per image row.
    quint32 m_lo;
    quint32 m_span;
    double m_countsPerRow;
    double m_countsPerPercent;
    // Row and percent of every 14-bit count, worked out once per scale: a sweep then costs no
    // division per sample.
    std::vector<qint16> m_pixelOfValue;
    std::vector<quint8> m_coordinateOfValue;

    PersistenceImage m_image;
    std::vector<std::vector<quint32>> m_history;
    quint64 m_count;
    quint64 m_activitySum;
    std::array<quint32, MAX_SAMPLES> m_buffer;
};
