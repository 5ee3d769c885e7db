#pragma once

#include <QList>

class OverridingPlotData;
class QwtPlot;
class QwtPlotMarker;

// The four frequency markers of the spectrum plot: vertical dash-dot lines with a small
// triangle, one of them "active" (larger triangle) that taps move. A marker stands at a whole
// MHz and is shown while that frequency is above 0.
class SpectrumMarkers {
public:
    static const int COUNT = 4;

    // What the markers read on a trace, for the other screens' settings: one entry per shown
    // marker in marker order, and the marker with the lowest frequency (the first on a tie).
    struct Readings {
        QList<int> frequencies; // MHz
        QList<int> amplitudes; // dBm, truncated
        int lowest = -1; // index into the lists, -1 without a shown marker
    };

    // Creates the markers hidden and attaches them to the plot (which then owns them).
    explicit SpectrumMarkers(QwtPlot* plot);

    int active() const { return m_active; }
    // -1 for none; indexes above the last marker make the last one active.
    void setActive(int index);
    // Puts a marker at freq (MHz) on the baseline y; 0 hides it.
    void move(int index, unsigned freq, double baseline);
    bool isShown(int index) const;
    double frequency(int index) const;
    // Every marker back on the baseline, shown exactly when its frequency is above 0.
    void setBaseline(double baseline);

    // The marker a tap moves: marker 1 while none is active; a long press takes the first hidden
    // one (the last marker when all are shown); a short tap the active one.
    int markerForTap(bool longPress) const;

    // Reads the shown markers' amplitudes on the trace.
    Readings read(const OverridingPlotData& trace) const;

    QwtPlotMarker* marker(int index) const { return m_markers[index]; }

private:
    void setLook(int index, bool active);

    QwtPlotMarker* m_markers[COUNT];
    int m_active;
};
