#pragma once

#include <QByteArray>
#include <QVector>

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
    qint64 returnedNs; // CLOCK_MONOTONIC when the stand-in returned
};

// ioctl() on the device is recorded and answered with 0.
void watchIoctl(const QByteArray& deviceSuffix);
QVector<IoctlCall> ioctlCalls();

// poll() on the device is recorded, waits delayMs and answers `result` (0: time-out, 1: the
// block-complete interrupt).
void watchPoll(const QByteArray& deviceSuffix, int delayMs, int result);
QVector<PollCall> pollCalls();

// Stops watching and forgets the calls.
void reset();

qint64 monotonicNs();

} // namespace SystemCallLog
