#pragma once

#include <QString>

// The program's own version and build time, as the device information page and the records show
// them.
class SoftwareVersion
{
public:
    // The project's version, which is also the package's: "2.0.14".
    static QString text();
    // The build's date and time, for example "Sep 13 2019 08:33:29".
    static QString buildDate();
};
