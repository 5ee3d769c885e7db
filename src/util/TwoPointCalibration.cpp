#include "util/TwoPointCalibration.h"

#include "util/Calibration.h"
#include "util/CalibrationTriple.h"

#include <cmath>
#include <cstdio>

namespace {

// In step order: steps 2k+1 and 2k+2 belong to case k.
const TwoPointCalibration::Case CASES[] = {
    {"LOG Amp On", Configuration::MEAS_MODE_LOG, false, true},
    {"LOG Amp Off", Configuration::MEAS_MODE_LOG, false, false},
    {"RMS Amp On", Configuration::MEAS_MODE_RMS, false, true},
    {"RMS Amp Off", Configuration::MEAS_MODE_RMS, false, false},
    {"ENV Amp On", Configuration::MEAS_MODE_ENV, false, true},
    {"ENV Amp Off", Configuration::MEAS_MODE_ENV, false, false},
    {"LOG BB", Configuration::MEAS_MODE_LOG, true, false},
    {"RMS BB", Configuration::MEAS_MODE_RMS, true, false},
    {"ENV BB", Configuration::MEAS_MODE_ENV, true, false},
};

CalibrationTriple::Case storeCase(const TwoPointCalibration::Case& c)
{
    return CalibrationTriple::caseOf(c.broadband ? Configuration::ANTENNA_TEV : Configuration::ANTENNA_UHF,
                                     c.preamplifierOn, c.measMode);
}

} // namespace

bool TwoPointCalibration::isStep(int step)
{
    return step >= 1 && step <= STEP_COUNT;
}

TwoPointCalibration::Case TwoPointCalibration::stepCase(int step)
{
    Q_ASSERT(isStep(step));
    return CASES[(qBound(1, step, STEP_COUNT) - 1) / 2];
}

int TwoPointCalibration::referenceLevel(int step)
{
    return Calibration::CAL_LEVELS[qBound(1, step, STEP_COUNT) - 1];
}

bool TwoPointCalibration::isLogStep(int step)
{
    return stepCase(step).measMode == Configuration::MEAS_MODE_LOG;
}

double TwoPointCalibration::factor(int highStep, int lowReading, int highReading, int linearAmplifierDac)
{
    const int rise = highReading - lowReading;
    const int span = referenceLevel(highStep) - referenceLevel(highStep - 1);
    double result = double(rise) / double(span);
    if (!isLogStep(highStep))
        result /= CalibrationTriple::linearGain(linearAmplifierDac);
    return result;
}

void TwoPointCalibration::resetPressGuard()
{
    m_pressed = false;
}

TwoPointCalibration::Result TwoPointCalibration::press(int step, int averageRaw, int linearAmplifierDac, qint64 nowMs)
{
    if (!isStep(step) || (m_pressed && nowMs - m_lastPressMs < PRESS_GUARD_MS))
        return {PRESS_IGNORED, step, 0, 0.0};
    m_pressed = true;
    m_lastPressMs = nowMs;

    if (step % 2 == 1) {
        m_lowReading = averageRaw;
        return {LOW_TAKEN, step + 1, averageRaw, 0.0};
    }

    const Case c = stepCase(step);
    const int next = step == STEP_COUNT ? 0 : step + 1;
    const double f = factor(step, m_lowReading, averageRaw, linearAmplifierDac);
    std::printf("%s low=%d high=%d levels=%d %d\n", c.label, m_lowReading, averageRaw, referenceLevel(step - 1),
                referenceLevel(step));
    if (!(f > 0.0) || !std::isfinite(f)) {
        std::printf("%s Avg ampFaktor: %g\n", c.label, f);
        std::fflush(stdout);
        return {CASE_REJECTED, next, m_lowReading, f};
    }
    const CalibrationTriple::Case keys = storeCase(c);
    Calibration::setValue(keys.offsetKey, m_lowReading);
    Calibration::setValue(keys.factorKey, f);
    std::printf("%s m_avgOffset=%d m_avgFaktor=%g\n", c.label, m_lowReading, f);
    std::fflush(stdout);
    return {CASE_STORED, next, m_lowReading, f};
}
