#pragma once

#include "DetectorScale.h"
#include "ReceiverState.h"

#include <QtGlobal>

#include <random>
#include <vector>

// The signals a partial-discharge engineer expects to see on the simulated receiver:
//  - a noise floor from the receiver's noise figure and IF bandwidth (preamplifier on: about
//    -102 dBm at 5 MHz, off: about 23 dB higher; broadband paths about -86 dBm);
//  - three discharge sources with broad UHF spectra (220, 600 and 850 MHz, peaks up to -60, -50 and
//    -64 dBm at 5 MHz), whose pulses cluster
//    at fixed phases of the mains cycle with random amplitudes: a high maximum, a low average;
//    the pulse peak grows with the IF bandwidth (20 dB per decade), the noise by 10 dB per decade;
//  - a continuous carrier at 446.1 MHz (high average, small peak-to-average difference);
//  - the internal pulse generator (GPIO 207) as a comb of lines every 50 MHz, strong when it is
//    fed in (GPIO 209), weak leakage otherwise;
//  - the reference antenna (GPIO 211 = 0) sees the carrier but the discharges 20 dB weaker;
//  - the TEV and HFCT paths see the discharge pulses without frequency selection;
//  - the calibration switch (GPIO 210) disconnects the input;
//  - the reference generator of the level calibration, when switched on, replaces the antenna:
//    a tone at the receive frequency at the low or high reference level of the case the
//    receiver is set to (detector, path, preamplifier), over the receiver's own noise.
// Each sample slot gets the minimum, average and maximum of the detector over its duration.
class SignalModel
{
public:
    struct Timing
    {
        int samples = 500;
        int clocksPerSample = 1000;
        double startSeconds = 0.0; // time of slot 0 on the mains clock (seconds)
        double mainsHz = 50.0;
    };
    struct Block
    {
        std::vector<quint32> minimum;
        std::vector<quint32> average;
        std::vector<quint32> maximum;
    };

    enum class Reference { Off, Low, High };

    explicit SignalModel(quint64 seed);

    void setReference(Reference reference) { m_reference = reference; }
    Reference reference() const { return m_reference; }
    // The generator's tone for the state (mW at the detector input; 0 for the 0 µV levels and
    // while the generator is off).
    static double referenceMilliWatt(const ReceiverState& state, Reference reference);

    void generate(const ReceiverState& state, const Timing& timing, Block* block);

    // Mean noise power at the detector input (dBm) for the state; tests use it as a yardstick.
    static double noiseFloorDbm(const ReceiverState& state);

private:
    struct Pulse
    {
        int slot;
        double milliWatt;
    };

    double continuousMilliWatt(const ReceiverState& state) const;
    void collectPulses(const ReceiverState& state, const Timing& timing, std::vector<Pulse>* pulses);
    quint32 toCounts(double counts);
    double gauss() { return m_gauss(m_random); }

    DetectorScale m_scale;
    std::mt19937_64 m_random;
    std::normal_distribution<double> m_gauss{0.0, 1.0};
    std::uniform_real_distribution<double> m_uniform{0.0, 1.0};
    double m_carrierFade = 0.0; // slow wander of the carrier level, dB
    double m_noiseWander = 0.0; // this block's noise power against its mean, dB
    Reference m_reference = Reference::Off;
};
