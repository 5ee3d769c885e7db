/* Preloaded into the armhf programs of the emulated test run (./cross.sh test). qemu-user 7.2
 * does not emulate clone() with CLONE_PIDFD, which Qt's QProcess uses when the kernel offers
 * process file descriptors: the child then never runs. Refusing the probe for them makes Qt fall
 * back to fork(). Nothing else is changed. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdarg.h>
#include <sys/syscall.h>

#define WHICH_PIDFD 3      /* P_PIDFD */
#define CLONE_PIDFD 0x1000

long syscall(long number, ...)
{
    static long (*real)(long, ...);
    long a[6];
    va_list arguments;
    va_start(arguments, number);
    for (int i = 0; i < 6; ++i)
        a[i] = va_arg(arguments, long);
    va_end(arguments);
    if ((number == SYS_waitid && a[0] == WHICH_PIDFD) || (number == SYS_clone && (a[0] & CLONE_PIDFD))) {
        errno = EINVAL;
        return -1;
    }
    if (!real)
        real = (long (*)(long, ...))dlsym(RTLD_NEXT, "syscall");
    return real(number, a[0], a[1], a[2], a[3], a[4], a[5]);
}
