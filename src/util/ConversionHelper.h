#pragma once

// Conversions of raw detector counts.
class ConversionHelper {
public:
    // One row of the LOG detector's linearisation table: counts up to and including threshold
    // are lowered by correction.
    struct LinearisationStep {
        int threshold;
        int correction;
    };

    // The LOG detector's correction table, in ascending threshold order, ended by (0, 0).
    static const LinearisationStep WW_LinTab[17];

    // Corrects a raw LOG count: the first row whose threshold is at or above the value gives
    // the correction to subtract; values above the last threshold stay unchanged.
    static int linearizeValue(int value);

    // The linear amplifier's DAC value that brings a signal of the given level (dBm) into the
    // detector's range: two straight lines meeting at -34 dBm (above it the preamplifier is
    // off), truncated toward zero and limited to the DAC's 0..1023.
    static int linearAmplifierForLevel(double level);
};
