#include "plot/SpectrumZoom.h"

#include "util/Configuration.h"

#include <algorithm>
#include <cmath>

namespace {

// Whole units by truncation towards zero; values beyond int (a rectangle far off the canvas)
// are held at the int range.
int truncated(double value)
{
    if (!(value > -2.0e9))
        return -2000000000;
    if (value > 2.0e9)
        return 2000000000;
    return int(value);
}

// [low, high] inside [lowest, highest], at least `least` wide (as far as the limits allow).
void fitInto(int* low, int* high, int lowest, int highest, int least)
{
    *low = std::clamp(*low, lowest, highest);
    *high = std::clamp(*high, lowest, highest);
    if (*high - *low < least) {
        *high = std::min(*low + least, highest);
        *low = std::max(*high - least, lowest);
    }
}

} // namespace

SpectrumRange SpectrumZoom::limits()
{
    return { Configuration::getMin(Configuration::VT_FreqMin), Configuration::getMax(Configuration::VT_FreqMax),
        Configuration::getMin(Configuration::VT_AmpMinDbm), Configuration::getMax(Configuration::VT_AmpMaxDbm) };
}

SpectrumZoom::Gesture SpectrumZoom::classify(const QRectF& rect, int firstX, int lastX, const SpectrumRange& shown)
{
    const double frequencySpan = std::abs(shown.freqMax - shown.freqMin);
    const double amplitudeSpan = std::abs(shown.ampMax - shown.ampMin);
    if (rect.width() < frequencySpan / 100.0 || rect.height() < amplitudeSpan / 100.0)
        return GESTURE_TAP;
    if (firstX > lastX)
        return GESTURE_ZOOM_OUT;
    if (firstX == lastX)
        return GESTURE_NONE;
    return GESTURE_ZOOM_IN;
}

SpectrumRange SpectrumZoom::zoomedIn(const QRectF& rect, const SpectrumRange& limits)
{
    SpectrumRange range;
    range.freqMin = floorTo(truncated(rect.left()), FREQUENCY_GRID);
    range.freqMax = ceilTo(truncated(rect.right()), FREQUENCY_GRID);
    range.ampMin = floorTo(truncated(rect.top()), AMPLITUDE_GRID);
    range.ampMax = ceilTo(truncated(rect.bottom()), AMPLITUDE_GRID);
    // A rectangle inside one grid step would round to nothing: one step wide then.
    fitInto(&range.freqMin, &range.freqMax, limits.freqMin, limits.freqMax, FREQUENCY_GRID);
    fitInto(&range.ampMin, &range.ampMax, limits.ampMin, limits.ampMax, AMPLITUDE_GRID);
    return range;
}

int SpectrumZoom::tapFrequency(const QRectF& rect, const SpectrumRange& limits)
{
    return std::clamp(truncated(rect.center().x()), limits.freqMin, limits.freqMax);
}

int SpectrumZoom::floorTo(int value, int grid)
{
    const int quotient = value / grid;
    return (value % grid < 0 ? quotient - 1 : quotient) * grid;
}

int SpectrumZoom::ceilTo(int value, int grid)
{
    const int quotient = value / grid;
    return (value % grid > 0 ? quotient + 1 : quotient) * grid;
}
