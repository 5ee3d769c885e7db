#include "dialogs/SweepTasks.h"

#include "util/MutexLocker.h"

SweepTasks::SweepTasks()
    : m_tasks(NONE)
    , m_pauseAsked(false)
{
}

int SweepTasks::pending() const
{
    MutexLocker lock(&m_lock);
    return m_tasks;
}

void SweepTasks::add(int tasks)
{
    MutexLocker lock(&m_lock);
    m_tasks |= tasks;
}

void SweepTasks::remove(int tasks)
{
    MutexLocker lock(&m_lock);
    m_tasks &= ~tasks;
}

void SweepTasks::clear()
{
    MutexLocker lock(&m_lock);
    m_tasks = NONE;
    m_pauseAsked = false;
}

bool SweepTasks::pauseForRequests()
{
    MutexLocker lock(&m_lock);
    if (m_tasks == NONE)
        return false;
    m_pauseAsked = true;
    return true;
}

bool SweepTasks::takePause()
{
    MutexLocker lock(&m_lock);
    const bool asked = m_pauseAsked;
    m_pauseAsked = false;
    return asked;
}
