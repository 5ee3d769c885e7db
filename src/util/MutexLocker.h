#pragma once

#include "util/ThreadAnnotations.h"

#include <QMutex>

// QMutexLocker that ThreadSanitizer can see through (see ThreadAnnotations.h). Use it for every
// lock shared between the GUI thread and the acquisition thread.
class MutexLocker
{
public:
    explicit MutexLocker(QMutex* mutex)
        : m_mutex(mutex)
    {
        m_mutex->lock();
        CORVANE_HAPPENS_AFTER(m_mutex);
    }
    ~MutexLocker() { unlock(); }

    void unlock()
    {
        if (!m_mutex)
            return;
        CORVANE_HAPPENS_BEFORE(m_mutex);
        m_mutex->unlock();
        m_mutex = nullptr;
    }

    MutexLocker(const MutexLocker&) = delete;
    MutexLocker& operator=(const MutexLocker&) = delete;

private:
    QMutex* m_mutex;
};
