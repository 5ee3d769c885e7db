#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QRandomGenerator;
class QWidget;

// Answers whatever modal dialog the soak's operator has opened, as a person poking at it would:
// a few taps on random buttons and list rows, Up/Down, then Return or Escape. Notices without
// buttons are left to close themselves, the autodetection is mostly left to finish. Every answer
// is posted, so that a dialog it opens in turn gets answered from the nested event loop.
class ModalResponder : public QObject
{
    Q_OBJECT

public:
    ModalResponder(QRandomGenerator* random, QObject* parent = nullptr);

    void start();
    void stop();
    // Closes every open modal dialog (the end of a run); false when one would not close.
    bool closeAll(int timeoutMs);

    int taps() const { return m_taps; }
    // Dialogs that ignored every answer and had to be rejected.
    int forced() const { return m_forced; }
    // Notices (no buttons) open longer than the notice time-out: the operator could do nothing.
    int stuck() const { return m_stuck; }
    // The class of the modal dialog now open, for a hang report.
    QString describeModal() const;

private:
    void tick();
    void answer(QWidget* modal);

    QRandomGenerator* m_random;
    int m_timerId = 0;
    QPointer<QWidget> m_modal;
    QElapsedTimer m_shown;
    int m_steps = 0;
    int m_stepLimit = 0;
    qint64 m_patienceMs = 0;
    bool m_answering = false;
    bool m_stuckReported = false;
    int m_taps = 0;
    int m_forced = 0;
    int m_stuck = 0;

protected:
    void timerEvent(QTimerEvent* event) override;
};
