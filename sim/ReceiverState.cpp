#include "ReceiverState.h"

#include "BoardLayout.h"

namespace {

// A line reads as 1 unless its file holds "0" (or cannot be read: then the fallback).
bool line(const SimRoot& root, int gpio, bool fallback)
{
    qint64 value = 0;
    if (!root.readInt(root.gpioPath(gpio, "value"), &value))
        return fallback;
    return value != 0;
}

} // namespace

ReceiverState::SyncSource ReceiverState::readSyncSource(const SimRoot& root)
{
    const bool s216 = line(root, BoardLayout::GpioSync216, true);
    const bool s217 = line(root, BoardLayout::GpioSync217, false);
    if (s216 && !s217)
        return SyncSource::Internal;
    if (!s216 && s217)
        return SyncSource::SensorE;
    if (s216 && s217)
        return SyncSource::SensorH;
    return SyncSource::MainsRadio;
}

ReceiverState ReceiverState::read(const SimRoot& root)
{
    using namespace BoardLayout;
    ReceiverState state;

    qint64 pll = 0;
    state.pllReadable = root.readInt(root.pllFrequencyPath(), &pll);
    state.frequencyMHz = state.pllReadable ? double(pll / 2) / 1e6 : 0.0;

    const bool b214 = line(root, GpioBandwidth214, false);
    const bool b215 = line(root, GpioBandwidth215, true);
    if (b214 && b215)
        state.bandwidthKHz = 1000;
    else if (b214)
        state.bandwidthKHz = 20000;
    else
        state.bandwidthKHz = 5000;

    const bool d218 = line(root, GpioDetector218, true);
    const bool d219 = line(root, GpioDetector219, false);
    if (d218 && !d219)
        state.detector = Detector::Log;
    else if (!d218 && d219)
        state.detector = Detector::Rms;
    else if (d218 && d219)
        state.detector = Detector::Envelope;
    else
        state.detector = Detector::Calibration;

    const bool a208 = line(root, GpioAntenna208, true);
    const bool a212 = line(root, GpioAntenna212, false);
    if (a208)
        state.path = InputPath::Uhf;
    else if (a212)
        state.path = InputPath::Tev;
    else
        state.path = InputPath::Hfct;
    state.mainAntenna = line(root, GpioAntennaSelectA, true);
    state.injection = line(root, GpioAntennaSelectB, false);
    state.preamplifierOn = !line(root, GpioPreamplifierOff, false);
    state.calibrationSwitch = line(root, GpioCalibrationSwitch, false);
    state.pulseGenerator = line(root, GpioPulseGenerator, false);
    state.syncSource = readSyncSource(root);

    qint64 dac = 0;
    if (root.readInt(root.iioPath(IioLinearAmplifier, "out_voltage0_raw"), &dac))
        state.linearAmplifierDac = int(qBound<qint64>(0, dac, 1023));
    if (root.readInt(root.iioPath(IioOffsetAmplifier, "out_voltage0_raw"), &dac))
        state.offsetAmplifierDac = int(qBound<qint64>(0, dac, 1023));
    return state;
}
