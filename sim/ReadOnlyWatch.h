#pragma once

#include "SimRoot.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QStringList>

// Watches the rule that the board's root file system is read-only: every file written below
// /data or /etc must have been written while "/" was remounted writable. The stand-in mount logs
// each successful remount of "/" with its time in <root>/sim/rootfs.log; this watch compares the
// modification times of new files with those windows and reports every write outside them on
// standard error and in <root>/sim/readonly-violations.log (on the device such a write fails).
class ReadOnlyWatch
{
public:
    explicit ReadOnlyWatch(const SimRoot& root);

    // Files changed before this call are not judged.
    void start(double wallSeconds);
    // Returns the board paths written outside a writable window since the last call.
    QStringList check(double wallSeconds);

private:
    void readRemountLog();
    bool writable(double modified) const;

    const SimRoot& m_root;
    qint64 m_logOffset = 0;
    QList<QPair<double, double>> m_windows; // [rw, ro) in wall-clock seconds; an open one ends at +inf
    double m_lastScan = 0.0;
    QHash<QString, double> m_reported; // path -> modification time already reported
};
