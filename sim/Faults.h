#pragma once

#include "SimRoot.h"

#include <QString>
#include <QStringList>

// The faults a test or a user switches at run time. Each fault is a control file
// "<root>/sim/faults/<name>": present = fault on. The running simulator looks at them every
// 100 ms; the stand-in mount looks at "remount-failure" itself on every call.
class Faults
{
public:
    // ReferenceLow and ReferenceHigh are the reference generator of the level calibration (not a
    // fault, but switched the same way): its low or high level feeds the input.
    enum Fault {
        PllUnlocked,
        FpgaMissing,
        RemountFailure,
        RadioSilent,
        UsbRemoved,
        ReferenceLow,
        ReferenceHigh,
        FaultCount
    };

    explicit Faults(const SimRoot& root);

    static QStringList names();
    // The fault of a name ("pll-unlocked"), or FaultCount for an unknown name.
    static Fault fromName(const QString& name);
    static QString name(Fault fault);

    bool isOn(Fault fault) const;
    // Switching one reference level on switches the other off (one generator).
    bool set(Fault fault, bool on) const;
    QString controlFile(Fault fault) const;

private:
    const SimRoot& m_root;
};
