#pragma once

#include "util/Configuration.h"

#include <QtGlobal>

// The two-point level calibration run on the level meter: for each of the nine detector cases
// (LOG, RMS, envelope on UHF with the preamplifier on, UHF with it off, and broadband) a signal
// generator feeds a low and then a high reference level, and the operator confirms each with the
// save button. The low reading becomes the case's offset, the rise to the high reading per unit
// of level its factor (RMS and envelope behind the linear amplifier's gain). Steps 1..18 (odd:
// low level, even: high level) follow the order of Calibration::CAL_LEVELS; the step in
// progress lives in the setting "system"/VT_Meas_70, 0 when no calibration runs.
//
// This class holds the step table and the readings between the presses; the level meter sets
// the receiver up for each step. A case reaches the calibration store whole at its high press,
// or not at all.
class TwoPointCalibration
{
public:
    static constexpr int STEP_COUNT = 18;
    // Presses closer together than this are taken as one (a bouncing or doubly tapped button).
    static constexpr qint64 PRESS_GUARD_MS = 2000;

    struct Case
    {
        const char* label; // "LOG Amp On", ... in the diagnostic output
        Configuration::MeasMode measMode;
        bool broadband; // the TEV input instead of the UHF antenna
        bool preamplifierOn;
    };

    enum Outcome {
        PRESS_IGNORED, // within the guard time of the previous press
        LOW_TAKEN, // the low reading is kept for the high press
        CASE_STORED, // offset and factor written to the calibration store
        CASE_REJECTED // the factor came out 0 or below: the stored calibration stays
    };
    struct Result
    {
        Outcome outcome;
        int nextStep; // the step now waiting (0 after the last)
        int offset;
        double factor;
    };

    // Steps 1..18; anything else (0, or the larger values the setting allows) is no step.
    static bool isStep(int step);
    // The case a step belongs to; step must be a step.
    static Case stepCase(int step);
    // The reference level the generator must feed at a step: dBm for LOG, µV otherwise.
    static int referenceLevel(int step);
    // Whether a step's reference level is in dBm (the LOG cases).
    static bool isLogStep(int step);
    // The factor of a case from its readings at the low and the high level: (high - low) /
    // (high reference - low reference), divided by the linear amplifier's gain for RMS and
    // envelope.
    static double factor(int highStep, int lowReading, int highReading, int linearAmplifierDac);

    // Forgets the previous press, so that the next one counts at once.
    void resetPressGuard();
    // One press of the save button at `step` with the latest mean raw reading, the linear
    // amplifier's DAC value (read back from the board) and a monotonic time in ms. A high press
    // writes its case to the calibration store when the factor is positive and reports the
    // outcome on standard output.
    Result press(int step, int averageRaw, int linearAmplifierDac, qint64 nowMs);

private:
    int m_lowReading = 0;
    bool m_pressed = false;
    qint64 m_lastPressMs = 0;
};
