#include "Faults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const char* const faultNames[] = {"pll-unlocked", "fpga-missing",  "remount-failure",
                                   "radio-silent", "usb-removed",   "reference-low",
                                   "reference-high"};
}

Faults::Faults(const SimRoot& root)
    : m_root(root)
{
}

QStringList Faults::names()
{
    QStringList result;
    for (const char* n : faultNames)
        result << QLatin1String(n);
    return result;
}

Faults::Fault Faults::fromName(const QString& name)
{
    for (int i = 0; i < FaultCount; ++i) {
        if (name == QLatin1String(faultNames[i]))
            return Fault(i);
    }
    return FaultCount;
}

QString Faults::name(Fault fault)
{
    return fault >= 0 && fault < FaultCount ? QLatin1String(faultNames[fault]) : QString();
}

QString Faults::controlFile(Fault fault) const
{
    return m_root.simPath(QStringLiteral("faults/") + name(fault));
}

bool Faults::isOn(Fault fault) const
{
    return QFileInfo::exists(controlFile(fault));
}

bool Faults::set(Fault fault, bool on) const
{
    const QString file = controlFile(fault);
    if (!on)
        return !QFileInfo::exists(file) || QFile::remove(file);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile control(file);
    if (!control.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    control.close();
    // One generator: the other level goes off (while both are on, the high level counts, so the
    // input never falls silent in between).
    if (fault == ReferenceLow || fault == ReferenceHigh) {
        const QString other = controlFile(fault == ReferenceLow ? ReferenceHigh : ReferenceLow);
        return !QFileInfo::exists(other) || QFile::remove(other);
    }
    return true;
}
