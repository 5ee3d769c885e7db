#include "SystemCallLog.h"

#include <atomic>
#include <cstdarg>
#include <dlfcn.h>
#include <mutex>
#include <poll.h>
#include <unistd.h>

namespace {

std::mutex s_mutex;
std::atomic<bool> s_watching {false};
QByteArray s_device;
int s_pollDelayMs = 0;
int s_pollResult = 0;
QVector<SystemCallLog::IoctlCall> s_ioctlCalls;
QVector<SystemCallLog::PollCall> s_pollCalls;

bool refersTo(int fd, const QByteArray& suffix)
{
    char link[512];
    const ssize_t n = readlink(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(), link, sizeof(link));
    return !suffix.isEmpty() && n > 0 && QByteArray(link, int(n)).endsWith(suffix);
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
        if (refersTo(fd, s_device)) {
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
    std::unique_lock<std::mutex> lock(s_mutex, std::defer_lock);
    if (s_watching && nfds == 1) {
        lock.lock();
        if (refersTo(fds[0].fd, s_device)) {
            const int delayMs = s_pollDelayMs;
            const int result = s_pollResult;
            lock.unlock();
            usleep(useconds_t(delayMs) * 1000);
            fds[0].revents = result ? POLLPRI : 0;
            lock.lock();
            s_pollCalls.append({fds[0].events, timeout, SystemCallLog::monotonicNs()});
            return result;
        }
        lock.unlock();
    }
    using Poll = int (*)(struct pollfd*, nfds_t, int);
    static const auto real = reinterpret_cast<Poll>(dlsym(RTLD_NEXT, "poll"));
    return real(fds, nfds, timeout);
}

void SystemCallLog::watch(const QByteArray& deviceSuffix, int pollDelayMs, int pollResult)
{
    std::lock_guard<std::mutex> lock(s_mutex);
    s_device = deviceSuffix;
    s_pollDelayMs = pollDelayMs;
    s_pollResult = pollResult;
    s_watching = true;
}

QVector<SystemCallLog::IoctlCall> SystemCallLog::ioctlCalls()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    return QVector<IoctlCall>(s_ioctlCalls.begin(), s_ioctlCalls.end());
}

QVector<SystemCallLog::PollCall> SystemCallLog::pollCalls()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    return QVector<PollCall>(s_pollCalls.begin(), s_pollCalls.end());
}

void SystemCallLog::reset()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    s_watching = false;
    s_device.clear();
    s_ioctlCalls.clear();
    s_pollCalls.clear();
}
