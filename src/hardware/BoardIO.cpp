#include "hardware/BoardIO.h"

#include "util/Platform.h"

#include <cstdio>

namespace {

bool writeFileInt(const char* path, int value)
{
    FILE* file = std::fopen(Platform::nativePath(path).constData(), "w");
    if (!file)
        return false;
    std::fprintf(file, "%d", value);
    std::fclose(file);
    return true;
}

bool readFileInt(const char* path, int* value)
{
    FILE* file = std::fopen(Platform::nativePath(path).constData(), "r");
    if (!file)
        return false;
    const bool scanned = std::fscanf(file, "%d", value) == 1;
    std::fclose(file);
    return scanned;
}

} // namespace

void boardInit()
{
    // The export and start values of the receiver's lines, the DAC and the radio follow with the
    // rest of the board's functions.
}

bool gpioSetValue(int gpio, bool value)
{
    char path[256];
    std::snprintf(path, sizeof path, "/sys/class/gpio/gpio%d/value", gpio);
    return writeFileInt(path, value ? 1 : 0);
}

int batteryCapacity(int gauge)
{
    char path[256];
    std::snprintf(path, sizeof path, "/sys/class/power_supply/ds2782-%d/capacity", gauge);
    int value = -1;
    return readFileInt(path, &value) ? value : -1;
}

bool setBrightness(int percent)
{
    if (percent < 0)
        percent = 0;
    if (percent > 100)
        percent = 100;
    return writeFileInt("/sys/class/backlight/backlight.7/brightness", percent * 127 / 100);
}
