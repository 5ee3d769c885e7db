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
};
