#include "hardware/BoardIO.h"

#include "hardware/SyncRadio.h"
#include "util/Configuration.h"
#include "util/Platform.h"

#include <QByteArray>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// sysfs paths are built into a local buffer of this size.
constexpr size_t PATH_SIZE = 256;

constexpr int GPIO_PULSE_GENERATOR = 207;
constexpr int GPIO_ANTENNA_1 = 208;
constexpr int GPIO_ANTENNA_SELECT_B = 209;
constexpr int GPIO_CALIBRATION_SWITCH = 210;
constexpr int GPIO_ANTENNA_SELECT_A = 211;
constexpr int GPIO_ANTENNA_4 = 212;
constexpr int GPIO_PREAMPLIFIER_OFF = 213;
constexpr int GPIO_BANDWIDTH_1 = 214;
constexpr int GPIO_BANDWIDTH_2 = 215;
constexpr int GPIO_SYNC_1 = 216;
constexpr int GPIO_SYNC_2 = 217;
constexpr int GPIO_DETECTOR_1 = 218;
constexpr int GPIO_DETECTOR_2 = 219;
constexpr int GPIO_PULSE_MODE = 221;
constexpr int GPIO_SYNC_DETECTED = 222;
constexpr int GPIO_DETECTOR_3 = 227;
constexpr int GPIO_SPARE_228 = 228;
constexpr int GPIO_SPARE_233 = 233;
constexpr int GPIO_SPARE_234 = 234;
constexpr int GPIO_ANTENNA_6 = 237;

constexpr int LINEAR_AMPLIFIER_PRESET = 127;
constexpr int DAC_MAX = 1023;
constexpr int BACKLIGHT_MAX = 127;

// In the line tables: leave this line as it is.
constexpr int UNCHANGED = -1;

// Opens a board file for writing without creating it: sysfs never creates files, and a missing
// file on a desktop must stay a no-op.
FILE* openForWriting(const char* path)
{
    const QByteArray native = Platform::nativePath(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    FILE* file = ::fdopen(fd, "w");
    if (!file)
        ::close(fd);
    return file;
}

FILE* openForReading(const char* path)
{
    const QByteArray native = Platform::nativePath(path);
    return ::fopen(native.constData(), "re");
}

// Writes one line of a role table: the values in order, UNCHANGED skipped.
void writeLines(const int* lines, const int* values, int count)
{
    for (int i = 0; i < count; ++i) {
        if (values[i] != UNCHANGED)
            gpioSetValue(lines[i], values[i] != 0);
    }
}

bool readIntFormatted(const char* format, int number, int* value)
{
    char path[PATH_SIZE];
    snprintf(path, sizeof(path), format, number);
    return readFileInt(path, value);
}

int readIntOrFail(const char* format, int number)
{
    int value = 0;
    return readIntFormatted(format, number, &value) ? value : -1;
}

} // namespace

// ---- file primitives ------------------------------------------------------------------------

// Success here means the file could be opened for writing. A refusal at flush is not reported:
// the GPIO export file refuses a line that a previous run left exported (EBUSY), and a restart
// must pass over that. The synthesiser's writer checks the flush itself.
bool writeFileString(const char* path, const char* text)
{
    FILE* file = openForWriting(path);
    if (!file)
        return false;
    fputs(text, file);
    fclose(file);
    return true;
}

bool writeFileInt(const char* path, int value)
{
    FILE* file = openForWriting(path);
    if (!file)
        return false;
    fprintf(file, "%d", value);
    fclose(file);
    return true;
}

bool readFileBytes(const char* path, void* buffer, size_t n)
{
    FILE* file = openForReading(path);
    if (!file)
        return false;
    const size_t got = n > 0 ? fread(buffer, 1, n, file) : 0;
    Q_UNUSED(got) // a short read leaves the rest of the buffer as it was
    fclose(file);
    return true;
}

bool readFileInt(const char* path, int* value)
{
    FILE* file = openForReading(path);
    if (!file)
        return false;
    char text[64];
    const size_t n = fread(text, 1, sizeof(text) - 1, file);
    fclose(file);
    text[n] = '\0';
    // Parsed by hand rather than with "%d", whose behaviour on an out-of-range number is
    // undefined: a device file never holds one, a stand-in might.
    char* end = nullptr;
    errno = 0;
    const long long parsed = strtoll(text, &end, 10);
    if (end == text || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX)
        return false;
    *value = int(parsed);
    return true;
}

// ---- GPIO -----------------------------------------------------------------------------------

bool gpioExport(int gpio, bool output, int edge)
{
    if (!writeFileInt("/sys/class/gpio/export", gpio))
        return false;
    char path[PATH_SIZE];
    snprintf(path, sizeof(path), "/sys/class/gpio/gpio%d/direction", gpio);
    const bool result = writeFileString(path, output ? "out" : "in");
    if (edge != 2) {
        snprintf(path, sizeof(path), "/sys/class/gpio/gpio%d/edge", gpio);
        writeFileString(path, edge == 1 ? "falling" : "rising");
    }
    return result;
}

