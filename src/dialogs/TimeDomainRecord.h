#pragma once

#include "util/Configuration.h"

#include <QDateTime>
#include <QDomDocument>
#include <QString>

class TimeDomainAccumulator;

// The time-domain record: the common header and receiver group, the screen's settings and
// results, then either the newest sweep (line mode) or every non-empty pixel block of the
// persistence image with its time, raw count, row and hit count (image modes).
class TimeDomainRecord
{
public:
    // What the screen and the board report at the moment of saving.
    struct Values
    {
        Configuration::MeasMode measMode = Configuration::MEAS_MODE_RMS;
        Configuration::Antenna antenna = Configuration::ANTENNA_UHF;
        int bandwidth = 5000;
        bool preamplifierOn = true;
        bool calibratorOn = false;
        int frequency = 150;
        Configuration::Sync sync = Configuration::SYNC_MAINS_RF;
        bool synchronized = false;
        int linearAmplifier = 0;
        bool pulseMode = true;
        int maxQuantity = 10;
        Configuration::Phase phase = Configuration::PHASE_Unspecified;
        int activity = 0;
        double activityVoltage = 0.0;
        int sweepRate = 50;
        quint32 fpgaVersion = 0;
        QString folder;
        QDateTime moment = QDateTime::currentDateTime();
    };

    // Persistency, amplitude range, activity level and the data come from the accumulator; call
    // it under the lock that guards the accumulator.
    static QDomDocument build(const Values& values, const TimeDomainAccumulator& data);
};
