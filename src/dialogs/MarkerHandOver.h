#pragma once

#include "plot/SpectrumMarkers.h"

// Hands the spectrum markers to the other screens: the marker lists for the frequency editors'
// presets, and the lowest marker's frequency, the spectrum's bandwidth and a linear amplifier
// fitting the marker's level to the time-domain and level settings, so that those screens open
// where the spectrum found something. Without a shown marker the settings stay as they are.
class MarkerHandOver {
public:
    static void publish(const SpectrumMarkers::Readings& readings, int bandwidth);
};
