#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

// One line of the soak's trace on standard output: seconds since the start and what happened
// (the soak's log tells afterwards what the operator did before a report).
inline void soakLog(const QString& what)
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    std::printf("%8.1f %s\n", clock.elapsed() / 1000.0, qPrintable(what));
    std::fflush(stdout);
}
