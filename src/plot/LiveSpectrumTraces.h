#pragma once

class OverridingPlotData;

// The spectrum screen's five live traces (maximum, average, reference maximum, reference average,
// difference) and how one measured step enters them. Every value lands in the slot of its own
// frequency: slots whose steps brought no data (a synthesiser that lost lock) keep their last
// value, or in the first sweep take the next one. Not locked: the screen guards it.
class LiveSpectrumTraces {
public:
    enum Trace { MAX, AVG, REF_MAX, REF_AVG, DIFF, COUNT };

    explicit LiveSpectrumTraces(int slotCount);
    ~LiveSpectrumTraces();
    LiveSpectrumTraces(const LiveSpectrumTraces&) = delete;
    LiveSpectrumTraces& operator=(const LiveSpectrumTraces&) = delete;

    OverridingPlotData* series(Trace trace) const { return m_series[trace]; }
    void clear();

    // One step's average and maximum (dBm) for a sweep from xMin to xMax: into the reference pair
    // during a reference step; with max hold a lower maximum does not replace a higher one.
    void add(int slot, double xMin, double xMax, double average, double maximum, bool reference, bool maxHold);
    // The difference of traces a and b at the slot, when both hold it.
    void addDifference(int slot, double xMin, double xMax, Trace a, Trace b);

    // The larger minus the smaller value, negative while the larger one is below 0 (dBm).
    static double differenceValue(double a, double b);

private:
    void put(Trace trace, int slot, double xMin, double xMax, double y);

    OverridingPlotData* m_series[COUNT];
    int m_slotCount;
};
