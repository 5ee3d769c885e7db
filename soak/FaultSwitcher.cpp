#include "FaultSwitcher.h"

#include "SoakLog.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTimer>

FaultSwitcher::FaultSwitcher(const QString& root, QRandomGenerator* random, QObject* parent)
    : QObject(parent)
    , m_folder(root + QStringLiteral("/sim/faults/"))
    , m_random(random)
{
    QDir().mkpath(m_folder);
}

QStringList FaultSwitcher::faultNames()
{
    return {QStringLiteral("pll-unlocked"), QStringLiteral("radio-silent"), QStringLiteral("remount-failure"),
            QStringLiteral("fpga-missing"), QStringLiteral("usb-removed")};
}

void FaultSwitcher::throwFor(const QString& name, int ms)
{
    if (!isOn(name) && set(name, true))
        ++m_thrown;
    QTimer::singleShot(ms, this, [this, name] { set(name, false); });
}

void FaultSwitcher::start()
{
    m_running = true;
    scheduleNext();
}

void FaultSwitcher::stop()
{
    m_running = false;
    for (const QString& name : faultNames())
        set(name, false);
}

bool FaultSwitcher::set(const QString& name, bool on) const
{
    QFile control(m_folder + name);
    if (on != control.exists())
        soakLog(QStringLiteral("fault %1 %2").arg(name, on ? "on" : "off"));
    if (!on)
        return !control.exists() || control.remove();
    return control.exists() || control.open(QIODevice::WriteOnly);
}

bool FaultSwitcher::isOn(const QString& name) const
{
    return QFile::exists(m_folder + name);
}

void FaultSwitcher::scheduleNext()
{
    QTimer::singleShot(m_random->bounded(3000, 25000), this, [this] {
        if (m_running)
            throwOne();
    });
}

void FaultSwitcher::throwOne()
{
    const QStringList names = faultNames();
    const QString name = names.at(m_random->bounded(names.size()));
    if (!isOn(name) && set(name, true)) {
        ++m_thrown;
        QTimer::singleShot(m_random->bounded(2000, 30000), this, [this, name] { set(name, false); });
    }
    scheduleNext();
}