bool gpioSetValue(int gpio, bool value)
{
    char path[PATH_SIZE];
    snprintf(path, sizeof(path), "/sys/class/gpio/gpio%d/value", gpio);
    return writeFileString(path, value ? "1" : "0");
}

bool gpioGetValue(int gpio)
{
    char path[PATH_SIZE];
    snprintf(path, sizeof(path), "/sys/class/gpio/gpio%d/value", gpio);
    char byte = '0';
    if (!readFileBytes(path, &byte, 1))
        return false;
    return byte != '0';
}

// ---- IIO ------------------------------------------------------------------------------------

bool dacSetValue(int device, int value)
{
    char path[PATH_SIZE];
    snprintf(path, sizeof(path), "/sys/bus/iio/devices/iio:device%d/out_voltage0_raw", device);
    return writeFileInt(path, qMin(value, DAC_MAX));
}

int dacGetValue(int device)
{
    return readIntOrFail("/sys/bus/iio/devices/iio:device%d/out_voltage0_raw", device);
}

bool pllSetFrequency(int device, quint32 frequencyHz)
{
    char path[PATH_SIZE];
    snprintf(path, sizeof(path), "/sys/bus/iio/devices/iio:device%d/out_altvoltage0_frequency", device);
    FILE* file = openForWriting(path);
    if (!file)
        return false;
    // Worked out in 64 bits: twice a frequency above 1073 MHz does not fit an int. A driver
    // that refuses the value says so when the buffered text is flushed, at fclose.
    const bool written = fprintf(file, "%llu", 2ULL * frequencyHz) > 0;
    return fclose(file) == 0 && written;
}

int pllGetFrequency(int device)
{
    int value = 0;
    if (!readIntFormatted("/sys/bus/iio/devices/iio:device%d/out_altvoltage0_frequency", device, &value))
        return -1;
    return value / 2;
}

int temperatureRaw()
{
    int value = 0;
    return readFileInt("/sys/bus/iio/devices/iio:device0/in_temp0_raw", &value) ? value : -1;
}

// ---- battery gauge --------------------------------------------------------------------------

int batteryStatus(int gauge)
{
    char path[PATH_SIZE];
    snprintf(path, sizeof(path), "/sys/class/power_supply/ds2782-%d/status", gauge);
    char text[257] = {};
    if (!readFileBytes(path, text, 256))
        return BATTERY_UNKNOWN;
    // The order matters: "Discharging" and "Not charging" must not be taken for "Charging"
    // (the capital C keeps them apart).
    if (strstr(text, "Charging"))
        return BATTERY_CHARGING;
    if (strstr(text, "Discharging"))
        return BATTERY_DISCHARGING;
    if (strstr(text, "Not charging"))
        return BATTERY_NOT_CHARGING;
    if (strstr(text, "Full"))
        return BATTERY_FULL;
    return BATTERY_UNKNOWN;
}

int batteryCapacity(int gauge)
{
    return readIntOrFail("/sys/class/power_supply/ds2782-%d/capacity", gauge);
}

int batteryVoltage(int gauge)
{
    const int value = readIntOrFail("/sys/class/power_supply/ds2782-%d/voltage_now", gauge);
    return value == -1 ? -1 : value / 500;
}

int batteryCurrent(int gauge)
{
    int value = 0;
    if (!readIntFormatted("/sys/class/power_supply/ds2782-%d/current_now", gauge, &value))
        return -1;
    return value / 1000;
}

int batteryTemperature(int gauge)
{
    return readIntOrFail("/sys/class/power_supply/ds2782-%d/temp", gauge);
}

// ---- backlight ------------------------------------------------------------------------------

bool setBrightness(int percent)
{
    const int clamped = qBound(0, percent, 100);
    return writeFileInt("/sys/class/backlight/backlight.7/brightness", clamped * BACKLIGHT_MAX / 100);
}

int brightness()
{
    int raw = 0;
    if (!readFileInt("/sys/class/backlight/backlight.7/brightness", &raw))
        return -1;
    return raw * 100 / BACKLIGHT_MAX;
}

// ---- role functions -------------------------------------------------------------------------

void setAntennaPath(int antenna)
{
    static const int lines[] = {GPIO_ANTENNA_1, GPIO_ANTENNA_SELECT_B, GPIO_ANTENNA_SELECT_A, GPIO_ANTENNA_4,
                                GPIO_ANTENNA_6};
    static const int table[][5] = {
        {1, UNCHANGED, 1, 0, 0}, // ANTENNA_UHF
        {0, 1, 0, 1, 0}, // ANTENNA_TEV
        {0, 1, 0, 0, 0}, // ANTENNA_HFCT
    };
    if (antenna < Configuration::ANTENNA_UHF || antenna > Configuration::ANTENNA_HFCT)
        return;
    writeLines(lines, table[antenna], 5);
}

void setBandwidth(int bandwidth)
{
    static const int lines[] = {GPIO_BANDWIDTH_1, GPIO_BANDWIDTH_2};
    static const int bw5000[] = {0, 1};
    static const int bw20000[] = {1, 0};
    static const int bw1000[] = {1, 1};
    switch (bandwidth) {
    case 5000:
        writeLines(lines, bw5000, 2);
        break;
    case 20000:
        writeLines(lines, bw20000, 2);
        break;
    case 1000:
        writeLines(lines, bw1000, 2);
        break;
    default:
        break;
    }
}

