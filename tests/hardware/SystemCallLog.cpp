#include "SystemCallLog.h"

#include <atomic>
#include <cstdarg>
#include <ctime>
#include <dlfcn.h>
#include <mutex>
#include <poll.h>
#include <unistd.h>

namespace {

std::mutex s_mutex;
std::atomic<bool> s_watching {false};
QByteArray s_ioctlDevice;
QByteArray s_pollDevice;
int s_pollDelayMs = 0;
int s_pollResult = 0;
QVector<SystemCallLog::IoctlCall> s_ioctlCalls;
QVector<SystemCallLog::PollCall> s_pollCalls;

bool refersTo(int fd, const QByteArray& suffix)
{
    if (suffix.isEmpty())
        return false;
    char link[512];
    const ssize_t n = readlink(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(), link, sizeof(link));
    return n > 0 && QByteArray(link, int(n)).endsWith(suffix);
}

} // namespace

extern "C" int ioctl(int fd, unsigned long request, ...)
{
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (s_watching) {
        std::lock_guard<std::mutex> lock(s_mutex);
        if (refersTo(fd, s_ioctlDevice)) {
            s_ioctlCalls.append({request, argument ? *static_cast<int*>(argument) : -1});
            return 0;
        }
    }
    using Ioctl = int (*)(int, unsigned long, ...);
    static const auto real = reinterpret_cast<Ioctl>(dlsym(RTLD_NEXT, "ioctl"));
    return real(fd, request, argument);
}

extern "C" int poll(struct pollfd* fds, nfds_t nfds, int timeout)
{
    if (s_watching && nfds == 1) {
        int delayMs = -1;
        int result = 0;
        {
            std::lock_guard<std::mutex> lock(s_mutex);
            if (refersTo(fds[0].fd, s_pollDevice)) {
                delayMs = s_pollDelayMs;
                result = s_pollResult;
            }
        }
        if (delayMs >= 0) {
            usleep(useconds_t(delayMs) * 1000);
            fds[0].revents = result ? POLLPRI : 0;
            std::lock_guard<std::mutex> lock(s_mutex);
            s_pollCalls.append({fds[0].events, timeout, SystemCallLog::monotonicNs()});
            return result;
        }
    }
    using Poll = int (*)(struct pollfd*, nfds_t, int);
    static const auto real = reinterpret_cast<Poll>(dlsym(RTLD_NEXT, "poll"));
    return real(fds, nfds, timeout);
}

namespace SystemCallLog {

void watchIoctl(const QByteArray& deviceSuffix)
{
    std::lock_guard<std::mutex> lock(s_mutex);
    s_ioctlDevice = deviceSuffix;
    s_watching = true;
}

QVector<IoctlCall> ioctlCalls()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    return QVector<IoctlCall>(s_ioctlCalls.begin(), s_ioctlCalls.end());
}

void watchPoll(const QByteArray& deviceSuffix, int delayMs, int result)
{
    std::lock_guard<std::mutex> lock(s_mutex);
    s_pollDevice = deviceSuffix;
    s_pollDelayMs = delayMs;
    s_pollResult = result;
    s_watching = true;
}

QVector<PollCall> pollCalls()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    return QVector<PollCall>(s_pollCalls.begin(), s_pollCalls.end());
}

void reset()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    s_watching = false;
    s_ioctlDevice.clear();
    s_pollDevice.clear();
    s_ioctlCalls.clear();
    s_pollCalls.clear();
}

qint64 monotonicNs()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

} // namespace SystemCallLog
