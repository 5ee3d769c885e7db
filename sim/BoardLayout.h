#pragma once

#include <QtGlobal>

// The board's fixed facts that the simulator plays: register offsets and bits of the FPGA, the
// sizes of its memories, the GPIO lines and IIO devices, and the simulator's own status words.
// They must match what the instrument expects; nothing here is shared with the instrument's code.
namespace BoardLayout {

// FPGA memories.
constexpr qint64 SampleMemorySize = 65536;   // /dev/bram0
constexpr qint64 RegisterMemorySize = 16384; // /dev/bram1
constexpr int MaxSamples = 2048;
constexpr quint32 MinBufferOffset = 0x0000;
constexpr quint32 AvgBufferOffset = 0x2000;
constexpr quint32 MaxBufferOffset = 0x4000;
constexpr double SampleClockSeconds = 40e-9;

// Registers (byte offsets in /dev/bram1).
constexpr quint32 RegVersion = 0x00;
constexpr quint32 RegControl = 0x04;
constexpr quint32 RegClocksPerSampleMinusOne = 0x08;
constexpr quint32 RegSampleCount = 0x0C;
constexpr quint32 RegVolume = 0x24;
constexpr quint32 RegFilterData = 0x28;
constexpr quint32 RegFilterLoad = 0x2C;
constexpr quint32 RegAuxLevel = 0x30;

// Control word bits.
constexpr quint32 CtrlEnable = 1;
constexpr quint32 CtrlPhaseSync = 4;
constexpr quint32 CtrlSoftwareStart = 8;
constexpr quint32 CtrlSixtyHertz = 16;
constexpr quint32 CtrlRadioSync = 32;
constexpr quint32 CtrlSyncMonitor = 64;
constexpr quint32 CtrlSyncPresent = 128;

// The simulated FPGA design's version word: 1.4.27.
constexpr quint32 FpgaVersion = (1u << 24) | (4u << 16) | 27u;

// The simulator's own status words in /dev/bram1, far above the FPGA's registers. A real FPGA
// has nothing there; tests and benchmarks read them to see what the simulator did.
constexpr quint32 SimMagicOffset = 0x100;       // SimMagic once the simulator serves the memories
constexpr quint32 SimBlockCountOffset = 0x104;  // blocks delivered (software starts and sync blocks)
constexpr quint32 SimStartCountOffset = 0x108;  // software-start bits consumed
constexpr quint32 SimLastFrequencyOffset = 0x10C; // receive frequency of the last block, kHz (0: PLL unreadable)
constexpr quint32 SimHeartbeatOffset = 0x110;   // advances every 10 ms while the simulator runs
constexpr quint32 SimMagic = 0x4D495343;        // "CSIM"

// GPIO lines of the receiver front end.
constexpr int GpioFirst = 207;
constexpr int GpioLast = 237;
constexpr int GpioPulseGenerator = 207;
constexpr int GpioAntenna208 = 208;
constexpr int GpioAntennaSelectB = 209;
constexpr int GpioCalibrationSwitch = 210;
constexpr int GpioAntennaSelectA = 211;
constexpr int GpioAntenna212 = 212;
constexpr int GpioPreamplifierOff = 213;
constexpr int GpioBandwidth214 = 214;
constexpr int GpioBandwidth215 = 215;
constexpr int GpioSync216 = 216;
constexpr int GpioSync217 = 217;
constexpr int GpioDetector218 = 218;
constexpr int GpioDetector219 = 219;
constexpr int GpioPulseMode = 221;
constexpr int GpioSyncDetected = 222;
constexpr int GpioDetector227 = 227;

// IIO devices.
constexpr int IioTemperature = 0;
constexpr int IioLinearAmplifier = 1;
constexpr int IioOffsetAmplifier = 2;
constexpr int IioPll = 3;

// The radio transceiver's interrupt line in /proc/interrupts.
constexpr int RadioInterruptLine = 89;

} // namespace BoardLayout
