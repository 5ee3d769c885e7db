#pragma once

#include <QMutex>

// The operator's requests that wait for a complete sweep (save a record, freeze a trace, stay
// stopped) and the pause they cause. The acquisition thread asks at the end of every complete
// sweep whether to pause for them; the GUI thread adds and removes requests, and releases a pause
// only when one was asked for, so that a resume never reaches a worker that did not stop for it.
class SweepTasks {
public:
    enum Task { NONE = 0, SAVE = 1, STOP = 2, FREEZE = 4 };

    SweepTasks();

    int pending() const;
    void add(int tasks);
    void remove(int tasks);
    // Forgets every request and any pause (the worker has been stopped).
    void clear();

    // Acquisition thread, after a complete sweep: true when a request waits; the caller then
    // pauses the worker.
    bool pauseForRequests();
    // GUI thread: true once for every pause that pauseForRequests asked for.
    bool takePause();

private:
    mutable QMutex m_lock;
    int m_tasks;
    bool m_pauseAsked;
};
