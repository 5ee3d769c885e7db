#pragma once

#include "common/TestRoot.h"

#include <QByteArray>
#include <QString>

// The sysfs files of the board below a TestRoot, as the drivers present them: the GPIO export
// file and lines 207..237 (value, direction, edge), the IIO devices 0..3, the battery gauge
// and the backlight. Values start as given so that a test sees which files were written.
class BoardFiles
{
public:
    explicit BoardFiles(const TestRoot& root, const QByteArray& initialValue = "x");

    static QString gpioPath(int gpio, const char* file = "value");
    static QString dacPath(int device);
    static QString pllPath();
    static QString batteryPath(const char* file);
    static QString backlightPath();

    QByteArray gpio(int gpio, const char* file = "value") const;
    void setGpio(int gpio, const QByteArray& value) const;

private:
    const TestRoot& m_root;
};
