#pragma once

// Debian's Qt is not built with ThreadSanitizer, so TSan cannot see the futexes inside QMutex,
// QSemaphore and QThread::wait. These hooks tell it about the hand-overs we rely on; in every
// other build they compile to nothing.
#if defined(CORVANE_TSAN)
#include <sanitizer/tsan_interface.h>
#define CORVANE_HAPPENS_AFTER(addr) __tsan_acquire(const_cast<void*>(static_cast<const void*>(addr)))
#define CORVANE_HAPPENS_BEFORE(addr) __tsan_release(const_cast<void*>(static_cast<const void*>(addr)))
#else
#define CORVANE_HAPPENS_AFTER(addr) ((void)0)
#define CORVANE_HAPPENS_BEFORE(addr) ((void)0)
#endif
