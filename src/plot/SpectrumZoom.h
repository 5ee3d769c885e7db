#pragma once

#include <QRectF>

// The ranges a spectrum plot shows: frequencies in whole MHz, amplitudes in whole dBm.
struct SpectrumRange {
    int freqMin;
    int freqMax;
    int ampMin;
    int ampMax;

    bool operator==(const SpectrumRange& other) const
    {
        return freqMin == other.freqMin && freqMax == other.freqMax && ampMin == other.ampMin && ampMax == other.ampMax;
    }
    bool operator!=(const SpectrumRange& other) const { return !(*this == other); }
};

// What a finger on the spectrum plot means. A rectangle narrower or lower than a hundredth of the
// shown range is a tap (it places a marker). A drag to the right zooms in to the dragged
// rectangle, widened to whole 50 MHz and 10 dB steps; a drag to the left zooms out to the full
// range. Plain arithmetic, so that the rules can be checked without a plot.
class SpectrumZoom {
public:
    enum Gesture { GESTURE_NONE, GESTURE_TAP, GESTURE_ZOOM_IN, GESTURE_ZOOM_OUT };

    static const int FREQUENCY_GRID = 50; // MHz
    static const int AMPLITUDE_GRID = 10; // dB

    // The widest range the settings allow.
    static SpectrumRange limits();

    // rect: the picked rectangle in plot coordinates (normalised); firstX and lastX: where the
    // drag began and ended (any coordinates that keep their order).
    static Gesture classify(const QRectF& rect, int firstX, int lastX, const SpectrumRange& shown);
    // The range a rightward drag over rect zooms to: rounded outwards to the grids, inside the
    // limits, never empty.
    static SpectrumRange zoomedIn(const QRectF& rect, const SpectrumRange& limits);
    // The frequency a tap at the rectangle's centre stands for (whole MHz, inside the limits).
    static int tapFrequency(const QRectF& rect, const SpectrumRange& limits);

    // Rounding to a grid that is also right for negative values.
    static int floorTo(int value, int grid);
    static int ceilTo(int value, int grid);
};
