#pragma once

// Debian's Qt is not built with ThreadSanitizer, so TSan cannot see the futexes inside QMutex,
// QSemaphore and QThread::wait. These hooks tell it about the hand-overs we rely on; in every
// other build they compile to nothing.
// CORVANE_IGNORE_ACCESSES_BEGIN/END: the memory accesses of this thread in between are not
// recorded (for calls into Qt whose work is all Qt's own, done under Qt's invisible locks).
#if defined(CORVANE_TSAN)
#include <sanitizer/tsan_interface.h>
extern "C" void __tsan_ignore_thread_begin();
extern "C" void __tsan_ignore_thread_end();
#define CORVANE_HAPPENS_AFTER(addr) __tsan_acquire(const_cast<void*>(static_cast<const void*>(addr)))
#define CORVANE_HAPPENS_BEFORE(addr) __tsan_release(const_cast<void*>(static_cast<const void*>(addr)))
#define CORVANE_IGNORE_ACCESSES_BEGIN() __tsan_ignore_thread_begin()
#define CORVANE_IGNORE_ACCESSES_END() __tsan_ignore_thread_end()
#else
#define CORVANE_HAPPENS_AFTER(addr) ((void)0)
#define CORVANE_HAPPENS_BEFORE(addr) ((void)0)
#define CORVANE_IGNORE_ACCESSES_BEGIN() ((void)0)
#define CORVANE_IGNORE_ACCESSES_END() ((void)0)
#endif
