#include "hardware/SyncRadio.h"

#include "util/Platform.h"

#include <QByteArray>

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// The driver's receive-mode request: write direction, argument an int (4 bytes), type 'r'
// (0x72), number 8.
constexpr unsigned long CC1101_SET_RECEIVE_MODE = 0x40047208UL;
constexpr int RECEIVE_ON = 2;
constexpr int RECEIVE_OFF = 0;

// The process-wide descriptor; -1 until the device could be opened, then never closed.
std::atomic<int> s_descriptor {-1};

} // namespace

void setReceiveMode(bool on)
{
    int fd = s_descriptor.load();
    if (fd < 0) {
        const QByteArray device = Platform::nativePath("/dev/cc1101");
        fd = ::open(device.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            // Should two threads race here, keep the first descriptor and drop ours.
            int expected = -1;
            if (!s_descriptor.compare_exchange_strong(expected, fd)) {
                ::close(fd);
                fd = expected;
            }
        }
    }
    if (fd < 0) {
        perror("open cc1101");
        return;
    }
    int arg = on ? RECEIVE_ON : RECEIVE_OFF;
    if (::ioctl(fd, CC1101_SET_RECEIVE_MODE, &arg) != 0)
        perror("SET_RECEIVE_MODE");
}
