#pragma once

#include "ReceiverState.h"

#include <vector>

// Turns what the detector sees (a level in dBm for LOG, a voltage in µV for RMS and envelope)
// into the 14-bit counts the FPGA samples, so that the instrument's default calibration and its
// LOG linearisation table give the level back:
//   LOG:  linearised counts = offset + 195 * (dBm - reference level), with the default offset and
//         reference level of the path (UHF preamplifier on 7150 / -75 dBm, off 7000 / -45 dBm,
//         broadband 7000 / -50 dBm); the raw counts are those that the linearisation turns into it.
//   RMS, envelope: counts = µV * factor * g, g = 10^((dac * 0.0358943 - 14.6) / 20) with the
//         linear amplifier's DAC, factor = this board's counts per µV of the path (RMS 9 / 0.52 /
//         0.48, envelope 4 / 0.44 / 0.40 for UHF with / without the preamplifier / broadband;
//         the instrument's defaults 1 of the last two paths need a level calibration).
// The offset amplifier (DAC device 2) shifts the detector output: LOG by 8 counts per DAC step
// around 630, RMS and envelope by 1.95055 counts per step below a resting level of 507 and 146,
// so that the offset calibration finds about 630, 250 and 65 (the default null offsets).
class DetectorScale
{
public:
    static constexpr int FullScale = 16383;
    static constexpr double LogCountsPerDb = 195.0;
    static constexpr double LogCountsPerOffsetStep = 8.0;
    static constexpr int LogNullOffset = 630;
    static constexpr double LinearCountsPerOffsetStep = 1.95055;
    static constexpr double RmsRestingCounts = 507.0;
    static constexpr double EnvelopeRestingCounts = 146.0;
    static constexpr double LogRestingCounts = 5024.0; // LOG reading of a disconnected input at DAC 0
    // Counts per µV (before the linear amplifier's gain) of this board's RMS and envelope paths.
    // Without the preamplifier they lie well below 1, so that the calibration's 150000 µV
    // reference stays inside the 14-bit range at the amplifier's lowest gain.
    static constexpr double RmsCountsPerMicroVolt = 9.0;
    static constexpr double RmsAmpOffCountsPerMicroVolt = 0.52;
    static constexpr double RmsBroadbandCountsPerMicroVolt = 0.48;
    static constexpr double EnvelopeCountsPerMicroVolt = 4.0;
    static constexpr double EnvelopeAmpOffCountsPerMicroVolt = 0.44;
    static constexpr double EnvelopeBroadbandCountsPerMicroVolt = 0.40;

    DetectorScale();

    // The instrument's correction of raw LOG counts (threshold, correction pairs).
    static int linearize(int raw);
    // The raw count whose linearised value is closest to linear.
    int rawForLinear(double linear) const;

    // Raw LOG counts (before the offset amplifier) for a level in dBm.
    double logRaw(double dBm, const ReceiverState& state) const;
    // The offset amplifier's shift in counts for the state's detector.
    static double offsetShift(const ReceiverState& state);
    // Counts per µV of the RMS or envelope detector (factor times linear gain).
    static double countsPerMicroVolt(const ReceiverState& state);
    static double linearGain(int dac);

    static double dBmToMicroVolt(double dBm);
    static double milliWattToMicroVolt(double mW);
    static double microVoltToMilliWatt(double microVolt);

private:
    std::vector<int> m_linearOfRaw; // index raw 0..16383
};
