#include "SignalModel.h"

#include "BoardLayout.h"

#include <algorithm>
#include <cmath>

namespace {

struct Cluster
{
    double phaseDegrees;
    double spreadDegrees;
    double pulsesPerCycle;
};

struct DischargeSource
{
    double centreMHz;
    double widthMHz;
    double uhfPeakDbm; // typical pulse peak on the main antenna at 5 MHz bandwidth, at the centre
    double tevPeakDbm;
    double hfctPeakDbm;
    Cluster clusters[2];
};

// Internal void discharge (both half-cycles, rising flanks), corona at the negative crest,
// surface discharge (wide clusters, few pulses).
const DischargeSource sources[] = {
    {600.0, 120.0, -50.0, -38.0, -42.0, {{45.0, 15.0, 5.0}, {225.0, 15.0, 5.0}}},
    {220.0, 120.0, -60.0, -62.0, -50.0, {{270.0, 8.0, 12.0}, {0.0, 0.0, 0.0}}},
    {850.0, 80.0, -64.0, -46.0, -58.0, {{40.0, 25.0, 2.0}, {220.0, 25.0, 2.0}}},
};

constexpr double CarrierMHz = 446.1;
constexpr double CarrierDbm = -47.0;
constexpr double CombSpacingMHz = 50.0;
constexpr double ReferenceAntennaDischargeDb = -20.0;
constexpr double ReferenceAntennaCarrierDb = -2.0;
constexpr double CombLeakageDb = -30.0;
constexpr double BroadbandNoiseDbm = -86.0;
constexpr double RmsTimeConstant = 1e-6;

double milliWatt(double dBm)
{
    return std::pow(10.0, dBm / 10.0);
}

// The IF filter's response to a line offset by deltaMHz (Gaussian, -3 dB at half the bandwidth).
double filterDb(double deltaMHz, int bandwidthKHz)
{
    const double x = 2.0 * deltaMHz * 1000.0 / bandwidthKHz;
    return std::max(-100.0, -3.0 * x * x);
}

bool tunedToUhf(const ReceiverState& state)
{
    return state.path == ReceiverState::InputPath::Uhf && state.pllReadable && state.frequencyMHz >= 50.0
        && state.frequencyMHz <= 1100.0;
}

} // namespace

SignalModel::SignalModel(quint64 seed)
    : m_random(seed)
{
}

double SignalModel::noiseFloorDbm(const ReceiverState& state)
{
    if (state.path != ReceiverState::InputPath::Uhf)
        return BroadbandNoiseDbm;
    double noiseFigure = state.preamplifierOn ? 5.0 : 28.0;
    // The front end is not flat: a gentle ripple of about +-2 dB over the band.
    if (state.pllReadable)
        noiseFigure += 1.2 * std::sin(state.frequencyMHz / 37.0) + 0.8 * std::sin(state.frequencyMHz / 91.0 + 1.0);
    return -174.0 + 10.0 * std::log10(state.bandwidthKHz * 1000.0) + noiseFigure;
}

double SignalModel::referenceMilliWatt(const ReceiverState& state, Reference reference)
{
    if (reference == Reference::Off)
        return 0.0;
    // The reference levels of the two-point calibration: dBm for LOG, µV for RMS and envelope.
    const bool high = reference == Reference::High;
    const bool uhf = state.path == ReceiverState::InputPath::Uhf;
    if (state.detector == ReceiverState::Detector::Log) {
        double dBm = high ? -10.0 : -50.0;
        if (uhf)
            dBm = state.preamplifierOn ? (high ? -40.0 : -75.0) : (high ? -10.0 : -45.0);
        return milliWatt(dBm);
    }
    if (!high)
        return 0.0;
    return DetectorScale::microVoltToMilliWatt(uhf && state.preamplifierOn ? 4500.0 : 150000.0);
}

double SignalModel::continuousMilliWatt(const ReceiverState& state) const
{
    double power = milliWatt(noiseFloorDbm(state) + m_noiseWander);
    if (m_reference != Reference::Off)
        return power + referenceMilliWatt(state, m_reference); // the generator replaces the antenna
    if (!tunedToUhf(state))
        return power;
    const double f = state.frequencyMHz;
    double carrier = CarrierDbm + m_carrierFade + filterDb(f - CarrierMHz, state.bandwidthKHz);
    if (!state.mainAntenna)
        carrier += ReferenceAntennaCarrierDb;
    power += milliWatt(carrier);
    if (state.pulseGenerator) {
        // The nearest comb lines; the others lie far outside the IF filter.
        const int nearest = int(std::lround(f / CombSpacingMHz));
        for (int line = std::max(1, nearest - 1); line <= nearest + 1; ++line) {
            const double lineMHz = line * CombSpacingMHz;
            double level = -44.0 - 14.0 * lineMHz / 1000.0 + filterDb(f - lineMHz, state.bandwidthKHz);
            if (!state.injection)
                level += CombLeakageDb;
            power += milliWatt(level);
        }
    }
    return power;
}

