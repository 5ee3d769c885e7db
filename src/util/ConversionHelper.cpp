#include "util/ConversionHelper.h"

// The LOG detector compresses its lowest counts; these corrections bend them back onto the line
// that the calibration offset and factor describe.
const ConversionHelper::LinearisationStep ConversionHelper::WW_LinTab[17] = {
    { 3980, 1840 },
    { 4000, 1660 },
    { 4015, 1485 },
    { 4044, 1304 },
    { 4072, 1142 },
    { 4110, 980 },
    { 4151, 821 },
    { 4217, 677 },
    { 4280, 530 },
    { 4356, 416 },
    { 4444, 314 },
    { 4546, 216 },
    { 4664, 144 },
    { 4795, 65 },
    { 4958, 58 },
    { 5122, 22 },
    { 0, 0 },
};

int ConversionHelper::linearizeValue(int value)
{
    for (const LinearisationStep& step : WW_LinTab) {
        if (step.threshold == 0 && step.correction == 0)
            break;
        if (step.threshold >= value)
            return value - step.correction;
    }
    return value;
}

int ConversionHelper::linearAmplifierForLevel(double level)
{
    const double value = level >= -34.0 ? level * -15.5496 + 15.7542 : level * -15.1404 - 462.0891;
    // Compared as doubles first: a level far out of range must not overflow the conversion.
    if (!(value > 0.0))
        return 0;
    if (value >= 1023.0)
        return 1023;
    return int(value);
}
