#pragma once

#include "util/Calibration.h"

// The calibration a detector reading is converted with: the low reference level of the detector
// case, the offset (raw counts at that level) and the factor (counts per dB for LOG, counts per
// µV behind the linear amplifier for RMS and envelope). The case is the detector with the signal
// path: broadband (any sensor but the UHF antenna), UHF with the preamplifier off, UHF with it
// on. The level meter and the time-domain screen choose their triple with it.
struct CalibrationTriple
{
    // The store keys and the two reference levels of a case.
    struct Case
    {
        Calibration::ValueType offsetKey;
        Calibration::ValueType factorKey;
        int lowLevel;
        int highLevel;
    };

    int level = 0;
    int offset = 0;
    double factor = 1.0;

    // antenna: Configuration::Antenna (not UHF = broadband); measMode: Configuration::MeasMode
    // (RMS and ENV by name, anything else is LOG).
    static Case caseOf(int antenna, bool preamplifierOn, int measMode);
    // The case's low level with its offset and factor from the calibration store. A factor of 0
    // (RMS and envelope factors may be stored as 0, and a damaged calib.ini reads as its lower
    // limit) would make every level infinite: the key's default factor stands in for it.
    static CalibrationTriple load(int antenna, bool preamplifierOn, int measMode);

    // The linear amplifier's voltage gain at a DAC value: 10^((dac x 0.0358943 - 14.6) / 20).
    static double linearGain(int dac);

    // dBm of a raw LOG count: level + (linearised count - offset) / factor.
    double logLevel(int raw) const;
    // µV of a raw RMS or envelope count behind the linear amplifier's gain:
    // ((raw - offset) / factor + level) / gain.
    double microVolts(double raw, double gain) const;
};