void SignalModel::collectPulses(const ReceiverState& state, const Timing& timing, std::vector<Pulse>* pulses)
{
    pulses->clear();
    const double slotSeconds = timing.clocksPerSample * BoardLayout::SampleClockSeconds;
    const double endSeconds = timing.startSeconds + timing.samples * slotSeconds;
    const double mains = timing.mainsHz;
    const qint64 firstCycle = qint64(std::floor(timing.startSeconds * mains)) - 1;
    const qint64 lastCycle = qint64(std::floor(endSeconds * mains));
    const bool uhf = tunedToUhf(state);

    for (const DischargeSource& source : sources) {
        double level = 0.0;
        if (state.path == ReceiverState::InputPath::Tev) {
            level = source.tevPeakDbm;
        } else if (state.path == ReceiverState::InputPath::Hfct) {
            level = source.hfctPeakDbm;
        } else {
            if (!uhf)
                continue;
            const double offset = (state.frequencyMHz - source.centreMHz) / source.widthMHz;
            level = source.uhfPeakDbm - 12.0 * offset * offset + 20.0 * std::log10(state.bandwidthKHz / 5000.0);
            if (!state.mainAntenna)
                level += ReferenceAntennaDischargeDb;
        }
        if (level < -140.0)
            continue;
        for (const Cluster& cluster : source.clusters) {
            if (cluster.pulsesPerCycle <= 0.0)
                continue;
            std::poisson_distribution<int> count(cluster.pulsesPerCycle);
            for (qint64 cycle = firstCycle; cycle <= lastCycle; ++cycle) {
                const int n = count(m_random);
                for (int p = 0; p < n; ++p) {
                    const double phase = cluster.phaseDegrees + gauss() * cluster.spreadDegrees;
                    const double t = (double(cycle) + phase / 360.0) / mains;
                    const double slot = std::floor((t - timing.startSeconds) / slotSeconds);
                    if (slot < 0.0 || slot >= timing.samples)
                        continue;
                    // Many small pulses, few large ones.
                    const double amplitudeDb = 10.0 * std::log10(0.02 + 0.98 * m_uniform(m_random));
                    pulses->push_back({int(slot), milliWatt(level + amplitudeDb)});
                }
            }
        }
    }
}

quint32 SignalModel::toCounts(double counts)
{
    return quint32(std::lround(std::clamp(counts, 0.0, double(DetectorScale::FullScale))));
}

