#pragma once

#include <QByteArray>
#include <QVector>

#include <chrono>

// Stand-ins for the C library's ioctl() and poll(), linked into a test program that uses this
// log (the program's own definitions take the place of the library's). Calls on a watched
// device file (its path ends with the given text) are recorded and answered here, as a driver
// would; every other call goes to the C library unchanged.
namespace SystemCallLog {

struct IoctlCall
{
    unsigned long request;
    int argument; // the int the request points to
};

struct PollCall
{
    short events;
    int timeoutMs;
    qint64 returnedNs; // monotonicNs() when the stand-in returned
};

// From now on calls on the device are recorded: ioctl() is answered with 0; poll() waits
// pollDelayMs and answers pollResult (0: time-out, 1: the block-complete interrupt).
void watch(const QByteArray& deviceSuffix, int pollDelayMs = 0, int pollResult = 0);
QVector<IoctlCall> ioctlCalls();
QVector<PollCall> pollCalls();

// Stops watching and forgets the calls.
void reset();

inline qint64 monotonicNs() // CLOCK_MONOTONIC
{
    return std::chrono::nanoseconds(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace SystemCallLog
