#pragma once

#include <QPointF>
#include <QVector>

class OverridingPlotData;

// The traces of one autodetection run and the arithmetic that turns them into results. Two
// sweep phases over 150..1000 MHz (501 slots, 1.7 MHz apart) fill the peak and average traces,
// one with a long and one with a short gating time; the difference of (peak - average) between
// the two phases shows pulses that only the long gate catches, which a continuous carrier does
// not. That difference is smoothed in blocks, optionally raised towards high frequencies (the
// antenna's falling gain), and each of four frequency blocks reports its highest point above its
// threshold. All values are raw detector counts.
class AutodetectionTraces {
public:
    static const int SLOT_COUNT = 501;
    static const int BLOCK_COUNT = 4;
    static constexpr double FREQ_MIN = 150.0; // MHz
    static constexpr double FREQ_MAX = 1000.0;

    // In the order of the record's elements: high/max, high/avg, low/max, low/avg, low/diff,
    // high/diff, delta, y, z.
    enum Trace { HIGH_MAX, HIGH_AVG, LOW_MAX, LOW_AVG, LOW_DIFF, HIGH_DIFF, DELTA, Y, Z, TRACE_COUNT };
    enum Phase { PHASE_HIGH, PHASE_LOW };

    AutodetectionTraces();
    ~AutodetectionTraces();
    AutodetectionTraces(const AutodetectionTraces&) = delete;
    AutodetectionTraces& operator=(const AutodetectionTraces&) = delete;

    void clear();
    const OverridingPlotData& trace(Trace trace) const { return *m_traces[trace]; }

    // The mean of the average words and the highest maximum word of one step (14-bit values).
    static void reduceStep(
        const quint32* avgValues, const quint32* maxValues, quint16 nSamples, double* average, double* peak);

    // One step of a sweep: sums the average into the phase's average trace and keeps the highest
    // (long gate) or lowest (short gate) peak seen at that slot. Returns the slot filled; slot
    // SLOT_COUNT - 1 ends a sweep.
    int addStep(Phase phase, double average, double peak);
    // Turns the summed averages of a phase into their mean over the phase's sweeps.
    void finishPhase(Phase phase, int sweeps);

    // peak - average of each phase, and long minus short.
    void computeDifferences();
    // Replaces every run of g consecutive delta points by its mean (the last, shorter run by its
    // own); g <= 1 copies delta unchanged.
    void applyGradingFilter(int g);
    // Adds the gain correction of factor G (0: none) to the smoothed trace.
    void applyAmplifierCorrection(bool enabled, int factorG);
    // Per block the first highest point above the block's threshold (and above 0); a null point
    // where there is none.
    QVector<QPointF> findResults(const int thresholds[BLOCK_COUNT]) const;

    // The block (0..3) of a frequency in MHz: 150..361, 362..573, 574..785, 786..1000.
    static int blockOf(double frequencyMHz);
    // The gain correction at a frequency: G at 150 MHz, about 7.73 G at 1000 MHz.
    static double amplifierCorrection(double frequencyMHz, int factorG);

private:
    OverridingPlotData* m_traces[TRACE_COUNT];
};
