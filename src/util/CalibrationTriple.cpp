#include "util/CalibrationTriple.h"

#include "util/Configuration.h"
#include "util/ConversionHelper.h"

#include <cmath>

CalibrationTriple::Case CalibrationTriple::caseOf(int antenna, bool preamplifierOn, int measMode)
{
    const bool broadband = antenna != Configuration::ANTENNA_UHF;
    switch (measMode) {
    case Configuration::MEAS_MODE_RMS:
        if (broadband)
            return {Calibration::VT_BBRMSOffset, Calibration::VT_BBRMSFaktor, Calibration::CAL_BB_LOW_RMS,
                    Calibration::CAL_BB_HIGH_RMS};
        if (!preamplifierOn)
            return {Calibration::VT_AmpOffRMSOffset, Calibration::VT_AmpOffRMSFaktor,
                    Calibration::CAL_AMPOFF_LOW_RMS, Calibration::CAL_AMPOFF_HIGH_RMS};
        return {Calibration::VT_AmpOnRMSOffset, Calibration::VT_AmpOnRMSFaktor, Calibration::CAL_AMPON_LOW_RMS,
                Calibration::CAL_AMPON_HIGH_RMS};
    case Configuration::MEAS_MODE_ENV:
        if (broadband)
            return {Calibration::VT_BBENVOffset, Calibration::VT_BBENVFaktor, Calibration::CAL_BB_LOW_ENV,
                    Calibration::CAL_BB_HIGH_ENV};
        if (!preamplifierOn)
            return {Calibration::VT_AmpOffENVOffset, Calibration::VT_AmpOffENVFaktor,
                    Calibration::CAL_AMPOFF_LOW_ENV, Calibration::CAL_AMPOFF_HIGH_ENV};
        return {Calibration::VT_AmpOnENVOffset, Calibration::VT_AmpOnENVFaktor, Calibration::CAL_AMPON_LOW_ENV,
                Calibration::CAL_AMPON_HIGH_ENV};
    default:
        if (broadband)
            return {Calibration::VT_BBLOGOffset, Calibration::VT_BBLOGFaktor, Calibration::CAL_BB_LOW_LOG,
                    Calibration::CAL_BB_HIGH_LOG};
        if (!preamplifierOn)
            return {Calibration::VT_AmpOffLOGOffset, Calibration::VT_AmpOffLOGFaktor,
                    Calibration::CAL_AMPOFF_LOW_LOG, Calibration::CAL_AMPOFF_HIGH_LOG};
        return {Calibration::VT_AmpOnLOGOffset, Calibration::VT_AmpOnLOGFaktor, Calibration::CAL_AMPON_LOW_LOG,
                Calibration::CAL_AMPON_HIGH_LOG};
    }
}

CalibrationTriple CalibrationTriple::load(int antenna, bool preamplifierOn, int measMode)
{
    const Case keys = caseOf(antenna, preamplifierOn, measMode);
    CalibrationTriple triple;
    triple.level = keys.lowLevel;
    triple.offset = Calibration::getInt(keys.offsetKey);
    triple.factor = Calibration::getDouble(keys.factorKey);
    if (!(triple.factor > 0.0) || !std::isfinite(triple.factor))
        triple.factor = Calibration::getDefaultDouble(keys.factorKey);
    return triple;
}

double CalibrationTriple::linearGain(int dac)
{
    return std::pow(10.0, (dac * 0.0358943 - 14.6) / 20.0);
}

double CalibrationTriple::logLevel(int raw) const
{
    return level + (ConversionHelper::linearizeValue(raw) - offset) / factor;
}

double CalibrationTriple::microVolts(double raw, double gain) const
{
    return ((raw - offset) / factor + level) / gain;
}
