#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QRandomGenerator;

// Throws the board simulator's fault switches on and off at random moments: the control files
// <root>/sim/faults/<name> (present = on), so no process is started for a switch. A fault stays
// on for a few seconds up to half a minute; now and then two overlap.
class FaultSwitcher : public QObject
{
    Q_OBJECT

public:
    FaultSwitcher(const QString& root, QRandomGenerator* random, QObject* parent = nullptr);

    static QStringList faultNames();

    void start();
    // Stops throwing and switches every fault off.
    void stop();
    // Switches a simulator control (a fault or the reference generator) on or off.
    bool set(const QString& name, bool on) const;
    bool isOn(const QString& name) const;

    // Throws fault name now for ms (an operator's script needs it for that long).
    void throwFor(const QString& name, int ms);

    // How often a fault was switched on.
    int thrown() const { return m_thrown; }

private:
    void scheduleNext();
    void throwOne();

    QString m_folder;
    QRandomGenerator* m_random;
    bool m_running = false;
    int m_thrown = 0;
};