void setMeasMode(int mode)
{
    static const int lines[] = {GPIO_DETECTOR_1, GPIO_DETECTOR_2, GPIO_DETECTOR_3};
    static const int table[][3] = {
        {1, 0, 0}, // MEAS_MODE_LOG
        {0, 1, 1}, // MEAS_MODE_RMS
        {1, 1, 1}, // MEAS_MODE_ENV
        {0, 0, UNCHANGED}, // MEAS_MODE_KAL
    };
    if (mode < Configuration::MEAS_MODE_LOG || mode > Configuration::MEAS_MODE_KAL)
        return;
    writeLines(lines, table[mode], 3);
}

void setSyncSource(int sync)
{
    static const int lines[] = {GPIO_SYNC_1, GPIO_SYNC_2};
    static const int table[][2] = {
        {1, 0}, // SYNC_INT_E
        {0, 1}, // SYNC_SENSOR_E
        {1, 1}, // SYNC_SENSOR_H
        {0, 0}, // SYNC_MAINS_RF
    };
    if (sync < Configuration::SYNC_INT_E || sync > Configuration::SYNC_MAINS_RF)
        return;
    writeLines(lines, table[sync], 2);
}

void setPulseGenerator(bool on)
{
    gpioSetValue(GPIO_PULSE_GENERATOR, on);
}

bool pulseGenerator()
{
    return gpioGetValue(GPIO_PULSE_GENERATOR);
}

void setPreamplifierOff(bool off)
{
    gpioSetValue(GPIO_PREAMPLIFIER_OFF, off);
}

bool preamplifierOff()
{
    return gpioGetValue(GPIO_PREAMPLIFIER_OFF);
}

void setPulseMode(bool on)
{
    gpioSetValue(GPIO_PULSE_MODE, on);
}

bool pulseMode()
{
    return gpioGetValue(GPIO_PULSE_MODE);
}

bool syncDetected()
{
    return gpioGetValue(GPIO_SYNC_DETECTED);
}

void setAntennaSelectA(bool on)
{
    gpioSetValue(GPIO_ANTENNA_SELECT_A, on);
}

bool antennaSelectA()
{
    return gpioGetValue(GPIO_ANTENNA_SELECT_A);
}

void setAntennaSelectB(bool on)
{
    gpioSetValue(GPIO_ANTENNA_SELECT_B, on);
}

bool antennaSelectB()
{
    return gpioGetValue(GPIO_ANTENNA_SELECT_B);
}

void setCalibrationSwitch(bool on)
{
    gpioSetValue(GPIO_CALIBRATION_SWITCH, on);
}

void setLinearAmplifier(int value)
{
    dacSetValue(IIO_LINEAR_AMPLIFIER, value);
}

int linearAmplifier()
{
    return dacGetValue(IIO_LINEAR_AMPLIFIER);
}

void setOffsetAmplifier(int value)
{
    dacSetValue(IIO_OFFSET_AMPLIFIER, value);
}

// ---- start-up -------------------------------------------------------------------------------

void boardInit()
{
    const auto exportOutput = [](int gpio) { gpioExport(gpio, true, 2); };

    exportOutput(GPIO_PULSE_GENERATOR);
    gpioSetValue(GPIO_PULSE_GENERATOR, false);

    // Input path, calibration switch and preamplifier (on).
    for (int gpio : {GPIO_ANTENNA_1, GPIO_ANTENNA_SELECT_B, GPIO_CALIBRATION_SWITCH, GPIO_ANTENNA_SELECT_A,
                     GPIO_ANTENNA_4, GPIO_PREAMPLIFIER_OFF}) {
        exportOutput(gpio);
        gpioSetValue(gpio, false);
    }

    exportOutput(GPIO_BANDWIDTH_1);
    exportOutput(GPIO_BANDWIDTH_2);
    setBandwidth(5000);

    exportOutput(GPIO_SYNC_1);
    exportOutput(GPIO_SYNC_2);
    setSyncSource(Configuration::SYNC_INT_E);

    exportOutput(GPIO_DETECTOR_1);
    exportOutput(GPIO_DETECTOR_2);
    setMeasMode(Configuration::MEAS_MODE_LOG);

    for (int gpio : {GPIO_PULSE_MODE, GPIO_DETECTOR_3, GPIO_SPARE_228}) {
        exportOutput(gpio);
        gpioSetValue(gpio, false);
    }

    exportOutput(GPIO_SPARE_233);
    exportOutput(GPIO_SPARE_234);
    exportOutput(GPIO_ANTENNA_6);
    gpioSetValue(GPIO_ANTENNA_6, false);

    gpioExport(GPIO_SYNC_DETECTED, false, 2);

    dacSetValue(IIO_LINEAR_AMPLIFIER, LINEAR_AMPLIFIER_PRESET);

    setReceiveMode(false);
}
