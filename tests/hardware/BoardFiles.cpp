#include "BoardFiles.h"

BoardFiles::BoardFiles(const TestRoot& root, const QByteArray& initialValue)
    : m_root(root)
{
    m_root.writeFile(QStringLiteral("/sys/class/gpio/export"), QByteArray());
    for (int gpio = 207; gpio <= 237; ++gpio) {
        m_root.writeFile(gpioPath(gpio, "value"), initialValue);
        m_root.writeFile(gpioPath(gpio, "direction"), "none");
        m_root.writeFile(gpioPath(gpio, "edge"), "none");
    }
    m_root.writeFile(QStringLiteral("/sys/bus/iio/devices/iio:device0/in_temp0_raw"), "1234\n");
    m_root.writeFile(dacPath(1), "0\n");
    m_root.writeFile(dacPath(2), "0\n");
    m_root.writeFile(pllPath(), "400000000\n");
    m_root.writeFile(batteryPath("status"), "Discharging\n");
    m_root.writeFile(batteryPath("capacity"), "87\n");
    m_root.writeFile(batteryPath("voltage_now"), "3700000\n");
    m_root.writeFile(batteryPath("current_now"), "-250000\n");
    m_root.writeFile(batteryPath("temp"), "253\n");
    m_root.writeFile(backlightPath(), "100\n");
}

QString BoardFiles::gpioPath(int gpio, const char* file)
{
    return QStringLiteral("/sys/class/gpio/gpio%1/%2").arg(gpio).arg(QLatin1String(file));
}

QString BoardFiles::dacPath(int device)
{
    return QStringLiteral("/sys/bus/iio/devices/iio:device%1/out_voltage0_raw").arg(device);
}

QString BoardFiles::pllPath()
{
    return QStringLiteral("/sys/bus/iio/devices/iio:device3/out_altvoltage0_frequency");
}

QString BoardFiles::batteryPath(const char* file)
{
    return QStringLiteral("/sys/class/power_supply/ds2782-0/%1").arg(QLatin1String(file));
}

QString BoardFiles::backlightPath()
{
    return QStringLiteral("/sys/class/backlight/backlight.7/brightness");
}

QByteArray BoardFiles::gpio(int gpio, const char* file) const
{
    return m_root.readFile(gpioPath(gpio, file));
}

void BoardFiles::setGpio(int gpio, const QByteArray& value) const
{
    m_root.writeFile(gpioPath(gpio, "value"), value);
}
