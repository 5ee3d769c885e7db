#include "DetectorScale.h"

#include <algorithm>
#include <cmath>

namespace {

struct LinearisationStep
{
    int threshold;
    int correction;
};

const LinearisationStep linearisation[] = {
    {3980, 1840}, {4000, 1660}, {4015, 1485}, {4044, 1304}, {4072, 1142}, {4110, 980},
    {4151, 821},  {4217, 677},  {4280, 530},  {4356, 416},  {4444, 314},  {4546, 216},
    {4664, 144},  {4795, 65},   {4958, 58},   {5122, 22},
};

} // namespace

DetectorScale::DetectorScale()
    : m_linearOfRaw(FullScale + 1)
{
    for (int raw = 0; raw <= FullScale; ++raw)
        m_linearOfRaw[size_t(raw)] = linearize(raw);
}

int DetectorScale::linearize(int raw)
{
    for (const LinearisationStep& step : linearisation) {
        if (step.threshold >= raw)
            return raw - step.correction;
    }
    return raw;
}

int DetectorScale::rawForLinear(double linear) const
{
    // The linearised value rises strictly with the raw count (with gaps at the table steps).
    const auto first = std::lower_bound(m_linearOfRaw.begin(), m_linearOfRaw.end(), linear,
                                        [](int value, double wanted) { return double(value) < wanted; });
    if (first == m_linearOfRaw.end())
        return FullScale;
    const int raw = int(first - m_linearOfRaw.begin());
    if (raw > 0 && linear - m_linearOfRaw[size_t(raw - 1)] < *first - linear)
        return raw - 1;
    return raw;
}

double DetectorScale::logRaw(double dBm, const ReceiverState& state) const
{
    double offset = 7000.0;
    double reference = -50.0;
    if (state.path == ReceiverState::InputPath::Uhf) {
        offset = state.preamplifierOn ? 7150.0 : 7000.0;
        reference = state.preamplifierOn ? -75.0 : -45.0;
    }
    const double linear = offset + LogCountsPerDb * (dBm - reference);
    if (linear >= FullScale)
        return FullScale;
    return rawForLinear(linear);
}

double DetectorScale::offsetShift(const ReceiverState& state)
{
    switch (state.detector) {
    case ReceiverState::Detector::Log:
        return LogCountsPerOffsetStep * (LogNullOffset - state.offsetAmplifierDac);
    case ReceiverState::Detector::Rms:
        return RmsRestingCounts - LinearCountsPerOffsetStep * state.offsetAmplifierDac;
    case ReceiverState::Detector::Envelope:
        return EnvelopeRestingCounts - LinearCountsPerOffsetStep * state.offsetAmplifierDac;
    case ReceiverState::Detector::Calibration:
        break;
    }
    return 0.0;
}

double DetectorScale::countsPerMicroVolt(const ReceiverState& state)
{
    const bool envelope = state.detector == ReceiverState::Detector::Envelope;
    double factor = envelope ? EnvelopeBroadbandCountsPerMicroVolt : RmsBroadbandCountsPerMicroVolt;
    if (state.path == ReceiverState::InputPath::Uhf)
        factor = state.preamplifierOn ? (envelope ? EnvelopeCountsPerMicroVolt : RmsCountsPerMicroVolt)
                                      : (envelope ? EnvelopeAmpOffCountsPerMicroVolt : RmsAmpOffCountsPerMicroVolt);
    return factor * linearGain(state.linearAmplifierDac);
}

double DetectorScale::linearGain(int dac)
{
    return std::pow(10.0, (dac * 0.0358943 - 14.6) / 20.0);
}

double DetectorScale::dBmToMicroVolt(double dBm)
{
    return milliWattToMicroVolt(std::pow(10.0, dBm / 10.0));
}

double DetectorScale::microVoltToMilliWatt(double microVolt)
{
    const double volt = microVolt * 1e-6;
    return volt * volt / 50.0 * 1e3;
}

double DetectorScale::milliWattToMicroVolt(double mW)
{
    // Into 50 ohms: V = sqrt(P * 50).
    return 1e6 * std::sqrt(std::max(0.0, mW) * 1e-3 * 50.0);
}
