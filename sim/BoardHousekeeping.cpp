#include "BoardHousekeeping.h"

#include "BoardLayout.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double SlowPeriod = 0.1;
constexpr double BatteryPeriod = 5.0;
constexpr double DischargePercentPerSecond = 1.0 / 120.0;
constexpr double ChargePercentPerSecond = 1.0 / 20.0;

} // namespace

BoardHousekeeping::BoardHousekeeping(const SimRoot& root, double radioRateHz)
    : m_root(root)
    , m_radioPeriod(radioRateHz > 0.0 ? 1.0 / radioRateHz : 1.0)
{
}

QByteArray BoardHousekeeping::interruptsText(quint64 radioCount, quint64 timerCount)
{
    // The layout of the kernel's /proc/interrupts on the dual-core board; the radio's line 89
    // counts on both processors.
    const quint64 cpu1 = radioCount / 8;
    const quint64 cpu0 = radioCount - cpu1;
    QByteArray text;
    text += "           CPU0       CPU1       \n";
    text += QStringLiteral(" 16:%1%2       GIC  29 Edge      twd\n")
                .arg(timerCount, 11)
                .arg(timerCount / 2 + 17, 11)
                .toLatin1();
    text += QStringLiteral(" 17:%1%2       GIC  26 Level     arch_timer\n").arg(0, 11).arg(0, 11).toLatin1();
    text += QStringLiteral(" 56:%1%2       GIC 150 Level     eth0\n").arg(18734, 11).arg(0, 11).toLatin1();
    text += QStringLiteral(" 62:%1%2       GIC  60 Level     mmc0\n").arg(4211, 11).arg(0, 11).toLatin1();
    text += QStringLiteral(" 72:%1%2       GIC  88 Level     fpga-bram\n").arg(0, 11).arg(0, 11).toLatin1();
    text += QStringLiteral(" %1:%2%3  gpio-mxc  14 Edge      cc1101\n")
                .arg(BoardLayout::RadioInterruptLine)
                .arg(cpu0, 11)
                .arg(cpu1, 11)
                .toLatin1();
    text += QStringLiteral("IPI0:%1%2       CPU wakeup interrupts\n").arg(0, 10).arg(0, 11).toLatin1();
    text += QStringLiteral("Err:%1\n").arg(0, 11).toLatin1();
    return text;
}

void BoardHousekeeping::initialise(double now)
{
    writeInterrupts();
    writeBattery();
    m_syncDetectedWritten = -1;
    update(now);
}

void BoardHousekeeping::writeInterrupts()
{
    m_root.replaceFile(QStringLiteral("/proc/interrupts"), interruptsText(m_radioCount, m_timerCount));
}

void BoardHousekeeping::writeBattery()
{
    const QString dir = QStringLiteral("/sys/class/power_supply/ds2782-0/");
    const int capacity = int(std::lround(m_batteryCapacity));
    QByteArray status = "Discharging\n";
    if (m_charging)
        status = capacity >= 100 ? "Full\n" : "Charging\n";
    // A single Li-ion cell: 3.45 V empty .. 4.15 V full; in µV, µA and tenths of a degree.
    const qint64 microVolt = qint64((3.45 + 0.7 * m_batteryCapacity / 100.0 + (m_charging ? 0.05 : 0.0)) * 1e6);
    const qint64 microAmp = m_charging ? (capacity >= 100 ? 20000 : 950000) : -420000;
    const int tenthsDegree = m_charging ? 286 : 251;
    m_root.replaceFile(dir + QStringLiteral("status"), status);
    m_root.replaceFile(dir + QStringLiteral("capacity"), QByteArray::number(capacity) + '\n');
    m_root.replaceFile(dir + QStringLiteral("voltage_now"), QByteArray::number(microVolt) + '\n');
    m_root.replaceFile(dir + QStringLiteral("current_now"), QByteArray::number(microAmp) + '\n');
    m_root.replaceFile(dir + QStringLiteral("temp"), QByteArray::number(tenthsDegree) + '\n');
}

void BoardHousekeeping::update(double now)
{
    if (m_nextRadio <= 0.0)
        m_nextRadio = now + m_radioPeriod;
    if (now >= m_nextRadio) {
        const quint64 ticks = quint64(std::floor((now - m_nextRadio) / m_radioPeriod)) + 1;
        m_nextRadio += double(ticks) * m_radioPeriod;
        m_timerCount += quint64(std::max(1.0, 100.0 * m_radioPeriod)) * ticks;
        if (m_radioTransmitting) {
            m_radioCount += ticks;
            writeInterrupts();
        }
    }

    if (now >= m_nextSlow) {
        m_nextSlow = now + SlowPeriod;
        const ReceiverState::SyncSource source = ReceiverState::readSyncSource(m_root);
        m_syncLinesPresent = source != ReceiverState::SyncSource::MainsRadio || m_radioTransmitting;
        const int detected = m_syncLinesPresent ? 1 : 0;
        if (detected != m_syncDetectedWritten) {
            m_root.replaceFile(m_root.gpioPath(BoardLayout::GpioSyncDetected, "value"),
                               QByteArray::number(detected) + '\n');
            m_syncDetectedWritten = detected;
        }
    }

    if (now >= m_nextBattery) {
        const double elapsed = m_lastBatteryUpdate > 0.0 ? now - m_lastBatteryUpdate : 0.0;
        m_lastBatteryUpdate = now;
        m_nextBattery = now + BatteryPeriod;
        if (m_charging) {
            m_batteryCapacity = std::min(100.0, m_batteryCapacity + elapsed * ChargePercentPerSecond);
            if (m_batteryCapacity >= 100.0 && elapsed > 0.0 && std::fmod(now, 300.0) < BatteryPeriod)
                m_charging = false; // unplugged again after a while on "Full"
        } else {
            m_batteryCapacity = std::max(0.0, m_batteryCapacity - elapsed * DischargePercentPerSecond);
            if (m_batteryCapacity <= 15.0)
                m_charging = true;
        }
        writeBattery();
        m_temperatureRaw = std::clamp(m_temperatureRaw + int(std::lround(std::sin(now / 60.0) * 2.0)), 2650, 2790);
        m_root.replaceFile(m_root.iioPath(BoardLayout::IioTemperature, "in_temp0_raw"),
                           QByteArray::number(m_temperatureRaw) + '\n');
    }
}
