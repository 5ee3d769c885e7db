#pragma once

#include "SimRoot.h"

// What the receiver is set to, read back from the board's sysfs files the instrument writes
// (GPIO lines, the two DACs, the PLL frequency file) at the moment a block starts.
struct ReceiverState
{
    enum class Detector { Log, Rms, Envelope, Calibration };
    enum class InputPath { Uhf, Tev, Hfct };
    enum class SyncSource { Internal, SensorE, SensorH, MainsRadio };

    bool pllReadable = false;
    double frequencyMHz = 0.0; // receive frequency (half the synthesiser's)
    int bandwidthKHz = 5000;
    Detector detector = Detector::Log;
    InputPath path = InputPath::Uhf;
    bool mainAntenna = true;      // GPIO 211 on the UHF path: 1 main antenna, 0 reference antenna
    bool injection = false;       // GPIO 209 on the UHF path: the pulse generator is fed in
    bool preamplifierOn = true;   // GPIO 213 = 0
    bool calibrationSwitch = false; // GPIO 210: input disconnected for the offset calibration
    bool pulseGenerator = false;  // GPIO 207
    SyncSource syncSource = SyncSource::Internal;
    int linearAmplifierDac = 127;  // IIO device 1
    int offsetAmplifierDac = 630;  // IIO device 2

    // Reads every line and DAC below the root (missing files keep the defaults above).
    static ReceiverState read(const SimRoot& root);
    // The sync source selected by GPIO 216/217 alone (cheap; for the housekeeping).
    static SyncSource readSyncSource(const SimRoot& root);
};
