#pragma once

#include "ReceiverState.h"
#include "SimRoot.h"

#include <QtGlobal>

// The slow parts of the simulated board, kept up to date from the simulator's loop:
//  - the radio sync sensor: while it transmits, the " 89:" count in /proc/interrupts advances
//    (one interrupt per received telegram, `radioRateHz` per second);
//  - the sync-detected input (GPIO 222): 1 while the selected sync source is present;
//  - the DS2782 battery gauge: discharges slowly (1 % every 2 minutes) down to 15 %, is then
//    "plugged in" and charges (1 % every 20 s) up to "Full", and so on; voltage, current and
//    temperature follow;
//  - the temperature sensor's raw value drifts a little.
class BoardHousekeeping
{
public:
    BoardHousekeeping(const SimRoot& root, double radioRateHz);

    // Writes the initial files (the battery, /proc/interrupts, GPIO 222).
    void initialise(double now);
    void setRadioTransmitting(bool transmitting) { m_radioTransmitting = transmitting; }
    bool radioTransmitting() const { return m_radioTransmitting; }
    // The selected sync source (GPIO 216/217) is present.
    bool syncLinesPresent() const { return m_syncLinesPresent; }

    void update(double now);

    static QByteArray interruptsText(quint64 radioCount, quint64 timerCount);

private:
    void writeInterrupts();
    void writeBattery();

    const SimRoot& m_root;
    double m_radioPeriod;
    bool m_radioTransmitting = true;
    bool m_syncLinesPresent = true;
    int m_syncDetectedWritten = -1;
    quint64 m_radioCount = 0;
    quint64 m_timerCount = 0;
    double m_nextRadio = 0.0;
    double m_nextSlow = 0.0;
    double m_nextBattery = 0.0;
    double m_batteryCapacity = 87.0;
    bool m_charging = false;
    double m_lastBatteryUpdate = 0.0;
    int m_temperatureRaw = 2710;
};
