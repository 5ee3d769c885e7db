#pragma once

#include "util/ThreadAnnotations.h"

#include <QTimer>

#include <utility>

// Hands a call from the acquisition thread to the GUI thread: slot (a member function of
// receiver, or a functor) runs on the GUI thread from its event queue. Qt appends the call to the
// queue under a lock of its own, which ThreadSanitizer cannot see in Debian's Qt; it would report
// Qt's copies of the queue against the GUI thread's. Everything this thread does inside the
// append is Qt's own work on the queue and the queued call, so it is not recorded.
template <class Receiver, class Slot>
inline void queueOnGuiThread(const Receiver* receiver, Slot&& slot)
{
    CORVANE_IGNORE_ACCESSES_BEGIN();
    QTimer::singleShot(0, receiver, std::forward<Slot>(slot));
    CORVANE_IGNORE_ACCESSES_END();
}