void SignalModel::generate(const ReceiverState& state, const Timing& timing, Block* block)
{
    const int n = std::clamp(timing.samples, 0, BoardLayout::MaxSamples);
    block->minimum.assign(size_t(n), 0);
    block->average.assign(size_t(n), 0);
    block->maximum.assign(size_t(n), 0);
    if (n == 0)
        return;

    // The carrier's level wanders slowly (a fraction of a dB from block to block).
    m_carrierFade = std::clamp(0.9 * m_carrierFade + 0.08 * gauss(), -1.0, 1.0);
    // The noise power of one block scatters a little around its mean.
    m_noiseWander = 0.15 * gauss();

    const double slotSeconds = std::max(1, timing.clocksPerSample) * BoardLayout::SampleClockSeconds;
    const double bandwidthHz = state.path == ReceiverState::InputPath::Uhf ? state.bandwidthKHz * 1000.0 : 20e6;
    const double k = std::max(2.0, slotSeconds * bandwidthHz); // independent noise values per slot
    const double pulseSeconds = 1.0 / bandwidthHz + 0.2e-6;

    const size_t count = static_cast<size_t>(n);
    std::vector<double> lo(count), mean(count), hi(count);
    const double shift = DetectorScale::offsetShift(state);

    if (state.detector == ReceiverState::Detector::Calibration) {
        for (int i = 0; i < n; ++i) {
            const double v = 40.0 + 1.5 * gauss();
            lo[size_t(i)] = v - 2.0;
            mean[size_t(i)] = v;
            hi[size_t(i)] = v + 2.0;
        }
    } else if (state.calibrationSwitch) {
        // Input disconnected: only the detector's resting output and the offset amplifier remain.
        const double resting = state.detector == ReceiverState::Detector::Log ? shift - 16.0 : shift;
        for (int i = 0; i < n; ++i) {
            const double v = resting + 1.2 * gauss();
            lo[size_t(i)] = v - 2.0 - std::abs(gauss());
            mean[size_t(i)] = v;
            hi[size_t(i)] = v + 2.0 + std::abs(gauss());
        }
    } else {
        const double pc = continuousMilliWatt(state);
        const double noiseShare = std::min(1.0, milliWatt(noiseFloorDbm(state) + m_noiseWander) / pc);
        std::vector<Pulse> pulses;
        if (m_reference == Reference::Off)
            collectPulses(state, timing, &pulses);
        const double calm = 1.0 / std::sqrt(k / 20.0 + 1.0);

        if (state.detector == ReceiverState::Detector::Log) {
            // The LOG detector averages the logarithm: noise reads 2.5 dB below its power, its
            // peaks rise with the number of independent values in a slot.
            const double base = 10.0 * std::log10(pc);
            const double maxSpread = noiseShare * 10.0 * std::log10(std::log(k) + 0.577) + (1.0 - noiseShare) * 0.4;
            const double minSpread = noiseShare * std::min(12.0, 5.0 * std::log10(k) + 3.0) + (1.0 - noiseShare) * 0.4;
            for (int i = 0; i < n; ++i) {
                mean[size_t(i)] = base - 2.5 * noiseShare + (0.05 + 0.6 * noiseShare * calm) * gauss();
                hi[size_t(i)] = base + maxSpread + 0.7 * noiseShare * gauss();
                lo[size_t(i)] = base - minSpread + 0.7 * noiseShare * gauss();
            }
            const double share = std::min(1.0, pulseSeconds / slotSeconds);
            for (const Pulse& pulse : pulses) {
                const size_t i = size_t(pulse.slot);
                const double peak = 10.0 * std::log10(pulse.milliWatt + pc);
                hi[i] = std::max(hi[i], peak);
                mean[i] += share * std::max(0.0, peak - mean[i]) * 0.5;
            }
            for (int i = 0; i < n; ++i) {
                const size_t s = size_t(i);
                lo[s] = m_scale.logRaw(lo[s], state) + shift + 0.7 * gauss();
                mean[s] = m_scale.logRaw(mean[s], state) + shift + 0.7 * gauss();
                hi[s] = m_scale.logRaw(hi[s], state) + shift + 0.7 * gauss();
            }
        } else {
            const bool envelope = state.detector == ReceiverState::Detector::Envelope;
            const double vc = DetectorScale::milliWattToMicroVolt(pc);
            const double countsPerMicroVolt = DetectorScale::countsPerMicroVolt(state);
            const double peakRise
                = envelope ? 0.8 * std::sqrt(std::log(k)) : 0.25 + 0.4 * calm; // relative to the noise
            for (int i = 0; i < n; ++i) {
                const double wobble = (envelope ? 0.1 : 0.05) * noiseShare * calm * gauss();
                mean[size_t(i)] = vc * ((envelope ? 1.0 - 0.11 * noiseShare : 1.0) + wobble);
                hi[size_t(i)] = vc * (1.0 + noiseShare * peakRise * (1.0 + 0.2 * std::abs(gauss())));
                lo[size_t(i)] = vc * (1.0 - noiseShare * (envelope ? 0.8 : 0.3) * (1.0 - 0.2 * std::abs(gauss())));
            }
            // The envelope follows a pulse fully; the RMS detector spreads it over its time constant.
            const double visible = envelope ? std::sqrt(2.0) : std::sqrt(std::min(1.0, pulseSeconds / RmsTimeConstant));
            const double hold = envelope ? pulseSeconds : RmsTimeConstant;
            const double share = std::min(1.0, hold / slotSeconds);
            for (const Pulse& pulse : pulses) {
                const size_t i = size_t(pulse.slot);
                const double vp = DetectorScale::milliWattToMicroVolt(pulse.milliWatt) * visible;
                const double combined = std::sqrt(vp * vp + vc * vc);
                hi[i] = std::max(hi[i], combined);
                mean[i] += share * (combined - vc) * 0.5;
            }
            for (int i = 0; i < n; ++i) {
                const size_t s = size_t(i);
                lo[s] = lo[s] * countsPerMicroVolt + shift + 1.2 * gauss();
                mean[s] = mean[s] * countsPerMicroVolt + shift + 1.2 * gauss();
                hi[s] = hi[s] * countsPerMicroVolt + shift + 1.2 * gauss();
            }
        }
    }

    for (int i = 0; i < n; ++i) {
        const size_t s = size_t(i);
        quint32 a = toCounts(lo[s]);
        quint32 b = toCounts(mean[s]);
        quint32 c = toCounts(hi[s]);
        // Minimum, average and maximum of one slot are ordered, whatever the noise did.
        b = std::max(a, b);
        c = std::max(b, c);
        block->minimum[s] = a;
        block->average[s] = b;
        block->maximum[s] = c;
    }
}
