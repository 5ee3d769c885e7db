#pragma once

#include <QtGlobal>

#include <cstddef>

// Board I/O: the receiver front end, the PLL synthesiser, the DACs, the temperature sensor, the
// battery gauge and the backlight, all reached through sysfs files. Free functions without
// state: every call opens its file, reads or writes one value and closes it, so the GPIO value
// files are the state and the getters read them back. Every board path goes through the
// platform root. Failures are reported only by the results (false, or -1 for an unreadable
// value); callers may ignore them.
//
// Threads: the GUI thread, except pllSetFrequency/pllGetFrequency, which the acquisition thread
// calls once per step. The files are independent; no lock is needed.

// IIO device numbers.
enum BoardIioDevice { IIO_TEMPERATURE = 0, IIO_LINEAR_AMPLIFIER = 1, IIO_OFFSET_AMPLIFIER = 2, IIO_PLL = 3 };

// Battery status classes returned by batteryStatus().
enum BatteryStatus {
    BATTERY_UNKNOWN = 0,
    BATTERY_CHARGING = 1,
    BATTERY_DISCHARGING = 2,
    BATTERY_NOT_CHARGING = 3,
    BATTERY_FULL = 4
};

// File primitives. The path is a board path ("/sys/..."); it is mapped below the platform root.
// Each returns true when the file could be opened (a write error after opening goes unnoticed);
// a missing file is never created, as with sysfs.
bool writeFileString(const char* path, const char* text);
bool writeFileInt(const char* path, int value);
bool readFileBytes(const char* path, void* buffer, size_t n);
// True only when the file could be opened and holds a decimal int; *value is untouched otherwise.
bool readFileInt(const char* path, int* value);

// GPIO layer. edge: 0 rising, 1 falling, 2 leave the edge file alone (what the board uses).
bool gpioExport(int gpio, bool output, int edge);
bool gpioSetValue(int gpio, bool value);
// True unless the value file reads '0'; false when it cannot be read.
bool gpioGetValue(int gpio);

// IIO layer.
bool dacSetValue(int device, int value); // values above 1023 are written as 1023
int dacGetValue(int device); // -1 when unreadable
// The synthesiser runs at twice the receive frequency: writes 2 x frequencyHz.
bool pllSetFrequency(int device, quint32 frequencyHz);
// The receive frequency in Hz (file value / 2), or -1 when the synthesiser cannot be read.
int pllGetFrequency(int device);
int temperatureRaw(); // -1 when unreadable

// Battery gauge (instance 0, a DS2782). The integer values are -1 when unreadable.
int batteryStatus(int gauge); // BatteryStatus
int batteryCapacity(int gauge); // percent
int batteryVoltage(int gauge); // voltage_now / 500
int batteryCurrent(int gauge); // current_now / 1000
int batteryTemperature(int gauge);

// Backlight in percent (hardware range 0..127).
bool setBrightness(int percent);
int brightness(); // -1 when unreadable

// Role functions used by the screens.
void setAntennaPath(int antenna); // Configuration::Antenna
void setBandwidth(int bandwidth); // 1000, 5000 or 20000 (kHz)
void setMeasMode(int mode); // Configuration::MeasMode
void setSyncSource(int sync); // Configuration::Sync
void setPulseGenerator(bool on);
bool pulseGenerator();
void setPreamplifierOff(bool off);
bool preamplifierOff();
void setPulseMode(bool on);
bool pulseMode();
bool syncDetected();
void setAntennaSelectA(bool on); // GPIO 211
bool antennaSelectA();
void setAntennaSelectB(bool on); // GPIO 209
bool antennaSelectB();
void setCalibrationSwitch(bool on);
void setLinearAmplifier(int value);
int linearAmplifier();
void setOffsetAmplifier(int value);

// Exports and presets every line of the receiver, presets the linear amplifier and switches
// the sync radio's receive mode off. Run once at start-up.
void boardInit();
